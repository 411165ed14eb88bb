#pragma once
// The windows that exist from start-up to the end: the main window, shown
// unless "/auto" already hid it, and the hidden language window, made right
// after that show.
#include "app/app_platform.h"
#include "ui/form.h"

namespace hv::i18n {
class TTranslateForm;
}

namespace hv::app {

class TAppForm;

struct AppWindows {
  explicit AppWindows(AppPlatform& platform);
  AppWindows(const AppWindows&) = delete;
  AppWindows& operator=(const AppWindows&) = delete;
  ~AppWindows();

  ui::FormPtr<TAppForm> main;
  ui::FormPtr<i18n::TTranslateForm> language;
};

}  // namespace hv::app
