#include "app/identity.h"

#include <utility>

namespace hv::app {
namespace {

// Written once by setIdentity before other threads start; read-only after.
Identity gIdentity;

}  // namespace

const Identity& identity() {
  return gIdentity;
}

void setIdentity(Identity id) {
  gIdentity = std::move(id);
}

std::wstring MakeAppTitle(const std::wstring& companyName, const std::wstring& productName) {
  return companyName + L" - " + productName;
}

}  // namespace hv::app
