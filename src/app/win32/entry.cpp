// The program's entry point, its composition root: the Win32 adapters behind
// the platform boundary, handed to the application once. The C runtime of
// -municode calls wmain, for a windowed program too.
#include "app/app_platform.h"
#include "platform/win32/program_adapters.h"

extern "C" int wmain(int, wchar_t**) {
  namespace win32 = hv::platform::win32;
  win32::LoadDllsFromSystem32Only();
  const win32::ProgramAdapters a = win32::MakeProgramAdapters();
  hv::app::AppPlatform platform{
      a.windows,    a.clock,      a.files,   a.profile,    a.versionInfo, a.locale,
      a.shell,      a.network,    a.tcp,     a.trustRoots, a.http,        a.registry,
      a.systemInfo, a.localeInfo, a.desktop, a.random,
  };
  platform.webOwner = a.webOwner;
  return hv::app::RunApplication(platform);
}
