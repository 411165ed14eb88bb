#include "web/checker.h"

#include <atomic>
#include <memory>
#include <thread>

#include "app/run_state.h"

namespace hv::web {
namespace {

// Checks started and not yet finished; each thread counts itself out.
std::atomic<int> gRunning{0};

}  // namespace

void TChecker::Start(UpdateCheckContext context) {
  std::unique_ptr<TChecker> checker(new TChecker(std::move(context)));
  gRunning.fetch_add(1);
  try {
    std::thread([self = checker.get()] {
      self->Execute();
      delete self;
      gRunning.fetch_sub(1);
    }).detach();
  } catch (...) {
    gRunning.fetch_sub(1);
    throw;
  }
  checker.release();
}

int TChecker::Running() {
  return gRunning.load();
}

void TChecker::Execute() {
  ClearCheckDone();
  // Nothing may leave a thread; what the check did not expect goes into its
  // own silent log.
  try {
    CheckForUpdate(context_);
  } catch (const std::exception& e) {
    LogCheckError(DescribeUnexpected(e));
  }
}

void TimerCheckerTick(ui::Timer& timerChecker, ui::MenuItem& updateNotifications,
                      const std::function<void()>& startCheck,
                      const std::function<void()>& showNotice) {
  bool& started = app::Run().updateCheckStarted;
  if (!started) {
    started = true;
    startCheck();
    return;
  }
  if (!CheckDone()) return;
  timerChecker.setEnabled(false);
  updateNotifications.setEnabled(true);
  if (ShowUpdate() == 0) updateNotifications.setChecked(false);
  if (UpdateAvailable()) showNotice();
}

void ToggleUpdateNotifications(ui::MenuItem& updateNotifications, platform::Registry& registry) {
  if (updateNotifications.checked()) {
    updateNotifications.setChecked(false);
    SetShowUpdate(registry, false);
  } else {
    updateNotifications.setChecked(true);
    SetShowUpdate(registry, true);
  }
}

bool CheckStarted() {
  return app::Run().updateCheckStarted;
}

}  // namespace hv::web
