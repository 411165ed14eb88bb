#include "app/time_commands.h"

#include <algorithm>

#include "base/error.h"
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
  serverTime_ = time::addMilliseconds(serverTime_, ms);
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
QueryResult TimeCommands::query(const std::wstring& host, bool daylight) {
  using Kind = QueryResult::Kind;
  QueryResult r;
  r.host = host;
  try {
    if (host == services_.makerHost) {
      const web::MakerTimeFetch fetch =
          web::FetchMakerDateTime(services_.http, services_.clock, host, daylight);
      r.time = fetch.time;
      r.receivedAtUs = fetch.receivedAtUs;
      r.figures.source = AnswerFigures::Source::Web;
      r.figures.offsetSeconds =
          (fetch.time - time::fromSystemTime(services_.clock.localTime())) * 86400.0;
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
    sntp_->Host = host;
    try {
      r.time = sntp_->DateTime();
    } catch (const Error&) {
      r.kind = Kind::ServerError;
      return r;
    }
    const time::SntpReply& reply = sntp_->LastReply();
    r.receivedAtUs = reply.receivedAtUs;
    r.kissCode = reply.kissCode;
    r.figures.offsetSeconds = reply.figures.offsetSeconds;
    r.figures.delaySeconds = reply.figures.delaySeconds;
    r.figures.stratum = reply.stratum;
    r.figures.server = reply.server.text();
    r.figures.reliable = reply.reliable;
    // Also the 0 of a query that got no acceptable reply.
    r.kind = time::YearAcceptable(r.time) ? Kind::Time : Kind::InvalidTime;
    if (r.kind == Kind::Time) r.utcUs = reply.answerUtcUs;
    refuseBeforeFloor(r);
  } catch (...) {
    r.unexpected = std::current_exception();
  }
  return r;
}

// On the UI thread, which waits: the disabled button is drawn first.
QueryResult TimeCommands::queryHere() {
  view_.setFetchEnabled(false);
  view_.letMessagesRun();
  return query(view_.serverHost(), view_.daylightTicked());
}

// What the answer means for the window: shown, or a box, or passed on.
FetchOutcome TimeCommands::settle(const QueryResult& r, Starter starter, bool countSuccess) {
  using Kind = QueryResult::Kind;
  if (time::sntp::kissMeansStop(r.kissCode)) backoff_.kissed(r.host);
  if (r.unexpected) {
    view_.setFetchEnabled(true);
    std::rethrow_exception(r.unexpected);
  }
  FetchOutcome outcome = FetchOutcome::Failed;
  switch (r.kind) {
    case Kind::Time:
      serverTime_ = r.time;
      serverTimeValid_ = true;
      view_.showServerTime(r.time, r.figures);
      if (countSuccess) backoff_.succeeded(r.host);
      outcome = FetchOutcome::Success;
      break;
    case Kind::ServerError:
      view_.errorBox(L"Server Error!");
      break;
    case Kind::InvalidTime:
      view_.errorBox(L"Invalid Server Time!");
      break;
    case Kind::Empty:
      break;
    case Kind::MakerFailure:
      outcome = FetchOutcome::PassedOn;
      break;
  }
  view_.setFetchEnabled(true);
  // Shown while this command still holds the slot, so no other command's
  // box comes on top of it.
  if (outcome == FetchOutcome::PassedOn && starter != Starter::StartupPress)
    view_.reportFailure(r.failure);
  return outcome;
}

// The answer plus the time that passed since it arrived: a UI thread that
// was busy meanwhile, or a person who thought before saying yes, does not
// age the clock it writes.
time::TDateTime TimeCommands::answerNow(const QueryResult& r) {
  const std::int64_t elapsedUs =
      std::max<std::int64_t>(0, services_.clock.steadyMicroseconds() - r.receivedAtUs);
  return time::addMilliseconds(r.time, (elapsedUs + 500) / 1000);
}

void TimeCommands::write(const QueryResult& r) {
  withheldTold_ = false;
  if (r.utcUs) {
    // In UTC, so a daylight-saving change between the answer and the write,
    // or brought by the write itself, cannot shift it.
    const std::int64_t elapsedUs =
        std::max<std::int64_t>(0, services_.clock.steadyMicroseconds() - r.receivedAtUs);
    const std::int64_t us = *r.utcUs + elapsedUs;
    const std::int64_t ms = us / 1000 + (us % 1000 >= 500 ? 1 : 0);
    platform::SystemTime record = time::toSystemTime(time::fromUnixMilliseconds(ms));
    record.dayOfWeek = 0;
    services_.clock.setSystemTime(record);
    return;
  }
  // The maker's endpoint answers local time in whole seconds.
  platform::SystemTime record = time::toSystemTime(answerNow(r));
  record.dayOfWeek = 0;
  services_.clock.setLocalTime(record);
}

FetchOutcome TimeCommands::settleAndWrite(const QueryResult& r, Starter starter) {
  double stepSeconds = 0;
  bool withheld = false;
  if (r.kind == QueryResult::Kind::Time) {
    const time::TDateTime computerNow = time::fromSystemTime(services_.clock.localTime());
    stepSeconds = (answerNow(r) - computerNow) * 86400.0;
    const time::TDateTime floor =
        time::FloorInLocalTime(services_.buildDate, services_.clock.timeZone());
    withheld =
        starter != Starter::Person && !time::UnattendedStepAllowed(stepSeconds, computerNow, floor);
  }
  // A withheld step is no success for the back-off: the next turn waits.
  const FetchOutcome outcome = settle(r, starter, !withheld);
  if (outcome != FetchOutcome::Success) return outcome;
  if (withheld) {
    if (!withheldTold_) {
      withheldTold_ = true;
      view_.stepWithheldBox(r.time, stepSeconds);
    }
    return FetchOutcome::Withheld;
  }
  if (starter == Starter::Person && time::StepNeedsAPerson(stepSeconds) &&
      !view_.confirmStep(r.time, stepSeconds))
    return FetchOutcome::Declined;
  write(r);
  return FetchOutcome::Success;
}

FetchOutcome TimeCommands::getServerTime(Starter starter) {
  if (busy_) return FetchOutcome::Skipped;
  const Claim claim(*this);
  return settle(queryHere(), starter);
}

FetchOutcome TimeCommands::syncComputerTime(Starter starter) {
  if (busy_ || !view_.serverTimeShown()) return FetchOutcome::Skipped;
  const Claim claim(*this);
  view_.stopDisplayTick();
  FetchOutcome outcome = FetchOutcome::Failed;
  try {
    // Only a fresh answer reaches the clock: the estimate of a failed fetch
    // lags by that fetch's wait.
    outcome = settleAndWrite(queryHere(), starter);
  } catch (...) {
    view_.runDisplayTick();
    throw;
  }
  view_.runDisplayTick();
  return outcome;
}

void TimeCommands::hotkeyAction() {
  if (getServerTime() == FetchOutcome::PassedOn) return;
  view_.letMessagesRun();
  syncComputerTime();
}

void TimeCommands::automaticTurn() {
  const std::wstring host = view_.serverHost();
  if (busy_ || !backoff_.allows(services_.clock.steadyMicroseconds(), host)) return;
  const FetchOutcome outcome = syncComputerTime(Starter::AutomaticCheck);
  if (outcome == FetchOutcome::Failed || outcome == FetchOutcome::PassedOn ||
      outcome == FetchOutcome::Withheld)
    backoff_.failed(services_.clock.steadyMicroseconds(), host);
}

void TimeCommands::launchPressQuery(void (TimeCommands::*next)(const QueryResult&)) {
  view_.setFetchEnabled(false);
  clicker_.start([this, host = view_.serverHost(),
                  daylight = view_.daylightTicked()] { return query(host, daylight); },
                 [this, next](const QueryResult& r) { (this->*next)(r); });
}

// The press holds the slot from its first query to its last result; this
// ends it when its last step leaves, whichever way it leaves.
class TimeCommands::PressEnd {
 public:
  explicit PressEnd(TimeCommands& owner) : owner_(owner) {}
  ~PressEnd() {
    if (!handedOn_) {
      owner_.busy_ = false;
      owner_.pressDone_ = true;
    }
  }
  PressEnd(const PressEnd&) = delete;
  PressEnd& operator=(const PressEnd&) = delete;
  void handOn() { handedOn_ = true; }

 private:
  TimeCommands& owner_;
  bool handedOn_ = false;
};

bool TimeCommands::startupPress() {
  if (busy_) return false;
  busy_ = true;
  PressEnd end(*this);
  launchPressQuery(&TimeCommands::pressFetched);
  end.handOn();
  return true;
}

void TimeCommands::pressFetched(const QueryResult& r) {
  PressEnd end(*this);
  settle(r, Starter::StartupPress);
  if (!view_.automaticTicked() || !view_.serverTimeShown()) return;
  view_.stopDisplayTick();
  try {
    launchPressQuery(&TimeCommands::pressSynced);
  } catch (...) {
    view_.runDisplayTick();
    throw;
  }
  end.handOn();
}

void TimeCommands::pressSynced(const QueryResult& r) {
  PressEnd end(*this);
  FetchOutcome outcome = FetchOutcome::Failed;
  try {
    outcome = settleAndWrite(r, Starter::StartupPress);
  } catch (...) {
    view_.runDisplayTick();
    throw;
  }
  // A synchronisation the ticked box started, like an automatic turn.
  if (outcome != FetchOutcome::Success)
    backoff_.failed(services_.clock.steadyMicroseconds(), r.host);
  view_.runDisplayTick();
}

}  // namespace hv::app
