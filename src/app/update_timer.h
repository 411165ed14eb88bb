#pragma once
// The main window's side of the update check: TimerChecker's ticks and the
// "Update Notifications" item.
#include <functional>

#include "ui/form.h"

namespace hv::platform {
class Registry;
}

namespace hv::app {

// One tick of TimerChecker, on the UI thread. The first tick starts the
// check and sets started, which nothing clears in a run; the first tick
// after the check is done stops the timer, enables the "Update
// Notifications" item (unticked when ShowUpdate is 0) and, when an update is
// due, runs showNotice.
void TimerCheckerTick(bool& started, ui::Timer& timerChecker, ui::MenuItem& updateNotifications,
                      const std::function<void()>& startCheck,
                      const std::function<void()>& showNotice);

// The "Update Notifications" item: flips its tick and stores the choice.
void ToggleUpdateNotifications(ui::MenuItem& updateNotifications, platform::Registry& registry);

}  // namespace hv::app
