#include "app/identity.h"

#include <utility>

#include "app/run_state.h"

namespace hv::app {

const Identity& identity() {
  return Run().identity;
}

void setIdentity(Identity id) {
  Run().identity = std::move(id);
}

std::wstring MakeAppTitle(const std::wstring& companyName, const std::wstring& productName) {
  return companyName + L" - " + productName;
}

}  // namespace hv::app
