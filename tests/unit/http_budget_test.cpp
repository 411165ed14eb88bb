// One allowance per HTTP exchange: a single deadline and a limit on the body,
// and the wait that gives the caller back at that deadline whatever the
// platform call is still waiting for.
#include "platform/http_budget.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <optional>

#include "platform/call_within.h"

namespace hv::platform {
namespace {

constexpr std::int64_t kStartUs = 5'000'000'000;

TEST(ExchangeBudget, EveryStepGetsWhatIsLeftOfOneDeadline) {
  const struct {
    std::uint32_t timeoutMs;
    std::int64_t elapsedUs;
    std::optional<std::uint32_t> leftMs;  // nullopt: timed out
  } cases[] = {
      {3000, 0, 3000},
      {3000, 1'200'000, 1800},
      // Rounded up, so a step never gets 0, which means "wait for ever".
      {3000, 2'999'999, 1},
      {10000, 2'500, 9998},
      {3000, 3'000'000, std::nullopt},
      {3000, 12'000'000, std::nullopt},
      {0, 0, std::nullopt},
  };
  for (const auto& c : cases) {
    const ExchangeBudget budget(kStartUs, c.timeoutMs);
    if (c.leftMs) {
      EXPECT_EQ(budget.remainingMs(kStartUs + c.elapsedUs), *c.leftMs) << c.elapsedUs;
    } else {
      try {
        budget.remainingMs(kStartUs + c.elapsedUs);
        ADD_FAILURE() << "no time-out after " << c.elapsedUs << " us of " << c.timeoutMs << " ms";
      } catch (const Error& e) {
        EXPECT_EQ(e.message(), L"The operation timed out: the exchange did not end within " +
                                   std::to_wstring(c.timeoutMs) + L" ms");
      }
    }
  }
}

TEST(ExchangeBudget, TheBodyMayReachTheLimitButNotPassIt) {
  const ExchangeBudget budget(kStartUs, 3000);
  const struct {
    std::size_t have;
    std::size_t room;
    bool tooLong;
  } cases[] = {
      {0, kMaxAnswerBytes + 1, false}, {kMaxAnswerBytes - 10, 11, false},
      {kMaxAnswerBytes, 1, false},     {kMaxAnswerBytes + 1, 0, true},
      {kMaxAnswerBytes * 4, 0, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(budget.room(c.have), c.room) << c.have;
    if (c.tooLong) {
      EXPECT_THROW(budget.checkSize(c.have), Error) << c.have;
    } else {
      EXPECT_NO_THROW(budget.checkSize(c.have)) << c.have;
    }
  }
  EXPECT_EQ(budget.TooLong().message(), L"The answer is longer than 65536 bytes");
}

using Clock = std::chrono::steady_clock;

TEST(CallWithin, ACallThatEndsInTimeGivesItsResultOrItsFailure) {
  const auto later = Clock::now() + std::chrono::seconds(30);
  EXPECT_EQ(CallWithin<int>(
                later, [] { return 7; }, Error(L"late")),
            7);
  try {
    CallWithin<int>(
        later, []() -> int { throw Error(L"refused"); }, Error(L"late"));
    FAIL() << "the failure was lost";
  } catch (const Error& e) {
    EXPECT_EQ(e.message(), L"refused");
  }
}

// The call is still blocked when the caller gives up on it; it ends later,
// on its own, with nothing of the caller's left to touch.
TEST(CallWithin, TheCallerGoesAtTheDeadlineAndTheCallEndsLater) {
  std::promise<void> release;
  std::promise<void> ended;
  auto released = release.get_future().share();
  const auto start = Clock::now();
  try {
    CallWithin<std::string>(
        start,
        [released, &ended] {
          released.wait();
          ended.set_value();
          return std::string(1000, 'x');
        },
        Error(L"late"));
    FAIL() << "the blocked call's result came back";
  } catch (const Error& e) {
    EXPECT_EQ(e.message(), L"late");
  }
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
  release.set_value();
  EXPECT_EQ(ended.get_future().wait_for(std::chrono::seconds(10)), std::future_status::ready);
}

}  // namespace
}  // namespace hv::platform
