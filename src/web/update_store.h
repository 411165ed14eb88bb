#pragma once
// UpdateStore: the update feature's per-user values, strings in the
// "Settings" subkey of the program's own key under HKEY_CURRENT_USER.
#include <memory>
#include <optional>
#include <string>

#include "base/error.h"
#include "platform/registry.h"

namespace hv::web {

inline constexpr wchar_t kUpdateStoreKey[] = L"Software\\CALVION\\Horvane\\Settings";

// A value the store could not open or write.
class StoreError : public Error {
 public:
  using Error::Error;
};

class UpdateStore {
 public:
  // Opens the key, creating it when missing; throws StoreError when refused.
  static std::unique_ptr<UpdateStore> Open(platform::Registry& registry,
                                           const std::wstring& path = kUpdateStoreKey);
  explicit UpdateStore(std::unique_ptr<platform::RegistryKey> key) : key_(std::move(key)) {}

  // nullopt when the value is missing, unreadable or not text.
  std::optional<std::wstring> read(const std::wstring& name);
  // Throws StoreError when the platform refuses the write.
  void write(const std::wstring& name, const std::wstring& value);

 private:
  std::unique_ptr<platform::RegistryKey> key_;
};

}  // namespace hv::web
