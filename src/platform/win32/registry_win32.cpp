#include "platform/win32/registry_win32.h"

#include <windows.h>

#include <climits>
#include <utility>

#include "platform/win32/unique_handle.h"

namespace hv::platform::win32 {
namespace {

HKEY RootKey(RegistryRoot root) {
  return root == RegistryRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

struct KeyTraits {
  using Handle = HKEY;
  static void free(HKEY k) { RegCloseKey(k); }
};
using KeyHandle = UniqueHandle<KeyTraits>;

class Win32Key : public RegistryKey {
 public:
  explicit Win32Key(HKEY key) : key_(key) {}

  std::optional<RegistryValue> queryValue(const std::wstring& name) override {
    DWORD type = 0;
    DWORD size = 0;
    LSTATUS rc = RegQueryValueExW(key_.get(), name.c_str(), nullptr, &type, nullptr, &size);
    // The value may grow between the two calls; ask again then.
    for (int attempt = 0; attempt < 4; ++attempt) {
      if (rc != ERROR_SUCCESS) return std::nullopt;
      RegistryValue value;
      value.type = type;
      value.data.resize(size);
      DWORD got = size;
      rc = RegQueryValueExW(key_.get(), name.c_str(), nullptr, &type,
                            size ? value.data.data() : nullptr, &got);
      if (rc == ERROR_SUCCESS) {
        value.type = type;
        value.data.resize(got);
        return value;
      }
      if (rc != ERROR_MORE_DATA) return std::nullopt;
      size = got;
      rc = ERROR_SUCCESS;
    }
    return std::nullopt;
  }

  bool setValue(const std::wstring& name, const RegistryValue& value) override {
    if (value.data.size() > ULONG_MAX) return false;
    return RegSetValueExW(key_.get(), name.c_str(), 0, value.type, value.data.data(),
                          static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
  }

 private:
  KeyHandle key_;
};

}  // namespace

std::unique_ptr<RegistryKey> Win32Registry::openKey(RegistryRoot root, const std::wstring& path,
                                                    std::uint32_t access) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(RootKey(root), path.c_str(), 0, access, &key) != ERROR_SUCCESS) return nullptr;
  return std::make_unique<Win32Key>(key);
}

std::unique_ptr<RegistryKey> Win32Registry::createKey(RegistryRoot root, const std::wstring& path) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(RootKey(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_READ | KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return nullptr;
  return std::make_unique<Win32Key>(key);
}

bool Win32Registry::deleteTree(RegistryRoot root, const std::wstring& path) {
  // RegDeleteTreeW empties the key; the key itself goes with RegDeleteKeyW.
  if (RegDeleteTreeW(RootKey(root), path.c_str()) != ERROR_SUCCESS) return false;
  return RegDeleteKeyW(RootKey(root), path.c_str()) == ERROR_SUCCESS;
}

}  // namespace hv::platform::win32
