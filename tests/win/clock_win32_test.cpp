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

using test::msOf;

// UTC now in TDateTime milliseconds, from the C++ library's own clock.
std::int64_t utcNowMs() {
  using namespace std::chrono;
  const auto sinceEpoch =
      duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
  return msOf(time::encodeDateTime(1970, 1, 1, 0, 0, 0, 0)) + sinceEpoch;
}

TEST(Win32ClockAdapter, LocalTimeIsUtcLessTheBiasInForce) {
  Win32Clock clock;
  const TimeZoneInfo zone = clock.timeZone();
  ASSERT_NE(zone.id, TimeZoneId::Invalid);
  if (const char* expected = std::getenv("HORVANE_EXPECT_BIAS")) {
    EXPECT_EQ(time::sntp::utcBiasMinutes(zone), std::atoi(expected));
  }
  const std::int64_t bias = time::sntp::utcBiasMinutes(zone);
  const std::int64_t local = msOf(time::fromSystemTime(clock.localTime()));
  EXPECT_LT(std::llabs(local - (utcNowMs() - bias * 60000)), 1000) << "bias " << bias << " minutes";
}

TEST(Win32ClockAdapter, RecordLinesCarryTheMilliseconds) {
  EXPECT_EQ(Win32Clock::recordLine({2021, 12, 5, 24, 18, 5, 9, 750}), "2021-12-24 18:05:09.750");
  EXPECT_EQ(Win32Clock::recordLine({1999, 1, 5, 2, 3, 4, 5, 6}), "1999-01-02 03:04:05.006");
  // 100 ns ticks since 1601 of 2021-12-24 17:05:09.750123 UTC.
  EXPECT_EQ(Win32Clock::recordStamp(132848391097501230ULL), "2021-12-24T17:05:09.750123Z");
}

}  // namespace
}  // namespace hv::platform::win32
