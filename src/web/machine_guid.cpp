#include "web/machine_guid.h"

#include "base/error.h"

namespace hv::web {

std::wstring ReadMachineGuid(platform::Registry& registry, platform::RegistryRoot root,
                             const std::wstring& keyPath) {
  namespace reg = platform::reg;
  const std::wstring path =
      !keyPath.empty() && keyPath.front() == L'\\' ? keyPath.substr(1) : keyPath;
  std::unique_ptr<platform::RegistryKey> key;
  for (const std::uint32_t access : {reg::kRead, reg::kReadNoNotify, reg::kQueryValue}) {
    key = registry.openKey(root, path, access | reg::kView64);
    if (key) break;
  }
  if (!key) return {};
  const auto value = key->queryValue(kMachineGuidValue);
  if (!value || value->data.empty()) return {};
  if (value->type != reg::kString && value->type != reg::kExpandString)
    throw Error(L"Invalid data type for '" + std::wstring(kMachineGuidValue) + L"'");
  return platform::StringOf(*value);
}

}  // namespace hv::web
