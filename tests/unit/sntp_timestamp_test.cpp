#include "time/sntp_timestamp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "base/error.h"
#include "support/datetime_ms.h"
#include "time/sntp_figures.h"
#include "time/sntp_host.h"

namespace hv::time::sntp {
namespace {

using platform::Ipv4Address;
using platform::TimeZoneId;
using platform::TimeZoneInfo;

using test::MsOf;

constexpr std::uint32_t k2021Sep2Noon = 3839572800u;  // 2 September 2021 12:00:00 UTC

TimeZoneInfo Zone(TimeZoneId id, int bias, int standardBias, int standardMonth, int daylightBias,
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
      {Zone(TimeZoneId::Unknown, -120, 7, 10, -60, 3), -120},
      {Zone(TimeZoneId::Standard, -60, -5, 10, -60, 3), -65},
      {Zone(TimeZoneId::Standard, -60, -5, 0, -60, 3), -60},
      {Zone(TimeZoneId::Daylight, 300, 0, 11, -60, 3), 240},
      {Zone(TimeZoneId::Daylight, 300, 0, 11, -60, 0), 300},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(UtcBiasMinutes(c.zone), c.expected) << "bias " << c.zone.bias;
  }
}

TEST(SntpUtcBias, UnreadableZoneIsAnError) {
  try {
    UtcBiasMinutes(Zone(TimeZoneId::Invalid, 0, 0, 0, 0, 0));
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
      {k2021Sep2Noon, 0x80000000u, -120, EncodeDateTime(2021, 9, 2, 14, 0, 0, 499)},
      {k2021Sep2Noon, 0xFFFFFFFFu, 0, EncodeDateTime(2021, 9, 2, 12, 0, 0, 999)},
      {k2021Sep2Noon, 0x00418937u, 0, EncodeDateTime(2021, 9, 2, 12, 0, 0, 0)},
      {k2021Sep2Noon, 0, 330, EncodeDateTime(2021, 9, 2, 6, 30, 0, 0)},
      {k2021Sep2Noon, 0, -345, EncodeDateTime(2021, 9, 2, 17, 45, 0, 0)},
      // A count with its top bit clear belongs to the era that begins in 2036.
      {0x80000000u, 0, 0, EncodeDateTime(1968, 1, 20, 3, 14, 8, 0)},
      {0xFFFFFFFFu, 0, 0, EncodeDateTime(2036, 2, 7, 6, 28, 15, 0)},
      {0, 0, 0, EncodeDateTime(2036, 2, 7, 6, 28, 16, 0)},
      {100, 0x80000000u, -60, EncodeDateTime(2036, 2, 7, 7, 29, 56, 499)},
      {0x7FFFFFFFu, 0, 0, EncodeDateTime(2104, 2, 26, 9, 42, 23, 0)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MsOf(NtpToLocal({c.seconds, c.fraction}, OffsetDays(c.bias))), MsOf(c.expected))
        << c.seconds << "/" << c.fraction << " bias " << c.bias;
  }
}

TEST(SntpTimestamp, EncodesLocalTimeModuloTheEra) {
  struct Case {
    TDateTime local;
    int bias;
    std::uint32_t seconds;
    double fraction;  // of a second
  };
  const Case cases[] = {
      {EncodeDateTime(2021, 9, 2, 14, 0, 0, 250), -120, k2021Sep2Noon, 0.25},
      {EncodeDateTime(2021, 9, 2, 7, 0, 0, 0), 300, k2021Sep2Noon, 0.0},
      {EncodeDateTime(2036, 2, 7, 6, 28, 15, 0), 0, 0xFFFFFFFFu, 0.0},
      {EncodeDateTime(2036, 2, 7, 6, 28, 16, 500), 0, 0, 0.5},
      {EncodeDateTime(2036, 2, 7, 6, 28, 17, 500), 0, 1, 0.5},
      {EncodeDateTime(2036, 2, 7, 7, 28, 20, 250), -60, 4, 0.25},
  };
  for (const auto& c : cases) {
    const NtpTimestamp ts = LocalToNtp(c.local, OffsetDays(c.bias));
    EXPECT_EQ(ts.seconds, c.seconds) << MsOf(c.local);
    EXPECT_NEAR(ts.fraction / kFractionScale, c.fraction, 1e-5) << MsOf(c.local);
  }
}

// The precise clock's UTC on the wire and back, across the 2036 wrap: the
// seconds go out modulo 2^32 and come back in the era they belong to.
TEST(SntpTimestamp, UtcCrossesTheEraBothWays) {
  constexpr std::int64_t kWrapUs = 2085978496LL * 1000000;  // 7 Feb 2036 06:28:16 UTC
  struct Case {
    std::int64_t utcUs;
    std::uint32_t seconds;
  };
  const Case cases[] = {
      {1630584000LL * 1000000 + 250000, k2021Sep2Noon},
      {kWrapUs - 1000, 0xFFFFFFFFu},
      {kWrapUs, 0},
      {kWrapUs + 1500000, 1},
      {kWrapUs + 3600LL * 1000000 + 999999, 3600},
  };
  for (const auto& c : cases) {
    const NtpTimestamp ts = UtcToNtp(c.utcUs);
    EXPECT_EQ(ts.seconds, c.seconds) << c.utcUs;
    EXPECT_NEAR(static_cast<double>(NtpToUtc(ts)), static_cast<double>(c.utcUs), 1.0) << c.utcUs;
    // The local-time conversions agree with it.
    const TDateTime local = UtcToLocal(c.utcUs, OffsetDays(-90));
    EXPECT_EQ(LocalToNtp(local, OffsetDays(-90)).seconds, c.seconds) << c.utcUs;
  }
}

TEST(SntpNonce, KeepsTheSecondAndTheMillisecondAndDrawsTheRest) {
  const auto msOfFraction = [](std::uint32_t f) {
    return static_cast<int>(std::trunc(f / kFractionScale * 1000.0));
  };
  for (const int ms : {0, 1, 250, 499, 500, 998, 999}) {
    const NtpTimestamp stamp = LocalToNtp(EncodeDateTime(2021, 9, 2, 12, 0, 0, ms), 0.0);
    std::uint32_t lowest = 0xFFFFFFFF, highest = 0;
    for (const std::uint32_t random : {0u, 1u, 4294965u, 4294966u, 0xFFFFFFFFu}) {
      const NtpTimestamp n = WithNonce(stamp, random);
      EXPECT_EQ(n.seconds, stamp.seconds);
      EXPECT_EQ(msOfFraction(n.fraction), msOfFraction(stamp.fraction)) << ms << " " << random;
      lowest = std::min(lowest, n.fraction);
      highest = std::max(highest, n.fraction);
    }
    // Some 22 bits to guess, none of them a millisecond's worth.
    EXPECT_GT(highest - lowest, 4000000u) << ms;
    EXPECT_LT(highest - lowest, 4294968u) << ms;
  }
}

TEST(SntpFigures, OffsetAndRoundTripOfOneExchange) {
  // Timestamps as seconds after 2 September 2021 12:00:00 UTC.
  const auto at = [](double s) {
    return AddMicroseconds({k2021Sep2Noon, 0}, std::llround(s * 1e6));
  };
  struct Case {
    const char* what;
    NtpTimestamp t1, t2, t3, t4;
    double offset, delay;
  };
  // Near the 2036 wrap: 10 ms before it on one side, past it on the other.
  const NtpTimestamp beforeWrap{0xFFFFFFFF, 0xFD70A3D7};
  const NtpTimestamp afterWrap = AddMicroseconds(beforeWrap, 3'020'000);
  const Case cases[] = {
      {"in step, symmetric", at(0), at(0.005), at(0.006), at(0.011), 0.0, 0.010},
      {"server 3.2 s ahead", at(0), at(3.205), at(3.206), at(0.011), 3.2, 0.010},
      {"server behind", at(10), at(8.003), at(8.004), at(10.006), -1.9995, 0.005},
      {"asymmetric path", at(0), at(0.009), at(0.010), at(0.011), 0.004, 0.010},
      {"negative delay", at(0), at(0.010), at(0.030), at(0.011), 0.0145, -0.009},
      {"server past 2036", beforeWrap, afterWrap, AddMicroseconds(afterWrap, 1000),
       AddMicroseconds(beforeWrap, 41000), 3.0, 0.040},
      {"we past 2036", afterWrap, AddMicroseconds(beforeWrap, 20000),
       AddMicroseconds(beforeWrap, 21000), AddMicroseconds(afterWrap, 41000), -3.02, 0.040},
  };
  for (const auto& c : cases) {
    const auto f = MeasureExchange(c.t1, c.t2, c.t3, c.t4);
    EXPECT_NEAR(f.offsetSeconds, c.offset, 2e-6) << c.what;
    EXPECT_NEAR(f.delaySeconds, c.delay, 2e-6) << c.what;
    // The server's clock at arrival is our t4 moved by the offset.
    const NtpTimestamp arrival = ServerTimeAtArrival(c.t1, c.t2, c.t3, c.t4);
    EXPECT_NEAR(static_cast<double>(NtpToUtc(arrival) - NtpToUtc(c.t4)) / 1e6, c.offset, 2e-6)
        << c.what;
  }
}

platform::Ipv6Address V6Address(std::array<std::uint16_t, 8> groups) {
  platform::Ipv6Address a;
  for (std::size_t i = 0; i < 8; ++i) {
    a.bytes[2 * i] = static_cast<std::uint8_t>(groups[i] >> 8);
    a.bytes[2 * i + 1] = static_cast<std::uint8_t>(groups[i]);
  }
  return a;
}

TEST(SntpHost, OnlyLocalhostAndStrictAddressLiteralsSkipTheLookup) {
  struct Case {
    const wchar_t* host;
    std::optional<platform::IpAddress> address;
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
      {L"::1", platform::kLoopback6},
      {L"[::1]", platform::kLoopback6},
      {L"[2001:db8::1]", V6Address({0x2001, 0xdb8, 0, 0, 0, 0, 0, 1})},
      {L"2001:DB8:0:0:8:800:200C:417A", V6Address({0x2001, 0xdb8, 0, 0, 8, 0x800, 0x200c, 0x417a})},
      {L"fe80::", V6Address({0xfe80, 0, 0, 0, 0, 0, 0, 0})},
      {L"::", platform::Ipv6Address{}},
      {L"1:2:3:4:5:6:7::", V6Address({1, 2, 3, 4, 5, 6, 7, 0})},
      {L"::ffff:7f00:1", platform::kLoopback},  // IPv4 written as IPv6
      {L"1:2:3:4:5:6:7:8:9", std::nullopt},
      {L"1:2:3:4:5:6:7", std::nullopt},
      {L"1::2::3", std::nullopt},
      {L"1:::2", std::nullopt},
      {L":1::2", std::nullopt},
      {L"1::2:", std::nullopt},
      {L"12345::1", std::nullopt},
      {L"::g", std::nullopt},
      {L"[::1", std::nullopt},
      {L"[::1]:123", std::nullopt},
      {L"fe80::1%eth0", std::nullopt},
      {L"::ffff:127.0.0.1", std::nullopt},  // left to the resolver
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AddressWithoutLookup(c.host), c.address) << c.host;
  }
}

