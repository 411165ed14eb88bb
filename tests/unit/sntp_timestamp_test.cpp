#include "time/sntp_timestamp.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/error.h"
#include "time/sntp_host.h"

namespace hv::time::sntp {
namespace {

using platform::Ipv4Address;
using platform::TimeZoneId;
using platform::TimeZoneInfo;

std::int64_t msOf(TDateTime t) {
  return std::llround(t * kMsPerDay);
}

constexpr std::uint32_t k2021Sep2Noon = 3839572800u;  // 2 September 2021 12:00:00 UTC

TimeZoneInfo zone(TimeZoneId id, int bias, int standardBias, int standardMonth, int daylightBias,
                  int daylightMonth) {
  TimeZoneInfo z;
  z.id = id;
  z.bias = bias;
  z.standardBias = standardBias;
  z.standardDate.month = static_cast<std::uint16_t>(standardMonth);
  z.daylightBias = daylightBias;
  z.daylightDate.month = static_cast<std::uint16_t>(daylightMonth);
  return z;
}

TEST(SntpUtcBias, FollowsTheRulesInForce) {
  struct Case {
    TimeZoneInfo zone;
    int expected;
  };
  const Case cases[] = {
      {zone(TimeZoneId::Unknown, -120, 7, 10, -60, 3), -120},
      {zone(TimeZoneId::Standard, -60, -5, 10, -60, 3), -65},
      {zone(TimeZoneId::Standard, -60, -5, 0, -60, 3), -60},
      {zone(TimeZoneId::Daylight, 300, 0, 11, -60, 3), 240},
      {zone(TimeZoneId::Daylight, 300, 0, 11, -60, 0), 300},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(utcBiasMinutes(c.zone), c.expected) << "bias " << c.zone.bias;
  }
}

TEST(SntpUtcBias, UnreadableZoneIsAnError) {
  try {
    utcBiasMinutes(zone(TimeZoneId::Invalid, 0, 0, 0, 0, 0));
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.message(), L"Failed attempting to retrieve time zone information.");
  }
}

TEST(SntpTimestamp, DecodesToLocalTimeTruncatedToTheMillisecond) {
  struct Case {
    std::uint32_t seconds, fraction;
    int bias;
    TDateTime expected;
  };
  const Case cases[] = {
      {k2021Sep2Noon, 0x80000000u, -120, encodeDateTime(2021, 9, 2, 14, 0, 0, 499)},
      {k2021Sep2Noon, 0xFFFFFFFFu, 0, encodeDateTime(2021, 9, 2, 12, 0, 0, 999)},
      {k2021Sep2Noon, 0x00418937u, 0, encodeDateTime(2021, 9, 2, 12, 0, 0, 0)},
      {k2021Sep2Noon, 0, 330, encodeDateTime(2021, 9, 2, 6, 30, 0, 0)},
      {k2021Sep2Noon, 0, -345, encodeDateTime(2021, 9, 2, 17, 45, 0, 0)},
      // Past 2036 the seconds have wrapped: the early 1900s, which callers refuse.
      {100, 0, 0, encodeDateTime(1900, 1, 1, 0, 1, 40, 0)},
      {0xFFFFFFFFu, 0, 0, encodeDateTime(2036, 2, 7, 6, 28, 15, 0)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(msOf(ntpToLocal({c.seconds, c.fraction}, offsetDays(c.bias))), msOf(c.expected))
        << c.seconds << "/" << c.fraction << " bias " << c.bias;
  }
}

TEST(SntpTimestamp, EncodesLocalTimeWithTheWrapAfter2036) {
  struct Case {
    TDateTime local;
    int bias;
    std::uint32_t seconds;
    double fraction;  // of a second
  };
  const Case cases[] = {
      {encodeDateTime(2021, 9, 2, 14, 0, 0, 250), -120, k2021Sep2Noon, 0.25},
      {encodeDateTime(2021, 9, 2, 7, 0, 0, 0), 300, k2021Sep2Noon, 0.0},
      {encodeDateTime(2036, 2, 7, 6, 28, 15, 0), 0, 0xFFFFFFFFu, 0.0},
      // 2^32 s and a half: not yet past the wrap, and 2^32 itself does not fit.
      {encodeDateTime(2036, 2, 7, 6, 28, 16, 500), 0, 0, 0.5},
      // Past 2^32 + 1 s the seconds are reduced by 4294967297.
      {encodeDateTime(2036, 2, 7, 6, 28, 17, 500), 0, 0, 0.5},
      {encodeDateTime(2036, 2, 7, 6, 28, 20, 250), 0, 3, 0.25},
  };
  for (const auto& c : cases) {
    const NtpTimestamp ts = localToNtp(c.local, offsetDays(c.bias));
    EXPECT_EQ(ts.seconds, c.seconds) << msOf(c.local);
    EXPECT_NEAR(ts.fraction / kFractionScale, c.fraction, 1e-5) << msOf(c.local);
  }
}

TEST(SntpHost, OnlyLocalhostAndStrictDottedQuadsSkipTheLookup) {
  struct Case {
    const wchar_t* host;
    std::optional<Ipv4Address> address;
  };
  const Case cases[] = {
      {L"LOCALHOST", platform::kLoopback},
      {L"localhost", platform::kLoopback},
      {L"LocalHost", platform::kLoopback},
      {L"127.0.0.1", platform::kLoopback},
      {L"0.0.0.0", Ipv4Address{0}},
      {L"255.255.255.255", Ipv4Address{0xFFFFFFFFu}},
      {L"192.168.010.200", Ipv4Address::fromOctets(192, 168, 10, 200)},
      {L"256.1.1.1", std::nullopt},
      {L"1.2.3.256", std::nullopt},
      {L"1.2.3", std::nullopt},
      {L"1.2.3.4.", std::nullopt},
      {L"1.2.3.4.5", std::nullopt},
      {L"1..2.3", std::nullopt},
      {L" 1.2.3.4", std::nullopt},
      {L"1.2.3.4 ", std::nullopt},
      {L"+1.2.3.4", std::nullopt},
      {L"0001.2.3.4", std::nullopt},
      {L"4294967297.0.0.1", std::nullopt},
      {L"localhost.", std::nullopt},
      {L"localhos", std::nullopt},
      {L"\u0131ocalhost", std::nullopt},
      {L"", std::nullopt},
      {L"pool.ntp.org", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(addressWithoutLookup(c.host), c.address) << c.host;
  }
}

}  // namespace
}  // namespace hv::time::sntp
