#include "app/update_timer.h"

#include "web/update_check.h"

namespace hv::app {

void TimerCheckerTick(bool& started, ui::Timer& timerChecker, ui::MenuItem& updateNotifications,
                      const std::function<void()>& startCheck,
                      const std::function<void()>& showNotice) {
  if (!started) {
    started = true;
    startCheck();
    return;
  }
  if (!web::CheckDone()) return;
  timerChecker.setEnabled(false);
  updateNotifications.setEnabled(true);
  if (web::ShowUpdate() == 0) updateNotifications.setChecked(false);
  if (web::UpdateAvailable()) showNotice();
}

void ToggleUpdateNotifications(ui::MenuItem& updateNotifications, platform::Registry& registry) {
  if (updateNotifications.checked()) {
    updateNotifications.setChecked(false);
    web::SetShowUpdate(registry, false);
  } else {
    updateNotifications.setChecked(true);
    web::SetShowUpdate(registry, true);
  }
}

}  // namespace hv::app
