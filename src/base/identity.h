#pragma once
// The program's identity strings: who made it, what it is called, which
// version it is. The application reads them once at start and hands them to
// the windows that show them.
#include <string>

namespace hv {

struct Identity {
  std::wstring companyName, productName, appTitle, appVersion;
};

// Caption of the general error report and tooltip of the tray icon.
inline constexpr wchar_t kApplicationTitle[] = L"Horvane";

}  // namespace hv
