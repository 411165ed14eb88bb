#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "base/error.h"
#include "ui/tray_clicks.h"
#include "ui/work_queue.h"

namespace hv::ui {
namespace {

// What the window system does with a posted item: catch and report.
struct Reporter {
  std::vector<std::string> failures;
  std::function<void(const std::function<void()>&)> dispatch() {
    return [this](const std::function<void()>& work) {
      try {
        work();
      } catch (const std::exception& e) {
        failures.emplace_back(e.what());
      }
    };
  }
};

TEST(UiBackendWorkQueue, PostedWorkRunsInOrderWhenTheUiThreadGetsToIt) {
  int wakes = 0;
  WorkQueue q([&] { ++wakes; });
  std::vector<int> ran;
  q.post([&] { ran.push_back(1); });
  q.post([&] { throw std::runtime_error("second"); });
  q.post([&] { ran.push_back(3); });
  EXPECT_EQ(wakes, 3);
  EXPECT_TRUE(ran.empty());
  Reporter r;
  EXPECT_EQ(q.runPending(r.dispatch()), 3u);
  EXPECT_EQ(ran, (std::vector<int>{1, 3}));
  EXPECT_EQ(r.failures, (std::vector<std::string>{"second"}));
  EXPECT_EQ(q.runPending(r.dispatch()), 0u);
}

TEST(UiBackendWorkQueue, WorkQueuedWhileRunningWaitsForTheNextWakeUp) {
  WorkQueue q([] {});
  std::vector<int> ran;
  q.post([&] {
    ran.push_back(1);
    q.post([&] { ran.push_back(2); });
  });
  Reporter r;
  EXPECT_EQ(q.runPending(r.dispatch()), 1u);
  EXPECT_EQ(ran, (std::vector<int>{1}));
  EXPECT_EQ(q.runPending(r.dispatch()), 1u);
  EXPECT_EQ(ran, (std::vector<int>{1, 2}));
}

TEST(UiBackendWorkQueue, NestedRunsTakeTheNextItemInsteadOfRepeatingOne) {
  WorkQueue q([] {});
  std::vector<int> ran;
  Reporter r;
  // The first item lets messages run, which drains the queue from inside.
  q.post([&] {
    ran.push_back(1);
    q.runPending(r.dispatch());
  });
  q.post([&] { ran.push_back(2); });
  q.post([&] { ran.push_back(3); });
  q.runPending(r.dispatch());
  EXPECT_EQ(ran, (std::vector<int>{1, 2, 3}));
}

TEST(UiBackendWorkQueue, InvokeBlocksUntilTheUiThreadRanItAndPassesFailuresBack) {
  std::atomic<int> wakes{0};
  WorkQueue q([&] { ++wakes; });
  std::atomic<bool> returned{false};
  std::thread::id ranOn;
  std::string caught;
  std::thread worker([&] {
    q.invoke([&] { ranOn = std::this_thread::get_id(); });
    try {
      q.invoke([] { throw std::runtime_error("refused"); });
    } catch (const std::runtime_error& e) {
      caught = e.what();
    }
    returned = true;
  });
  Reporter r;
  // The UI thread: run what comes until the worker is through.
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!returned && std::chrono::steady_clock::now() < until) {
    q.runPending(r.dispatch());
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  worker.join();
  EXPECT_EQ(ranOn, std::this_thread::get_id());
  EXPECT_EQ(caught, "refused");
  // An invoked failure goes back to its caller, not to the error report.
  EXPECT_TRUE(r.failures.empty());
  EXPECT_EQ(wakes.load(), 2);
}

TEST(UiBackendWorkQueue, ClosingFailsWaitingInvokesAndRefusesNewWork) {
  std::atomic<bool> queued{false};
  WorkQueue q([&] { queued = true; });
  bool ran = false;
  std::wstring message;
  std::thread worker([&] {
    try {
      q.invoke([&] { ran = true; });
    } catch (const Error& e) {
      message = e.message();
    }
  });
  while (!queued) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  // The UI thread goes away without running it.
  q.close();
  worker.join();
  EXPECT_FALSE(ran);
  EXPECT_FALSE(message.empty());

  q.post([&] { ran = true; });
  EXPECT_THROW(q.invoke([&] { ran = true; }), Error);
  Reporter r;
  EXPECT_EQ(q.runPending(r.dispatch()), 0u);
  EXPECT_FALSE(ran);
}

TEST(UiBackendTrayClicks, AClickIsAPressAndAReleaseOnTheIcon) {
  struct Case {
    std::vector<TrayMouse> events;
    std::vector<TrayAction> expected;
  };
  using M = TrayMouse;
  using A = TrayAction;
  const Case cases[] = {
      {{M::LeftDown, M::LeftUp}, {A::None, A::Click}},
      // Pressed elsewhere, released on the icon.
      {{M::LeftUp}, {A::None}},
      {{M::LeftDown, M::LeftUp, M::LeftDouble, M::LeftUp}, {A::None, A::Click, A::None, A::Click}},
      {{M::RightDown, M::RightUp}, {A::None, A::Menu}},
      // A right press in between cancels the left one.
      {{M::LeftDown, M::RightDown, M::LeftUp}, {A::None, A::None, A::None}},
      {{M::LeftDown, M::Other, M::LeftUp}, {A::None, A::None, A::Click}},
  };
  for (const auto& c : cases) {
    TrayClickTracker t;
    std::vector<TrayAction> got;
    for (auto e : c.events) got.push_back(t.feed(e));
    EXPECT_EQ(got, c.expected) << c.events.size();
  }
  TrayClickTracker t;
  t.feed(TrayMouse::LeftDown);
  t.reset();
  EXPECT_EQ(t.feed(TrayMouse::LeftUp), TrayAction::None);
}

}  // namespace
}  // namespace hv::ui
