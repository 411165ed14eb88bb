#pragma once
// The registry through RegOpenKeyExW and friends; keys are closed by their
// owners.
#include "platform/registry.h"

namespace hv::platform::win32 {

class Win32Registry : public Registry {
 public:
  std::unique_ptr<RegistryKey> openKey(RegistryRoot root, const std::wstring& path,
                                       std::uint32_t access) override;
  std::unique_ptr<RegistryKey> createKey(RegistryRoot root, const std::wstring& path) override;
  bool deleteTree(RegistryRoot root, const std::wstring& path) override;
};

}  // namespace hv::platform::win32
