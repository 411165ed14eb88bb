// The main window's side of the maker's web services: the update check's
// timer, the "Update Notifications" items, the notice window and the
// identity facts captured at start.
#include "app/identity.h"
#include "app/main_form.h"
#include "app/main_form_layout.h"
#include "app/update_timer.h"
#include "base/error.h"
#include "notice/notice_window.h"
#include "ui/window_system.h"
#include "web/checker.h"
#include "web/client_locale.h"
#include "web/os_version.h"

namespace hv::app {

void TAppForm::wireWebEvents() {
  // Captured before the creation sequence and before any other thread runs.
  web::SetOsVersion(web::CaptureOsVersion(platform_.systemInfo, platform_.versionInfo));
  web::CaptureDefaultLocaleId(platform_.localeInfo);

  OnSettingChange = [this](const std::wstring& section) {
    if (section == L"intl") web::RefreshDefaultLocaleId(platform_.localeInfo);
  };
  OnTaskbarCreated = [this] { web::RefreshDefaultLocaleId(platform_.localeInfo); };
}

void TAppForm::TimerCheckerTimer() {
  TimerCheckerTick(
      updateCheckStarted_, TimerChecker, UpdateNotifications1,
      [this] {
        web::TChecker::Start({.http = platform_.http,
                              .registry = platform_.registry,
                              .locale = platform_.localeInfo,
                              .clock = platform_.clock,
                              .makerHost = std::wstring(MakerHost()),
                              .appTitle = IdentityOf().appTitle,
                              .appVersion = IdentityOf().appVersion,
                              .platformOwner = platform_.webOwner});
      },
      [this] {
        notice::ShowNewVer({platform_.windows, platform_.shell, platform_.desktop, *this,
                            std::wstring(MakerHost()), IdentityOf().productName});
      });
}

// Only the tray item carries the choice, whichever item was used.
void TAppForm::UpdateNotifications1Click() {
  ToggleUpdateNotifications(UpdateNotifications1, platform_.registry);
}

}  // namespace hv::app
