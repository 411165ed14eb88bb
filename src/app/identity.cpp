#include "app/identity.h"

#include <utility>

namespace hv::app {
namespace {

Identity& current() {
  static Identity id;
  return id;
}

}  // namespace

const Identity& identity() {
  return current();
}

void setIdentity(Identity id) {
  current() = std::move(id);
}

std::wstring MakeAppTitle(const std::wstring& companyName, const std::wstring& productName) {
  return companyName + L" - " + productName;
}

}  // namespace hv::app
