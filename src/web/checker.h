#pragma once
// TChecker runs the update check on its own thread; the main window's
// TimerChecker starts it and polls for its end.
#include <functional>

#include "ui/form.h"
#include "web/update_check.h"

namespace hv::web {

class TChecker {
 public:
  // Starts the thread at once; it frees itself when done and nobody waits
  // for it. The context's platform objects must live until the process ends.
  static void Start(UpdateCheckContext context);
  // Threads started and not yet finished.
  static int Running();

 private:
  explicit TChecker(UpdateCheckContext context) : context_(std::move(context)) {}
  void Execute();
  UpdateCheckContext context_;
};

// One tick of TimerChecker, on the UI thread. The first tick starts the
// check; the first tick after it is done stops the timer, enables the
// "Update Notifications" item (unticked when ShowUpdate is 0) and, when an
// update is due, runs showNotice.
void TimerCheckerTick(ui::Timer& timerChecker, ui::MenuItem& updateNotifications,
                      const std::function<void()>& startCheck,
                      const std::function<void()>& showNotice);

// The "Update Notifications" item: flips its tick and stores the choice.
void ToggleUpdateNotifications(ui::MenuItem& updateNotifications, platform::Registry& registry);

// Part of the run state. Owner: the UI thread. Set by the first tick, never
// cleared in a run.
bool CheckStarted();

}  // namespace hv::web
