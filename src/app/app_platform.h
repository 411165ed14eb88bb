#pragma once
// Everything the application needs of the platform, handed in once at start:
// the Win32 adapters in the program, fakes and the headless window system in
// tests.
#include <memory>

#include "app/build_date.h"
#include "platform/interfaces_fwd.h"
#include "time/datetime.h"

namespace hv::ui {
class WindowSystem;
}

namespace hv::app {

struct AppPlatform {
  ui::WindowSystem& windows;
  platform::Clock& clock;
  platform::Files& files;
  platform::ProfileFile& profile;
  platform::VersionInfo& versionInfo;
  platform::Locale& locale;
  platform::Shell& shell;
  platform::Network& network;
  // Authenticated time: its key exchange, and the roots it trusts.
  platform::TcpNetwork& tcp;
  platform::TrustRoots& trustRoots;
  // The maker's web services. The update check's thread uses http,
  // registry, localeInfo and clock and nobody waits for it: it shares
  // webOwner, or they must outlive it.
  platform::Http& http;
  platform::Registry& registry;
  platform::SystemInfo& systemInfo;
  platform::LocaleInfo& localeInfo;
  platform::Desktop& desktop;
  platform::Random& random;
  // No server's answer dated before it is believed; tests choose their own,
  // so that they keep passing as the sources' date moves on.
  time::TDateTime buildDate = BuildDate();
  // What owns http, registry, localeInfo and clock, when they are shared
  // with the update check's thread.
  std::shared_ptr<const void> webOwner = nullptr;
};

// Process start: the mutex, the main window, the hidden language window and
// the event loop. Returns the process exit code.
int RunApplication(AppPlatform& platform);

}  // namespace hv::app
