#pragma once
// The windows that exist from start-up to the end: the main window, shown
// unless "/auto" already hid it, and the hidden language window, made once
// the main window is up: nobody sees it, so the first frame does not wait
// for it.
#include <memory>

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

 private:
  // Work posted by the constructor runs only while this is alive.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace hv::app
