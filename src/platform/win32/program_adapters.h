#pragma once
// Every Win32 adapter of the program, made once for the composition root,
// which hands them to the application. Free of <windows.h>.
#include <memory>

#include "platform/interfaces_fwd.h"

namespace hv::ui {
class WindowSystem;
}

namespace hv::platform::win32 {

struct ProgramAdapters {
  ui::WindowSystem& windows;
  Clock& clock;
  Files& files;
  ProfileFile& profile;
  VersionInfo& versionInfo;
  Locale& locale;
  Shell& shell;
  Network& network;
  TcpNetwork& tcp;
  TrustRoots& trustRoots;
  Http& http;
  Registry& registry;
  SystemInfo& systemInfo;
  LocaleInfo& localeInfo;
  Desktop& desktop;
  Random& random;
  // Keeps the adapters above.
  std::shared_ptr<const void> owner;
  // Keeps http, registry, localeInfo and clock, which a thread that may
  // outlive the caller (the update check) shares; none of them is bound to
  // the thread that made it.
  std::shared_ptr<const void> webOwner;
};

ProgramAdapters MakeProgramAdapters();

// DLLs loaded later by name come from System32 too, as the imports do
// (the program's load configuration).
void LoadDllsFromSystem32Only();

}  // namespace hv::platform::win32
