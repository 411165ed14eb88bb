// The time commands through a fake view: what each answer shows, asks and
// writes, in which order the window hears of it, and that the start-up
// press's answers, queried on its thread, take the same way as a click's.
#include "app/time_commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/posix/random_posix.h"
#include "platform/posix/tcp_posix.h"
#include "support/fake_clock.h"
#include "support/fake_http.h"
#include "support/nts_pki.h"
#include "support/scripted_network.h"
#include "time/sntp.h"
#include "time/sntp_timestamp.h"
#include "ui/headless.h"

namespace hv::app {
namespace {

using Box = TimeState::Box;

constexpr std::int64_t kDayMs = 24 * 3600 * 1000;

class FakeView : public TimeView {
 public:
  TimeRequest request{L"time.test", false, true, false};
  bool yes = false;
  std::vector<std::string> calls;
  std::vector<TimeState> states;

  TimeRequest timeRequest() override {
    calls.push_back("request");
    return request;
  }
  void fetchStarted(bool sync, bool waitsHere) override {
    calls.push_back(std::string("fetch") + (sync ? " sync" : "") + (waitsHere ? " here" : ""));
  }
  bool renderTime(const TimeState& s) override {
    calls.push_back("render");
    states.push_back(s);
    if (s.fresh) request.serverTimeShown = true;
    return yes;
  }
  void syncEnded() override { calls.push_back("end"); }
};

struct Rig {
  explicit Rig(std::int64_t aheadMs) {
    clock.set(time::EncodeDateTime(2021, 9, 2, 12, 0, 0, 0));
    network.names[L"time.test"] = {platform::kLoopback};
    server = network.serve(
        platform::kLoopback, 123, [this, aheadMs](const std::vector<test::PeerRequest>& r) {
          const auto ts = time::sntp::UtcToNtp(clock.utcMicroseconds() + aheadMs * 1000);
          return std::vector<test::PeerDatagram>{
              {test::CraftReply(r.back(), {.seconds = ts.seconds, .fraction = ts.fraction})}};
        });
    commands.client().ReceiveTimeout = 300;
  }
  ui::HeadlessWindowSystem windows;
  test::FakeClock clock;
  test::ScriptedNetwork network{clock};
  platform::PosixTcpNetwork tcp;
  test::FixedRoots roots;
  test::FakeHttp http;
  platform::PosixRandom random;
  FakeView view;
  std::shared_ptr<test::ScriptedPeer> server;
  TimeCommands commands{{windows, clock, network, tcp, roots, http, random, L"maker.test",
                         time::EncodeDateTime(2001, 1, 1, 0, 0, 0, 0)},
                        view};
};

TEST(TimeCommandsTable, WhatEachAnswerShowsAsksAndWrites) {
  struct Case {
    const char* what;
    Starter starter;
    bool sync;
    const wchar_t* host;
    std::int64_t aheadMs;
    bool yes;  // to the step's question
    FetchOutcome outcome;
    Box box;
    bool written;
    std::vector<std::string> calls;
  };
  const std::vector<std::string> fetch = {"fetch here", "render"};
  const std::vector<std::string> sync = {"fetch sync here", "render", "end"};
  using O = FetchOutcome;
  const Case cases[] = {
      {"fetch", Starter::Person, false, L"time.test", 5000, false, O::Success, Box::None, false,
       fetch},
      {"fetch, no such name", Starter::Person, false, L"nowhere.test", 0, false, O::Failed,
       Box::ServerError, false, fetch},
      {"sync, silent", Starter::Person, true, L"192.0.2.1", 0, false, O::Failed, Box::InvalidTime,
       false, sync},
      {"sync", Starter::Person, true, L"time.test", 5000, false, O::Success, Box::None, true, sync},
      {"sync, 20 days, no", Starter::Person, true, L"time.test", 20 * kDayMs, false, O::Declined,
       Box::StepQuestion, false, sync},
      {"sync, 20 days, yes", Starter::Person, true, L"time.test", -20 * kDayMs, true, O::Success,
       Box::StepQuestion, true, sync},
      {"check, 20 days", Starter::AutomaticCheck, true, L"time.test", 20 * kDayMs, true,
       O::Withheld, Box::StepWithheld, false, sync},
      {"check, the maker fails", Starter::AutomaticCheck, true, L"maker.test", 0, false,
       O::PassedOn, Box::Failure, false, sync},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Rig rig(c.aheadMs);
    rig.view.yes = c.yes;
    TimeRequest request = rig.view.request;
    request.host = c.host;
    const FetchOutcome outcome = c.sync ? rig.commands.syncComputerTime(request, c.starter)
                                        : rig.commands.getServerTime(request, c.starter);
    EXPECT_EQ(outcome, c.outcome);
    EXPECT_EQ(rig.view.calls, c.calls);
    ASSERT_EQ(rig.view.states.size(), 1u);
    const TimeState& s = rig.view.states[0];
    EXPECT_EQ(s.box, c.box);
    EXPECT_EQ(s.fresh,
              c.box != Box::ServerError && c.box != Box::InvalidTime && c.box != Box::Failure);
    EXPECT_EQ(rig.commands.ServerTimeValid(), s.fresh);
    EXPECT_EQ(rig.clock.setCalls.size(), c.written ? 1u : 0u);
    if (c.box == Box::Failure) {
      EXPECT_TRUE(s.failure);
    }
  }

  // A synchronisation with nothing shown yet does nothing, not even a query.
  Rig rig(0);
  rig.view.request.serverTimeShown = false;
  EXPECT_EQ(rig.commands.syncComputerTime(rig.view.request), FetchOutcome::Skipped);
  EXPECT_TRUE(rig.view.calls.empty());
  EXPECT_TRUE(rig.server->requests().empty());
}

TEST(TimeCommandsTable, TheStartupPressTakesTheSameWayOnItsThread) {
  struct Case {
    const char* what;
    bool automatic;
    const wchar_t* host;
    std::vector<std::string> calls;
    std::size_t written;
  };
  const Case cases[] = {
      {"fetch only", false, L"time.test", {"fetch", "render", "request"}, 0},
      {"fetch, then sync",
       true,
       L"time.test",
       {"fetch", "render", "request", "fetch sync", "render", "end"},
       1},
      // Its failure is dropped, and without a time there is nothing to sync.
      {"the maker fails", true, L"maker.test", {"fetch", "render", "request"}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Rig rig(3000);
    rig.view.request = {c.host, false, false, c.automatic};
    ASSERT_TRUE(rig.commands.startupPress(rig.view.request));
    EXPECT_FALSE(rig.commands.startupPress(rig.view.request)) << "one press at a time";
    EXPECT_EQ(rig.commands.getServerTime(rig.view.request), FetchOutcome::Skipped);
    for (int i = 0; i < 500 && !rig.commands.startupPressDone(); ++i) rig.windows.drain(10);
    ASSERT_TRUE(rig.commands.startupPressDone());
    EXPECT_EQ(rig.view.calls, c.calls);
    for (const TimeState& s : rig.view.states) EXPECT_EQ(s.box, Box::None);
    EXPECT_EQ(rig.clock.setCalls.size(), c.written);
    EXPECT_NE(rig.commands.getServerTime(rig.view.request), FetchOutcome::Skipped)
        << "the press let go of the slot";
  }
}

}  // namespace
}  // namespace hv::app
