#pragma once
// Get Server Time and Sync Computer Time: the one owner of the fetch, of
// what its answer means and of the clock write. The main window starts them
// (buttons, daylight box, hotkey, automatic check, start-up press) and they
// reach the window only through TimeView. All of it runs on the UI thread
// except the start-up press's queries, which run on a TClicker thread and
// hand one result back each.
//
// One command at a time: a starter that comes while another command runs,
// its message boxes included, skips its turn, so commands never nest and
// their boxes never stack. The clock is written from the fresh answer plus
// the time that passed since it arrived, on the steady clock. No answer
// dated before the build date is believed, and no step larger than 15
// hours is made unless a person says yes (time/clock_guard.h).
#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <string>

#include "app/automatic_backoff.h"
#include "app/clicker.h"
#include "app/server_time_hint.h"
#include "time/datetime.h"

namespace hv::platform {
class Clock;
class Http;
class Network;
class Random;
}  // namespace hv::platform

namespace hv::time {
class TIdSNTP;
}

namespace hv::app {

// What the commands need of the main window.
class TimeView {
 public:
  virtual ~TimeView() = default;
  // The server box's own text, trimmed.
  virtual std::wstring serverHost() = 0;
  virtual bool daylightTicked() = 0;
  virtual bool automaticTicked() = 0;
  // The Get Server Time button.
  virtual void setFetchEnabled(bool on) = 0;
  // Lets the pending window messages run once.
  virtual void letMessagesRun() = 0;
  // A fresh server time: shown with how good it was, and Sync Computer
  // Time enabled.
  virtual void showServerTime(time::TDateTime t, const AnswerFigures& figures) = 0;
  // False while the server time display still shows its initial text.
  virtual bool serverTimeShown() = 0;
  virtual void stopDisplayTick() = 0;
  // Runs the display tick at once; it starts its timer again.
  virtual void runDisplayTick() = 0;
  virtual void errorBox(const wchar_t* text) = 0;
  // An unattended synchronisation did not set the clock: the step to the
  // server's time was too large.
  virtual void stepWithheldBox(time::TDateTime serverTime, double stepSeconds) = 0;
  // Asks before a person's synchronisation makes a step that large; no is
  // the default.
  virtual bool confirmStep(time::TDateTime serverTime, double stepSeconds) = 0;
  // The general error report.
  virtual void reportFailure(const std::exception_ptr& failure) = 0;
};

struct TimeServices {
  ui::WindowSystem& windows;
  platform::Clock& clock;
  platform::Network& network;
  platform::Http& http;
  platform::Random& random;
  std::wstring makerHost;
  // 00:00 UTC of the day the program was built.
  time::TDateTime buildDate = 0;
};

// What became of a fetch.
enum class FetchOutcome {
  Success,
  Failed,    // refused or not answered; reported by a box, or silently
  PassedOn,  // the maker's endpoint failed: shown by the general error
             // report, or dropped by the start-up press
  Skipped,   // another command was running
  Withheld,  // shown, but the step was too large to make unattended
  Declined,  // shown, and the person said no to the step
};

// Who started a command. A person's synchronisation asks before a large
// step; the automatic check and the start-up press never make one. The
// start-up press drops a failure that is passed on, the others show it.
enum class Starter { Person, AutomaticCheck, StartupPress };

// One query's result, handed from the thread that ran it to the UI thread.
struct QueryResult {
  enum class Kind { Time, InvalidTime, ServerError, Empty, MakerFailure };
  Kind kind = Kind::Empty;
  std::wstring host;
  time::TDateTime time = 0;
  // SNTP: the same answer in UTC microseconds since 1970, unrounded, which
  // the clock is written from.
  std::optional<std::int64_t> utcUs;
  std::int64_t receivedAtUs = 0;
  AnswerFigures figures;  // Time
  std::string kissCode;
  std::exception_ptr failure;     // MakerFailure
  std::exception_ptr unexpected;  // anything the query did not expect
};

class TimeCommands {
 public:
  TimeCommands(TimeServices services, TimeView& view);
  TimeCommands(const TimeCommands&) = delete;
  TimeCommands& operator=(const TimeCommands&) = delete;
  // Waits for a running start-up query; its own deadline bounds the wait.
  ~TimeCommands();

  time::TIdSNTP& client() { return *sntp_; }

  // The running estimate of the server's time.
  time::TDateTime ServerTime() const { return serverTime_; }
  bool ServerTimeValid() const { return serverTimeValid_; }
  void advanceEstimate(std::int64_t ms);

  FetchOutcome getServerTime(Starter starter = Starter::Person);
  FetchOutcome syncComputerTime(Starter starter = Starter::Person);
  void hotkeyAction();
  // Starts the start-up press; false while another command runs.
  bool startupPress();
  bool startupPressDone() const { return pressDone_; }
  // The automatic check found the displays apart.
  void automaticTurn();
  // The automatic box ticked again: automatic turns start afresh.
  void resetAutomatic() {
    backoff_.reset();
    withheldTold_ = false;
  }
  bool running() const { return busy_; }

 private:
  class Claim;
  class PressEnd;
  QueryResult query(const std::wstring& host, bool daylight);
  QueryResult queryHere();
  void refuseBeforeFloor(QueryResult& r);
  void launchPressQuery(void (TimeCommands::*next)(const QueryResult&));
  FetchOutcome settle(const QueryResult& r, Starter starter, bool countSuccess = true);
  // The synchronisation's end once its answer is in: settled, then
  // written, withheld or declined.
  FetchOutcome settleAndWrite(const QueryResult& r, Starter starter);
  // The answer, aged by the time since it arrived.
  time::TDateTime answerNow(const QueryResult& r);
  void write(const QueryResult& r);
  void pressFetched(const QueryResult& r);
  void pressSynced(const QueryResult& r);

  TimeServices services_;
  TimeView& view_;
  std::unique_ptr<time::TIdSNTP> sntp_;
  // Owner: the UI thread, like everything below.
  time::TDateTime serverTime_ = 0;
  bool serverTimeValid_ = false;
  bool busy_ = false;
  bool pressDone_ = false;
  // The withheld step's box was shown; it shows again only after the clock
  // was set or the automatic box ticked again.
  bool withheldTold_ = false;
  AutomaticBackoff backoff_;
  // Last, so it goes first: its thread uses the members above.
  TClicker<QueryResult> clicker_;
};

}  // namespace hv::app