// The tooltip's form of an address.
TEST(SntpHost, Ipv6AddressesReadInTheirShortForm) {
  struct Case {
    std::array<std::uint16_t, 8> groups;
    const wchar_t* text;
  };
  const Case cases[] = {
      {{0x2001, 0xdb8, 0, 0, 0, 0, 0, 1}, L"2001:db8::1"},
      {{0, 0, 0, 0, 0, 0, 0, 1}, L"::1"},
      {{0, 0, 0, 0, 0, 0, 0, 0}, L"::"},
      {{0xfe80, 0, 0, 0, 0, 0, 0, 0}, L"fe80::"},
      {{0x2001, 0xdb8, 0, 1, 1, 1, 1, 1}, L"2001:db8:0:1:1:1:1:1"},
      {{0x2001, 0, 0, 1, 0, 0, 0, 1}, L"2001:0:0:1::1"},
      {{1, 0, 0, 2, 0, 0, 3, 4}, L"1::2:0:0:3:4"},
      {{0xABCD, 0x0F0, 0, 0, 0, 0, 0x10, 0}, L"abcd:f0::10:0"},
  };
  for (const auto& c : cases) EXPECT_EQ(V6Address(c.groups).text(), c.text) << c.text;
}

}  // namespace
}  // namespace hv::time::sntp
