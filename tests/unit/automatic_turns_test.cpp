// The back-off of the automatic check, and the start-up press's thread.
#include <gtest/gtest.h>

#include <future>
#include <thread>

#include "app/automatic_backoff.h"
#include "app/clicker.h"
#include "ui/headless.h"

namespace hv::app {
namespace {

constexpr std::int64_t kS = 1'000'000;

TEST(AutomaticBackoff, EachFailureDoublesTheWaitUpToAQuarterHour) {
  AutomaticBackoff b;
  std::int64_t now = 0;
  for (const std::int64_t wait : {20, 40, 80, 160, 320, 640, 900, 900}) {
    ASSERT_TRUE(b.allows(now, L"a"));
    b.failed(now, L"a");
    EXPECT_FALSE(b.allows(now + wait * kS - 1, L"a")) << wait;
    EXPECT_TRUE(b.allows(now, L"b")) << "another server is not held back";
    now += wait * kS;
  }
}

TEST(AutomaticBackoff, WhatStartsAfresh) {
  struct Case {
    const char* what;
    void (*after)(AutomaticBackoff&);  // a failure or a kiss of "a" at 0, then this
    bool kissed;
    bool allowsAtOnce;
    std::int64_t nextWaitS;  // after one more failure of "a" at 0; 0: none allowed
  };
  const Case cases[] = {
      {"a failure", [](AutomaticBackoff& b) { b.failed(20 * kS, L"a"); }, false, false, 0},
      {"a success", [](AutomaticBackoff& b) { b.succeeded(L"a"); }, false, true, 20},
      {"another server's failure", [](AutomaticBackoff& b) { b.failed(0, L"b"); }, false, true, 20},
      {"the box ticked again", [](AutomaticBackoff& b) { b.reset(); }, false, true, 20},
      {"a kiss, then a success", [](AutomaticBackoff& b) { b.succeeded(L"a"); }, true, false, 0},
      {"a kiss, then another server", [](AutomaticBackoff& b) { b.succeeded(L"b"); }, true, true,
       20},
      {"a kiss, then the box", [](AutomaticBackoff& b) { b.reset(); }, true, true, 20},
  };
  for (const Case& c : cases) {
    AutomaticBackoff b;
    if (c.kissed)
      b.kissed(L"a");
    else
      b.failed(0, L"a");
    c.after(b);
    EXPECT_EQ(b.allows(0, L"a"), c.allowsAtOnce) << c.what;
    if (!c.allowsAtOnce) {
      EXPECT_EQ(b.allows(3600 * kS, L"a"), !c.kissed) << c.what << ": an hour on";
    }
    if (c.nextWaitS == 0) continue;
    b.failed(0, L"a");
    EXPECT_FALSE(b.allows(c.nextWaitS * kS - 1, L"a")) << c.what;
    EXPECT_TRUE(b.allows(c.nextWaitS * kS, L"a")) << c.what;
  }
}

// The result reaches the UI thread through its queue, and only while the
// owner lives; the work runs elsewhere.
TEST(Clicker, HandsTheResultToTheUiThreadOnlyWhileItsOwnerLives) {
  for (const bool ownerGoneFirst : {false, true}) {
    ui::HeadlessWindowSystem windows;
    std::promise<std::thread::id> worked;
    std::thread::id doneOn;
    int got = 0;
    auto clicker = std::make_unique<TClicker<int>>(windows);
    clicker->start(
        [&] {
          worked.set_value(std::this_thread::get_id());
          return 7;
        },
        [&](const int& r) {
          got = r;
          doneOn = std::this_thread::get_id();
        });
    const std::thread::id workedOn = worked.get_future().get();
    // Going waits for the thread, so its result is queued by then.
    if (ownerGoneFirst) clicker.reset();
    for (int i = 0; i < 1000 && windows.pendingWork() == 0; ++i) std::this_thread::yield();
    EXPECT_EQ(windows.pendingWork(), 1u) << ownerGoneFirst;
    windows.drain(0);
    EXPECT_NE(workedOn, std::this_thread::get_id()) << ownerGoneFirst;
    EXPECT_EQ(got, ownerGoneFirst ? 0 : 7) << ownerGoneFirst;
    if (!ownerGoneFirst) {
      EXPECT_EQ(doneOn, std::this_thread::get_id());
    }
  }
}

}  // namespace
}  // namespace hv::app
