#pragma once
// The run's identity, set once while the main window is created.
#include <string>

#include "base/identity.h"

namespace hv::app {

// Owner: TAppForm::FormCreate, on the UI thread, before any other thread
// exists. Readers: the main window, and the windows it hands it to.
const Identity& IdentityOf();
void SetIdentity(Identity id);

// companyName + " - " + productName.
std::wstring MakeAppTitle(const std::wstring& companyName, const std::wstring& productName);

}  // namespace hv::app
