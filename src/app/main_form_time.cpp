// Get Server Time, Sync Computer Time and their starters: the buttons, the
// hotkey, the start-up press and the automatic check.
#include <chrono>
#include <thread>

#include "app/main_form.h"
#include "app/main_form_layout.h"
#include "i18n/catalogue.h"
#include "platform/clock.h"
#include "platform/error.h"
#include "platform/locale.h"
#include "time/sntp.h"
#include "ui/window_system.h"

namespace hv::app {
namespace {

// What the server time display shows until the first successful fetch.
constexpr wchar_t kNoServerTime[] = L"01/01/1990 00:00:00";

// Thrown on the start-up thread once the window is going away, so the thread
// ends without touching it.
struct WindowGone {};

class ReleaseOnExit {
 public:
  explicit ReleaseOnExit(std::atomic<bool>& flag) : flag_(flag) {}
  ~ReleaseOnExit() { flag_ = false; }
  ReleaseOnExit(const ReleaseOnExit&) = delete;
  ReleaseOnExit& operator=(const ReleaseOnExit&) = delete;

 private:
  std::atomic<bool>& flag_;
};

}  // namespace

void TAppForm::onUi(const std::function<void()>& work) {
  if (platform_.windows.onUiThread()) {
    work();
    return;
  }
  if (stopping_) throw WindowGone{};
  platform_.windows.invoke(work);
}

void TAppForm::errorBox(const wchar_t* text) {
  onUi([&] {
    ui::MessageBoxRequest box;
    box.text = text;
    box.caption = L"ERROR";
    box.icon = ui::MessageIcon::Error;
    platform_.windows.messageBox(this, box);
  });
}

// One query at a time. The user-interface thread never waits for the network,
// so a starter there skips its turn while a query runs; the start-up thread
// waits until the running one has ended.
bool TAppForm::claimFetch() {
  using namespace std::chrono_literals;
  while (fetching_.exchange(true)) {
    if (platform_.windows.onUiThread() || stopping_) return false;
    std::this_thread::sleep_for(20ms);
  }
  return true;
}

TAppForm::FetchOutcome TAppForm::GetServerTime() {
  if (!claimFetch()) return FetchOutcome::Skipped;
  const ReleaseOnExit release(fetching_);
  std::wstring host;
  onUi([&] {
    BitBtn1.setEnabled(false);
    platform_.windows.processMessages();
    // The box's own text: a typed host is queried as well as a chosen preset.
    host = i18n::TrimText(ComboBox1.text());
  });
  FetchOutcome outcome = FetchOutcome::Failed;
  try {
    outcome = host == MakerHost() ? fetchMaker() : fetchSntp(host);
  } catch (...) {
    onUi([this] { BitBtn1.setEnabled(true); });
    throw;
  }
  onUi([this] { BitBtn1.setEnabled(true); });
  return outcome;
}

TAppForm::FetchOutcome TAppForm::fetchSntp(const std::wstring& host) {
  time::TDateTime t = 0;
  try {
    IdSNTP1_->Host = host;
    t = IdSNTP1_->DateTime();
  } catch (const Error&) {
    errorBox(L"Server Error!");
    return FetchOutcome::Failed;
  }
  // Also the 0 of a query that got no acceptable reply.
  if (time::yearOf(t) <= 2000) {
    errorBox(L"Invalid Server Time!");
    return FetchOutcome::Failed;
  }
  onUi([&] { acceptServerTime(t); });
  return FetchOutcome::Success;
}

void TAppForm::acceptServerTime(time::TDateTime t) {
  serverTime_ = t;
  Label2.setText(
      time::formatDisplay(t, platform_.locale.dateSeparator(), platform_.locale.timeSeparator()));
  serverTimeValid_ = true;
  BitBtn2.setEnabled(true);
}

void TAppForm::BitBtn1Click() {
  GetServerTime();
}
void TAppForm::BitBtn2Click() {
  SyncComputerTime();
}

void TAppForm::SyncComputerTime() {
  bool haveTime = false;
  onUi([&] { haveTime = Label2.text() != kNoServerTime; });
  if (!haveTime) return;
  // A synchronisation started while another one waits for its query or for a
  // message box skips its turn: they never nest.
  if (syncing_.exchange(true)) return;
  const ReleaseOnExit release(syncing_);

  onUi([this] { TimerComputerTime.setEnabled(false); });
  FetchOutcome outcome = FetchOutcome::Failed;
  try {
    outcome = GetServerTime();
  } catch (const WindowGone&) {
    throw;
  } catch (...) {
    onUi([this] { TimerComputerTimeTimer(); });
    throw;
  }
  onUi([&] {
    // Only a fresh answer reaches the clock: after a failed or skipped fetch
    // the estimate lags by that fetch's wait, and writing it would step the
    // clock back on every automatic turn while the server is down.
    if (outcome == FetchOutcome::Success) {
      platform::SystemTime record = time::toSystemTime(serverTime_);
      record.dayOfWeek = 0;
      platform_.clock.setLocalTime(record);
    }
    TimerComputerTimeTimer();
  });
}

void TAppForm::hotkeyAction() {
  GetServerTime();
  platform_.windows.processMessages();
  SyncComputerTime();
}

void TAppForm::Timer1Timer() {
  Timer1.setEnabled(false);
  if (clicker_.joinable()) return;
  clicker_ = std::thread([this] {
    try {
      GetServerTime();
      bool autoSync = false;
      onUi([&] { autoSync = CheckBox2.checked(); });
      if (autoSync) SyncComputerTime();
    } catch (...) {
      // The start-up press drops what is passed on to it; the fetch has
      // shown its own messages.
    }
    clickerDone_ = true;
  });
}

// The start-up thread may be waiting for this thread to run its window
// changes, so they keep running until it has ended.
void TAppForm::stopClicker() {
  using namespace std::chrono_literals;
  if (!clicker_.joinable()) return;
  stopping_ = true;
  while (!clickerDone_) {
    platform_.windows.processMessages();
    std::this_thread::sleep_for(5ms);
  }
  clicker_.join();
}

void TAppForm::TimerAutomaticTimer() {
  if (CheckBox2.checked() && Label2.text() != Label4.text() && BitBtn2.enabled()) {
    SyncComputerTime();
  }
}

}  // namespace hv::app
