// The clock and time-zone adapter under Wine, read against the C++ clock.
// The runner picks a zone east of UTC by a half hour, so a sign or minutes
// fault in the bias shows.
#include "platform/win32/clock_win32.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>

#include "support/datetime_ms.h"
#include "time/datetime.h"
#include "time/sntp_timestamp.h"

namespace hv::platform::win32 {
namespace {

using test::MsOf;

// UTC now in TDateTime milliseconds, from the C++ library's own clock.
std::int64_t UtcNowMs() {
  using namespace std::chrono;
  const auto sinceEpoch =
      duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
  return MsOf(time::EncodeDateTime(1970, 1, 1, 0, 0, 0, 0)) + sinceEpoch;
}

TEST(Win32ClockAdapter, LocalTimeIsUtcLessTheBiasInForce) {
  Win32Clock clock;
  const TimeZoneInfo zone = clock.timeZone();
  ASSERT_NE(zone.id, TimeZoneId::Invalid);
  if (const char* expected = std::getenv("HORVANE_EXPECT_BIAS")) {
    EXPECT_EQ(time::sntp::UtcBiasMinutes(zone), std::atoi(expected));
  }
  const std::int64_t bias = time::sntp::UtcBiasMinutes(zone);
  const std::int64_t local = MsOf(time::FromSystemTime(clock.localTime()));
  EXPECT_LT(std::llabs(local - (UtcNowMs() - bias * 60000)), 1000) << "bias " << bias << " minutes";
}

// The precise clock: UTC as the C++ clock has it, and finer than the
// millisecond that GetLocalTime gives.
TEST(Win32ClockAdapter, PreciseUtcFollowsTheSystemClockBelowTheMillisecond) {
  Win32Clock clock;
  using namespace std::chrono;
  const std::int64_t cpp =
      duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
  EXPECT_LT(std::llabs(clock.utcMicroseconds() - cpp), 100000);
  bool belowMs = false;
  for (int i = 0; i < 50 && !belowMs; ++i) belowMs = clock.utcMicroseconds() % 1000 != 0;
  EXPECT_TRUE(belowMs) << "only whole milliseconds";
}

}  // namespace
}  // namespace hv::platform::win32
