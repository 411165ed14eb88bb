#include "platform/win32/program_adapters.h"

#include <windows.h>

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
#include "platform/win32/tcp_win32.h"
#include "platform/win32/trust_roots_win32.h"
#include "platform/win32/udp_win32.h"
#include "platform/win32/ui/window_system_win32.h"
#include "platform/win32/version_info_win32.h"

namespace hv::platform::win32 {
namespace {

struct WebAdapters {
  Win32Http http;
  Win32Registry registry;
  Win32LocaleInfo localeInfo;
#if HORVANE_RECORD_CLOCK
  // The journeys' build: clock writes go to a file, never to the clock.
  Win32Clock realClock;
  RecordingClock clock{realClock};
#else
  Win32Clock clock;
#endif
};

struct Adapters {
  winui::Win32WindowSystem windows;
  Win32Files files;
  Win32Profile profile;
  Win32VersionInfo versionInfo;
  Win32Locale locale;
  Win32Shell shell;
  Win32Network network;
  Win32TcpNetwork tcp;
  Win32TrustRoots trustRoots;
  Win32SystemInfo systemInfo;
  Win32Desktop desktop{windows};
  Win32Random random;
  std::shared_ptr<WebAdapters> web = std::make_shared<WebAdapters>();
};

}  // namespace

ProgramAdapters MakeProgramAdapters() {
  const auto a = std::make_shared<Adapters>();
  WebAdapters& w = *a->web;
  return {.windows = a->windows,
          .clock = w.clock,
          .files = a->files,
          .profile = a->profile,
          .versionInfo = a->versionInfo,
          .locale = a->locale,
          .shell = a->shell,
          .network = a->network,
          .tcp = a->tcp,
          .trustRoots = a->trustRoots,
          .http = w.http,
          .registry = w.registry,
          .systemInfo = a->systemInfo,
          .localeInfo = w.localeInfo,
          .desktop = a->desktop,
          .random = a->random,
          .owner = a,
          .webOwner = a->web};
}

void LoadDllsFromSystem32Only() {
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace hv::platform::win32
