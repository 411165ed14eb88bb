// The program's entry point: the Win32 adapters behind the platform
// boundary, handed to the application once.
#include <windows.h>

#include "app/app_platform.h"
#include "platform/win32/clock_win32.h"
#include "platform/win32/desktop_win32.h"
#include "platform/win32/files_win32.h"
#include "platform/win32/http_win32.h"
#include "platform/win32/locale_info_win32.h"
#include "platform/win32/locale_win32.h"
#include "platform/win32/profile_win32.h"
#include "platform/win32/random_win32.h"
#include "platform/win32/recording_clock.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/shell_win32.h"
#include "platform/win32/system_info_win32.h"
#include "platform/win32/udp_win32.h"
#include "platform/win32/ui/window_system_win32.h"
#include "platform/win32/version_info_win32.h"

namespace {

namespace win32 = hv::platform::win32;

// Background threads that nobody waits for (the update check) use these up
// to the moment the process ends, so they are never destroyed.
struct Adapters {
  win32::winui::Win32WindowSystem windows;
#if HORVANE_RECORD_CLOCK
  // The journeys' build: clock writes go to a file, never to the clock.
  win32::Win32Clock realClock;
  win32::RecordingClock clock{realClock};
#else
  win32::Win32Clock clock;
#endif
  win32::Win32Files files;
  win32::Win32Profile profile;
  win32::Win32VersionInfo versionInfo;
  win32::Win32Locale locale;
  win32::Win32Shell shell;
  hv::platform::Win32Network network;
  win32::Win32Http http;
  win32::Win32Registry registry;
  win32::Win32SystemInfo systemInfo;
  win32::Win32LocaleInfo localeInfo;
  win32::Win32Desktop desktop{windows};
  win32::Win32Random random;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // DLLs loaded later, by name, come from System32 too, as the imports do
  // (load_config.cpp).
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  auto* a = new Adapters;
  hv::app::AppPlatform platform{
      a->windows, a->clock, a->files,    a->profile,    a->versionInfo, a->locale,  a->shell,
      a->network, a->http,  a->registry, a->systemInfo, a->localeInfo,  a->desktop, a->random,
  };
  return hv::app::runApplication(platform);
}
