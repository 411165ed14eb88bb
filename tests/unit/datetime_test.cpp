#include "time/datetime.h"

#include <gtest/gtest.h>

namespace hv::time {
namespace {

TEST(DateTime, EpochsAndKnownDays) {
  EXPECT_DOUBLE_EQ(EncodeDateTime(1899, 12, 30, 0, 0, 0, 0), 0.0);
  EXPECT_DOUBLE_EQ(EncodeDateTime(1900, 1, 1, 0, 0, 0, 0), 2.0);
  EXPECT_DOUBLE_EQ(EncodeDateTime(2000, 1, 1, 12, 0, 0, 0), 36526.5);
  EXPECT_EQ(YearOf(0.0), 1899);
  EXPECT_EQ(YearOf(EncodeDateTime(2000, 12, 31, 23, 59, 59, 999)), 2000);
  EXPECT_EQ(YearOf(EncodeDateTime(2001, 1, 1, 0, 0, 0, 0)), 2001);
}

TEST(DateTime, RoundTripsThroughClockRecordToTheMillisecond) {
  const platform::SystemTime cases[] = {
      {2021, 9, 4, 2, 14, 0, 0, 499},
      {2036, 2, 4, 7, 6, 28, 16, 999},
      {1990, 1, 1, 1, 0, 0, 0, 0},
      {2024, 2, 4, 29, 23, 59, 59, 1},
  };
  for (const auto& c : cases) {
    const auto back = ToSystemTime(FromSystemTime(c));
    EXPECT_EQ(back, c) << c.year << "-" << c.month << "-" << c.day;
  }
}

TEST(DateTime, AlmostMidnightCarriesIntoTheNextDay) {
  const TDateTime t = EncodeDateTime(2021, 12, 31, 0, 0, 0, 0) - 1e-10;
  const auto s = ToSystemTime(t);
  EXPECT_EQ(s.day, 31);
  EXPECT_EQ(s.hour, 0);
  EXPECT_EQ(ToSystemTime(EncodeDateTime(2021, 12, 31, 23, 59, 59, 999) + 0.4 / kMsPerDay).second,
            59);
}

TEST(DateTime, DisplayFormatUsesRegionalSeparators) {
  const TDateTime t = EncodeDateTime(2021, 12, 24, 18, 5, 9, 700);
  EXPECT_EQ(FormatDisplay(t, L"/", L":"), L"24/12/2021 18:05:09");
  EXPECT_EQ(FormatDisplay(t, L".", L":"), L"24.12.2021 18:05:09");
  EXPECT_EQ(FormatDisplay(EncodeDateTime(1990, 1, 1, 0, 0, 0, 0), L"/", L":"),
            L"01/01/1990 00:00:00");
}

TEST(DateTime, AddingMillisecondsStepsExactly) {
  TDateTime t = EncodeDateTime(2021, 12, 31, 23, 59, 58, 250);
  t = AddMilliseconds(t, 1000);
  t = AddMilliseconds(t, 1000);
  const auto s = ToSystemTime(t);
  EXPECT_EQ(s.year, 2022);
  EXPECT_EQ(s.second, 0);
  EXPECT_EQ(s.milliseconds, 250);
}

}  // namespace
}  // namespace hv::time
