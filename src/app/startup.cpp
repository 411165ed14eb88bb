#include "app/error_report.h"
#include "app/main_form.h"
#include "app/main_form_windows.h"
#include "i18n/translate_form.h"
#include "platform/shell.h"
#include "ui/window_system.h"

namespace hv::app {

constexpr wchar_t kMutexName[] = L"CALVION_Horvane";

int runApplication(AppPlatform& platform) {
  // Held, never examined: a second copy runs like the first.
  platform.shell.holdNamedMutex(kMutexName);
  platform.windows.setErrorHandler(
      [&platform](std::exception_ptr error) { ShowErrorReport(platform.windows, error); });
  TAppForm form(platform);
  const auto languageWindow = CreateHiddenLanguageWindow(form);
  form.show();
  platform.windows.run();
  return 0;
}

}  // namespace hv::app
