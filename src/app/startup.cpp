#include "app/startup.h"

#include "app/error_report.h"
#include "app/main_form.h"
#include "app/main_form_windows.h"
#include "i18n/translate_form.h"
#include "platform/shell.h"
#include "ui/window_system.h"

namespace hv::app {

constexpr wchar_t kMutexName[] = L"CALVION_Horvane";

AppWindows::AppWindows(AppPlatform& platform) : main(ui::MakeForm<TAppForm>(platform)) {
  // A message box of the creation (the daylight fetch) runs the window's
  // timers in its own loop, "/auto" among them: a window minimised there
  // stays hidden.
  if (main->windowState() != ui::WindowState::Minimized) main->show();
  // Nobody sees the language window: the main window does not wait for it.
  language = CreateHiddenLanguageWindow(*main);
}

AppWindows::~AppWindows() = default;

int RunApplication(AppPlatform& platform) {
  // Held, never examined: a second copy runs like the first.
  platform.shell.holdNamedMutex(kMutexName);
  platform.windows.setErrorHandler(
      [&platform](std::exception_ptr error) { ShowErrorReport(platform.windows, error); });
  const AppWindows windows(platform);
  platform.windows.run();
  return 0;
}

}  // namespace hv::app
