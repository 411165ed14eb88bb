// The journeys' clock: it reads the clock it wraps, and what it is asked to
// write lands in its record, one line a write, never on the clock.
#include "platform/win32/recording_clock.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/fake_clock.h"
#include "temp_folder.h"

namespace hv::platform::win32 {
namespace {

TEST(Win32ClockRecording, RecordLinesCarryTheValueAndTheClockAtTheWrite) {
  // 24 December 2021 18:05:09.748312 UTC.
  constexpr std::int64_t at = 1640369109748312;
  EXPECT_EQ(RecordingClock::recordLine({2021, 12, 5, 24, 18, 5, 9, 750}, true, at),
            "2021-12-24 18:05:09.750 UTC at 2021-12-24 18:05:09.748312 UTC");
  EXPECT_EQ(RecordingClock::recordLine({1999, 1, 5, 2, 3, 4, 5, 6}, false, at),
            "1999-01-02 03:04:05.006 at 2021-12-24 18:05:09.748312 UTC");
}

TEST(Win32ClockRecording, ReadsTheWrappedClockAndRecordsWritesInsteadOfMakingThem) {
  test::FakeClock real;
  real.setBias(-60);
  real.setUtcMicroseconds(1640369109748312);
  test::TempFolder folder;
  const std::wstring log = folder / L"clock-writes.log";
  RecordingClock clock(real, log);

  EXPECT_EQ(clock.utcMicroseconds(), real.utcMicroseconds());
  EXPECT_EQ(clock.localTime(), real.localTime());
  EXPECT_EQ(clock.timeZone().bias, -60);
  EXPECT_EQ(clock.steadyMicroseconds(), real.steadyMicroseconds());

  EXPECT_TRUE(clock.setSystemTime({2021, 12, 5, 24, 18, 5, 9, 750}));
  real.advance(2);
  EXPECT_TRUE(clock.setLocalTime({1999, 1, 5, 2, 3, 4, 5, 6}));
  EXPECT_TRUE(real.setCalls.empty());
  EXPECT_EQ(real.utcMicroseconds(), 1640369109750312);

  std::ifstream in(std::filesystem::path(log), std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(),
            "2021-12-24 18:05:09.750 UTC at 2021-12-24 18:05:09.748312 UTC\r\n"
            "1999-01-02 03:04:05.006 at 2021-12-24 18:05:09.750312 UTC\r\n");
}

}  // namespace
}  // namespace hv::platform::win32
