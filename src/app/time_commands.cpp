#include "app/time_commands.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "base/error.h"
#include "nts/nts_address.h"
#include "nts/nts_client.h"
#include "nts/nts_error.h"
#include "platform/clock.h"
#include "time/clock_guard.h"
#include "time/sntp.h"
#include "time/year_threshold.h"
#include "web/maker_date_time.h"

namespace hv::app {
namespace {

constexpr std::int32_t kSntpTimeoutMs = 5000;

}  // namespace

// Holds the one-command slot for a scope.
class TimeCommands::Claim {
 public:
  explicit Claim(TimeCommands& owner) : owner_(owner) { owner_.busy_ = true; }
  ~Claim() { owner_.busy_ = false; }
  Claim(const Claim&) = delete;
  Claim& operator=(const Claim&) = delete;

 private:
  TimeCommands& owner_;
};

TimeCommands::TimeCommands(TimeServices services, TimeView& view)
    : services_(std::move(services)),
      view_(view),
      sntp_(std::make_unique<time::TIdSNTP>(services_.clock, services_.network, services_.random)),
      clicker_(services_.windows) {
  sntp_->Port = 123;
  sntp_->ReceiveTimeout = kSntpTimeoutMs;
}

TimeCommands::~TimeCommands() = default;

void TimeCommands::advanceEstimate(std::int64_t ms) {
  serverTime_ = time::AddMilliseconds(serverTime_, ms);
}

// Any thread. An answer dated before the build date is refused as one of
// 2000 is.
void TimeCommands::refuseBeforeFloor(QueryResult& r) {
  if (r.kind != QueryResult::Kind::Time) return;
  const time::TDateTime floor =
      time::FloorInLocalTime(services_.buildDate, services_.clock.timeZone());
  if (!time::AtOrAfterFloor(r.time, floor)) r.kind = QueryResult::Kind::InvalidTime;
}

// Any thread: everything it learns goes into the result, nothing escapes.
QueryResult TimeCommands::query(const TimeRequest& request) {
  using Kind = QueryResult::Kind;
  QueryResult r;
  try {
    if (request.host == services_.makerHost) {
      const web::MakerTimeFetch fetch =
          web::FetchMakerDateTime(services_.http, services_.clock, request.host, request.daylight);
      r.time = fetch.time;
      r.figures.source = time::AnswerFigures::Source::Web;
      r.figures.receivedAtUs = fetch.receivedAtUs;
      r.figures.offsetSeconds =
          (fetch.time - time::FromSystemTime(services_.clock.localTime())) * 86400.0;
      switch (fetch.outcome) {
        case web::MakerTimeFetch::Outcome::Time:
          r.kind = Kind::Time;
          break;
        case web::MakerTimeFetch::Outcome::NoAnswer:
          r.kind = Kind::Empty;
          break;
        case web::MakerTimeFetch::Outcome::TooOld:
          r.kind = Kind::InvalidTime;
          break;
        case web::MakerTimeFetch::Outcome::Failed:
          r.kind = Kind::MakerFailure;
          r.failure = std::make_exception_ptr(Error(fetch.failure));
          break;
      }
      refuseBeforeFloor(r);
      return r;
    }
    if (nts::IsNtsServer(request.host)) return queryNts(request.host);
    sntp_->Host = request.host;
    try {
      r.time = sntp_->DateTime();
    } catch (const Error&) {
      r.kind = Kind::ServerError;
      return r;
    }
    r.figures = sntp_->LastReply();
    // Also the 0 of a query that got no acceptable reply.
    r.kind = time::YearAcceptable(r.time) ? Kind::Time : Kind::InvalidTime;
    refuseBeforeFloor(r);
  } catch (...) {
    r.unexpected = std::current_exception();
  }
  return r;
}

// Never answered without NTS: that would undo the point of asking with it.
QueryResult TimeCommands::queryNts(const std::wstring& host) {
  using Kind = QueryResult::Kind;
  QueryResult r;
  const std::optional<nts::NtsAddress> address = nts::ParseNtsAddress(host);
  if (!address) {
    r.kind = Kind::ServerError;
    r.ntsWhy = "bad host";
    return r;
  }
  if (!nts_) {
    nts_ = std::make_unique<nts::TNtsClient>(services_.clock, services_.network, services_.tcp,
                                             services_.random, services_.trustRoots);
    nts_->ReceiveTimeout = kSntpTimeoutMs;
    nts_->FloorUtcSeconds =
        std::llround((services_.buildDate - time::FromUnixMilliseconds(0)) * 86400.0);
  }
  nts_->Host = address->host;
  nts_->Port = address->port;
  try {
    r.time = nts_->DateTime();
  } catch (const nts::NtsError& e) {
    r.kind = Kind::ServerError;
    r.ntsWhy = e.why();
    return r;
  } catch (const Error&) {
    r.kind = Kind::ServerError;
    r.ntsWhy = "no reply";
    return r;
  }
  r.figures = nts_->LastReply();
  r.ntsWhy = nts_->LastWhy();
  r.kind = time::YearAcceptable(r.time) ? Kind::Time : Kind::InvalidTime;
  refuseBeforeFloor(r);
  return r;
}

// A synchronisation that fails before its answer ends there too.
void TimeCommands::begin(const Command& c, bool waitsHere, const std::function<void()>& start) {
  try {
    view_.fetchStarted(c.sync, waitsHere);
    start();
  } catch (...) {
    if (c.sync) view_.syncEnded();
    throw;
  }
}

// The answer plus the time that passed since it arrived: a UI thread that
// was busy meanwhile, or a person who thought before saying yes, does not
// age the clock it writes.
time::TDateTime TimeCommands::answerNow(const QueryResult& r) {
  const std::int64_t elapsedUs =
      std::max<std::int64_t>(0, services_.clock.steadyMicroseconds() - r.figures.receivedAtUs);
  return time::AddMilliseconds(r.time, (elapsedUs + 500) / 1000);
}

TimeState TimeCommands::settle(const Command& c, const QueryResult& r) {
  using Kind = QueryResult::Kind;
  using Box = TimeState::Box;
  const std::wstring& host = c.request.host;
  if (time::sntp::KissMeansStop(r.figures.kissCode)) backoff_.kissed(host);
  TimeState s;
  s.ntsWhy = r.ntsWhy;
  // Goes on to the general error report once the window is rendered.
  if (r.unexpected) return s;
  switch (r.kind) {
    case Kind::Time:
      break;
    case Kind::ServerError:
      s.box = Box::ServerError;
      return s;
    case Kind::InvalidTime:
      s.box = Box::InvalidTime;
      return s;
    case Kind::Empty:
      return s;
    case Kind::MakerFailure:
      s.outcome = FetchOutcome::PassedOn;
      if (c.starter != Starter::StartupPress) {
        s.box = Box::Failure;
        s.failure = r.failure;
      }
      return s;
  }
  s.outcome = FetchOutcome::Success;
  s.fresh = true;
  s.serverTime = r.time;
  s.figures = r.figures;
  serverTime_ = r.time;
  serverTimeValid_ = true;
  bool withheld = false;
  if (c.sync) {
    const time::TDateTime computerNow = time::FromSystemTime(services_.clock.localTime());
    s.stepSeconds = (answerNow(r) - computerNow) * 86400.0;
    const time::TDateTime floor =
        time::FloorInLocalTime(services_.buildDate, services_.clock.timeZone());
    withheld = c.starter != Starter::Person &&
               !time::UnattendedStepAllowed(s.stepSeconds, computerNow, floor);
  }
  if (withheld) {
    // No success for the back-off: the next turn waits.
    s.outcome = FetchOutcome::Withheld;
    if (!withheldTold_) {
      withheldTold_ = true;
      s.box = Box::StepWithheld;
    }
    return s;
  }
  backoff_.succeeded(host);
  if (c.sync && c.starter == Starter::Person && time::StepNeedsAPerson(s.stepSeconds))
    s.box = Box::StepQuestion;
  return s;
}

void TimeCommands::write(const QueryResult& r) {
  withheldTold_ = false;
  if (r.figures.source == time::AnswerFigures::Source::Sntp) {
    // In UTC, so a daylight-saving change between the answer and the write,
    // or brought by the write itself, cannot shift it.
    const std::int64_t elapsedUs =
        std::max<std::int64_t>(0, services_.clock.steadyMicroseconds() - r.figures.receivedAtUs);
    const std::int64_t us = r.figures.answerUtcUs + elapsedUs;
    const std::int64_t ms = us / 1000 + (us % 1000 >= 500 ? 1 : 0);
    platform::SystemTime record = time::ToSystemTime(time::FromUnixMilliseconds(ms));
    record.dayOfWeek = 0;
    services_.clock.setSystemTime(record);
    // Certificates' dates can be held against this clock from now on.
    if (!r.figures.authenticatedBy.empty() && nts_) nts_->ClockTrusted = true;
    return;
  }
  // The maker's endpoint answers local time in whole seconds.
  platform::SystemTime record = time::ToSystemTime(answerNow(r));
  record.dayOfWeek = 0;
  services_.clock.setLocalTime(record);
}

// One way for every answer, whichever thread queried. The state is shown
// while this command still holds the slot, so no other command's box comes
// on top of its own.
FetchOutcome TimeCommands::answer(const Command& c, const QueryResult& r) {
  FetchOutcome outcome = FetchOutcome::Failed;
  try {
    const TimeState s = settle(c, r);
    const bool yes = view_.renderTime(s);
    if (r.unexpected) std::rethrow_exception(r.unexpected);
    outcome = s.box == TimeState::Box::StepQuestion && !yes ? FetchOutcome::Declined : s.outcome;
    // Only a fresh answer reaches the clock: the estimate of a failed fetch
    // lags by that fetch's wait.
    if (c.sync && outcome == FetchOutcome::Success) write(r);
  } catch (...) {
    if (c.sync) view_.syncEnded();
    throw;
  }
  if (!c.sync) return outcome;
  view_.syncEnded();
  // An unattended synchronisation that set nothing: the next turn waits.
  if (c.starter != Starter::Person &&
      (outcome == FetchOutcome::Failed || outcome == FetchOutcome::PassedOn ||
       outcome == FetchOutcome::Withheld))
    backoff_.failed(services_.clock.steadyMicroseconds(), c.request.host);
  return outcome;
}

// A command whose query waits on the UI thread.
FetchOutcome TimeCommands::run(const Command& c) {
  if (busy_ || (c.sync && !c.request.serverTimeShown)) return FetchOutcome::Skipped;
  const Claim claim(*this);
  QueryResult r;
  begin(c, true, [&] { r = query(c.request); });
  return answer(c, r);
}

FetchOutcome TimeCommands::getServerTime(const TimeRequest& request, Starter starter) {
  return run({starter, false, request});
}

FetchOutcome TimeCommands::syncComputerTime(const TimeRequest& request, Starter starter) {
  return run({starter, true, request});
}

void TimeCommands::automaticTurn(const TimeRequest& request) {
  if (busy_ || !backoff_.allows(services_.clock.steadyMicroseconds(), request.host)) return;
  syncComputerTime(request, Starter::AutomaticCheck);
}

bool TimeCommands::startupPress(const TimeRequest& request) {
  if (busy_) return false;
  press_ = std::make_unique<Claim>(*this);
  pressQuery({Starter::StartupPress, false, request});
  return true;
}

void TimeCommands::pressQuery(const Command& c) {
  try {
    begin(c, false, [&] {
      clicker_.start([this, request = c.request] { return query(request); },
                     [this, c](const QueryResult& r) { pressAnswered(c, r); });
    });
  } catch (...) {
    endPress();
    throw;
  }
}

// The fetch's answer is followed by the synchronisation when the automatic
// box is ticked by then.
void TimeCommands::pressAnswered(const Command& c, const QueryResult& r) {
  try {
    answer(c, r);
    if (!c.sync) {
      const TimeRequest next = view_.timeRequest();
      if (next.automatic && next.serverTimeShown) {
        pressQuery({Starter::StartupPress, true, next});
        return;
      }
    }
  } catch (...) {
    endPress();
    throw;
  }
  endPress();
}

void TimeCommands::endPress() {
  press_.reset();
  pressDone_ = true;
}

}  // namespace hv::app
