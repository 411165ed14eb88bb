#pragma once
// Get Server Time and Sync Computer Time: the one owner of the fetch, of
// what its answer means and of the clock write. The main window starts them
// (buttons, daylight box, hotkey, automatic check, start-up press) with what
// it reads of itself, and each answer comes back to it as one state to
// render, through TimeView. All of it runs on the UI thread except the
// start-up press's queries, which run on a TClicker thread and hand one
// result back each; an answer takes the same way from there on, whichever
// thread asked.
//
// One command at a time: a starter that comes while another command runs,
// its message boxes included, skips its turn, so commands never nest and
// their boxes never stack. The clock is written from the fresh answer plus
// the time that passed since it arrived, on the steady clock. No answer
// dated before the build date is believed, and no step larger than 15
// hours is made unless a person says yes (time/clock_guard.h).
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "app/automatic_backoff.h"
#include "app/clicker.h"
#include "time/answer_figures.h"
#include "time/datetime.h"

namespace hv::platform {
class Clock;
class Http;
class Network;
class Random;
class TcpNetwork;
class TrustRoots;
}  // namespace hv::platform

namespace hv::time {
class TIdSNTP;
}

namespace hv::nts {
class TNtsClient;
}

namespace hv::app {

// What a command reads of the main window, taken once when it starts.
struct TimeRequest {
  std::wstring host;  // the server box's own text, trimmed
  bool daylight = false;
  // The server time display no longer shows its initial text.
  bool serverTimeShown = false;
  bool automatic = false;  // the Automatically Synchronize box
};

// What became of a command.
enum class FetchOutcome {
  Success,
  Failed,    // refused or not answered; reported by a box, or silently
  PassedOn,  // the maker's endpoint failed: shown by the general error
             // report, or dropped by the start-up press
  Skipped,   // another command was running
  Withheld,  // shown, but the step was too large to make unattended
  Declined,  // shown, and the person said no to the step
};

// What an answer leaves for the window, rendered in one go.
struct TimeState {
  enum class Box { None, ServerError, InvalidTime, Failure, StepWithheld, StepQuestion };
  FetchOutcome outcome = FetchOutcome::Failed;
  // A fresh server time: the display, its tooltip, and Sync Computer Time
  // enabled.
  bool fresh = false;
  time::TDateTime serverTime = 0;
  time::AnswerFigures figures;
  Box box = Box::None;
  double stepSeconds = 0;      // the answer minus the computer's clock
  std::exception_ptr failure;  // Box::Failure: for the general error report
  std::string ntsWhy;          // why an NTS server gave no time, in a few words
};

// What the commands need of the main window.
class TimeView {
 public:
  virtual ~TimeView() = default;
  // The window's inputs now; the start-up press reads them again for its
  // synchronisation.
  virtual TimeRequest timeRequest() = 0;
  // A query starts: Get Server Time is disabled and, for a synchronisation,
  // the display tick stopped. A query that waits on the UI thread has the
  // window drawn first: the pending messages run once.
  virtual void fetchStarted(bool sync, bool waitsHere) = 0;
  // Shows the state, its box included; true when the box asked about a
  // step and the person said yes.
  virtual bool renderTime(const TimeState& state) = 0;
  // A synchronisation ended: the display tick runs at once and starts its
  // timer again.
  virtual void syncEnded() = 0;
};

struct TimeServices {
  ui::WindowSystem& windows;
  platform::Clock& clock;
  platform::Network& network;
  platform::TcpNetwork& tcp;
  platform::TrustRoots& trustRoots;
  platform::Http& http;
  platform::Random& random;
  std::wstring makerHost;
  // 00:00 UTC of the day the program was built.
  time::TDateTime buildDate = 0;
};

// Who started a command. A person's synchronisation asks before a large
// step; the automatic check and the start-up press never make one. The
// start-up press drops a failure that is passed on, the others show it.
enum class Starter { Person, AutomaticCheck, StartupPress };

// One query's result, handed from the thread that ran it to the UI thread.
struct QueryResult {
  enum class Kind { Time, InvalidTime, ServerError, Empty, MakerFailure };
  Kind kind = Kind::Empty;
  time::TDateTime time = 0;
  // SNTP: answerUtcUs, unrounded, is what the clock is written from.
  time::AnswerFigures figures;
  std::exception_ptr failure;     // MakerFailure
  std::exception_ptr unexpected;  // anything the query did not expect
  std::string ntsWhy;             // an NTS server's failure, in a few words
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

  FetchOutcome getServerTime(const TimeRequest& request, Starter starter = Starter::Person);
  FetchOutcome syncComputerTime(const TimeRequest& request, Starter starter = Starter::Person);
  // Starts the start-up press: a fetch, then a synchronisation when the
  // automatic box is ticked by then, both queried on the TClicker. False
  // while another command runs.
  bool startupPress(const TimeRequest& request);
  bool startupPressDone() const { return pressDone_; }
  // The automatic check found the displays apart.
  void automaticTurn(const TimeRequest& request);
  // The automatic box ticked again: automatic turns start afresh.
  void resetAutomatic() {
    backoff_.reset();
    withheldTold_ = false;
  }

 private:
  class Claim;
  // A command under way: who started it, whether it sets the clock, and
  // what it read of the window.
  struct Command {
    Starter starter;
    bool sync;
    TimeRequest request;
  };
  FetchOutcome run(const Command& c);
  // The window shows that a query runs, then start sets it going.
  void begin(const Command& c, bool waitsHere, const std::function<void()>& start);
  QueryResult query(const TimeRequest& request);
  QueryResult queryNts(const std::wstring& host);
  void refuseBeforeFloor(QueryResult& r);
  // Everything after the query, whichever thread ran it: settled, rendered,
  // written.
  FetchOutcome answer(const Command& c, const QueryResult& r);
  // What the answer means: the estimate, the back-off, and the state shown.
  TimeState settle(const Command& c, const QueryResult& r);
  // The answer, aged by the time since it arrived.
  time::TDateTime answerNow(const QueryResult& r);
  void write(const QueryResult& r);
  void pressQuery(const Command& c);
  void pressAnswered(const Command& c, const QueryResult& r);
  void endPress();

  TimeServices services_;
  TimeView& view_;
  std::unique_ptr<time::TIdSNTP> sntp_;
  // Made at the first NTS server's query, so nothing of TLS runs before.
  std::unique_ptr<nts::TNtsClient> nts_;
  // Owner: the UI thread, like everything below.
  time::TDateTime serverTime_ = 0;
  bool serverTimeValid_ = false;
  bool busy_ = false;
  bool pressDone_ = false;
  // The withheld step's box was shown; it shows again only after the clock
  // was set or the automatic box ticked again.
  bool withheldTold_ = false;
  AutomaticBackoff backoff_;
  // The start-up press's hold on the one command, from its first query to
  // its last answer.
  std::unique_ptr<Claim> press_;
  // Last, so it goes first: its thread uses the members above.
  TClicker<QueryResult> clicker_;
};

}  // namespace hv::app
