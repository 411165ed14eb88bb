#pragma once
// Registry boundary: open or create a key under one of the two roots the
// program uses, read a value with its type, write one.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace hv::platform {

enum class RegistryRoot { CurrentUser, LocalMachine };

// The platform's value types and access rights, as numbers.
namespace reg {
inline constexpr std::uint32_t kString = 1;        // REG_SZ
inline constexpr std::uint32_t kExpandString = 2;  // REG_EXPAND_SZ
inline constexpr std::uint32_t kBinary = 3;
inline constexpr std::uint32_t kDWord = 4;
inline constexpr std::uint32_t kRead = 0x20019;          // KEY_READ
inline constexpr std::uint32_t kReadNoNotify = 0x20009;  // read control, query, enumerate
inline constexpr std::uint32_t kQueryValue = 0x0001;
inline constexpr std::uint32_t kView64 = 0x0100;  // KEY_WOW64_64KEY
}  // namespace reg

struct RegistryValue {
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
};

class RegistryKey {
 public:
  RegistryKey() = default;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  // Closes the key.
  virtual ~RegistryKey() = default;
  // nullopt when the value does not exist or can't be read.
  virtual std::optional<RegistryValue> queryValue(const std::wstring& name) = 0;
  // False when the platform refused the write.
  virtual bool setValue(const std::wstring& name, const RegistryValue& value) = 0;
};

class Registry {
 public:
  virtual ~Registry() = default;
  // path is relative to the root. nullptr when the key is missing or the
  // access is refused.
  virtual std::unique_ptr<RegistryKey> openKey(RegistryRoot root, const std::wstring& path,
                                               std::uint32_t access) = 0;
  // Opens the key for reading and writing, creating it and the keys above it
  // when missing; nullptr when that is refused.
  virtual std::unique_ptr<RegistryKey> createKey(RegistryRoot root, const std::wstring& path) = 0;
  // Removes the key with everything below it; false when it could not.
  virtual bool deleteTree(RegistryRoot root, const std::wstring& path) = 0;
};

// A REG_SZ value holding text, with its terminating NUL.
RegistryValue StringValue(const std::wstring& text);
// The text of a string value up to its first NUL.
std::wstring StringOf(const RegistryValue& value);

}  // namespace hv::platform
