#pragma once
// The program's identity strings: who made it, what it is called, which
// version it is. Set once while the main window is created.
#include <string>

namespace hv::app {

struct Identity {
  std::wstring companyName, productName, appTitle, appVersion;
};

// Part of the run state. Owner: TAppForm::FormCreate, on the UI thread,
// before any other thread exists. Readers: every window and the web
// requests, on any thread.
const Identity& identity();
void setIdentity(Identity id);

// Caption of the general error report and tooltip of the tray icon.
inline constexpr wchar_t kApplicationTitle[] = L"Horvane";

// companyName + " - " + productName.
std::wstring MakeAppTitle(const std::wstring& companyName, const std::wstring& productName);

}  // namespace hv::app
