// The main window's side of the maker's web services: the update check's
// timer, the "Update Notifications" items, the notice window and the
// identity facts captured at start.
#include "app/identity.h"
#include "app/main_form.h"
#include "app/main_form_layout.h"
#include "notice/notice_window.h"
#include "platform/error.h"
#include "ui/window_system.h"
#include "web/checker.h"
#include "web/client_locale.h"
#include "web/os_version.h"

namespace hv::app {

void TAppForm::wireWebEvents() {
  // Captured before the creation sequence and before any other thread runs.
  web::SetOsVersion(web::CaptureOsVersion(platform_.systemInfo, platform_.versionInfo));
  web::CaptureDefaultLocaleId(platform_.localeInfo);

  TimerChecker.OnTimer = [this] { TimerCheckerTimer(); };
  OnSettingChange = [this](const std::wstring& section) {
    if (section == L"intl") web::RefreshDefaultLocaleId(platform_.localeInfo);
  };
  OnTaskbarCreated = [this] { web::RefreshDefaultLocaleId(platform_.localeInfo); };
}

void TAppForm::TimerCheckerTimer() {
  web::TimerCheckerTick(
      TimerChecker, UpdateNotifications1,
      [this] {
        web::TChecker::Start({platform_.http, platform_.registry, platform_.localeInfo,
                              platform_.clock, std::wstring(MakerHost()), identity().appTitle,
                              identity().appVersion});
      },
      [this] {
        notice::ShowNewVer({platform_.windows, platform_.shell, platform_.desktop, *this,
                            std::wstring(MakerHost()), identity().productName});
      });
}

// Only the tray item carries the choice, whichever item was used.
void TAppForm::UpdateNotifications1Click() {
  web::ToggleUpdateNotifications(UpdateNotifications1, platform_.registry);
}

}  // namespace hv::app
