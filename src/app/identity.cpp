#include "app/identity.h"

#include <utility>

namespace hv::app {
namespace {

Identity& Current() {
  static Identity id;
  return id;
}

}  // namespace

const Identity& IdentityOf() {
  return Current();
}

void SetIdentity(Identity id) {
  Current() = std::move(id);
}

std::wstring MakeAppTitle(const std::wstring& companyName, const std::wstring& productName) {
  return companyName + L" - " + productName;
}

}  // namespace hv::app
