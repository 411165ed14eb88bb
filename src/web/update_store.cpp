#include "web/update_store.h"

namespace hv::web {

std::unique_ptr<UpdateStore> UpdateStore::Open(platform::Registry& registry,
                                               const std::wstring& path) {
  auto key = registry.createKey(platform::RegistryRoot::CurrentUser, path);
  if (!key) throw StoreError(L"Failed to create key " + path);
  return std::make_unique<UpdateStore>(std::move(key));
}

std::optional<std::wstring> UpdateStore::read(const std::wstring& name) {
  const auto value = key_->queryValue(name);
  if (!value) return std::nullopt;
  if (value->type != platform::reg::kString && value->type != platform::reg::kExpandString)
    return std::nullopt;
  return platform::StringOf(*value);
}

void UpdateStore::write(const std::wstring& name, const std::wstring& value) {
  if (!key_->setValue(name, platform::StringValue(value)))
    throw StoreError(L"Failed to set data for '" + name + L"'");
}

}  // namespace hv::web
