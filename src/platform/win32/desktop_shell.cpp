#include "platform/win32/desktop_shell.h"

#include <windows.h>
// Before the shell's interfaces, so that ShellExecute names the same method
// in their declaration and in the call.
#include <shellapi.h>
//
#include <exdisp.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "platform/win32/com.h"

namespace hv::platform::win32 {
namespace {

int ShowCommandOf(ShowCommand show) {
  return show == ShowCommand::Hide ? SW_HIDE : SW_SHOWNORMAL;
}

// The desktop's shell application object: the shell window of the desktop,
// its top-level browser, the active view's background and its Application.
ComPtr<IShellDispatch2> DesktopShell() {
  ComPtr<IShellWindows> windows;
  if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER,
                              __uuidof(IShellWindows), windows.putVoid())) ||
      !windows)
    return {};
  Variant location = Variant::Int(CSIDL_DESKTOP);
  Variant root;
  LONG window = 0;
  ComPtr<IDispatch> desktop;
  // S_FALSE: no such window.
  if (windows->FindWindowSW(&location.get(), &root.get(), SWC_DESKTOP, &window, SWFO_NEEDDISPATCH,
                            desktop.put()) != S_OK ||
      !desktop)
    return {};
  const auto services = desktop.as<IServiceProvider>();
  if (!services) return {};
  ComPtr<IShellBrowser> browser;
  if (FAILED(services->QueryService(SID_STopLevelBrowser, __uuidof(IShellBrowser),
                                    browser.putVoid())) ||
      !browser)
    return {};
  ComPtr<IShellView> view;
  if (FAILED(browser->QueryActiveShellView(view.put())) || !view) return {};
  ComPtr<IDispatch> background;
  if (FAILED(view->GetItemObject(SVGIO_BACKGROUND, __uuidof(IDispatch), background.putVoid())) ||
      !background)
    return {};
  const auto folderView = background.as<IShellFolderViewDual>();
  if (!folderView) return {};
  ComPtr<IDispatch> application;
  if (FAILED(folderView->get_Application(application.put())) || !application) return {};
  return application.as<IShellDispatch2>();
}

}  // namespace

bool OpenThroughDesktopShell(const ShellRequest& request) {
  const auto shell = DesktopShell();
  if (!shell) return false;
  Bstr file(request.file.c_str());
  if (!file) return false;
  Variant parameters = Variant::Text(request.parameters.c_str());
  Variant directory;
  Variant verb = Variant::Text(L"open");
  Variant show = Variant::Int(ShowCommandOf(request.show));
  return SUCCEEDED(
      shell->ShellExecute(file.get(), parameters.get(), directory.get(), verb.get(), show.get()));
}

void OpenDirectly(const ShellRequest& request) {
  ShellExecuteW(GetDesktopWindow(), L"open", request.file.c_str(),
                request.parameters.empty() ? nullptr : request.parameters.c_str(), nullptr,
                ShowCommandOf(request.show));
}

}  // namespace hv::platform::win32
