#include "time/sntp_timestamp.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "base/error.h"

namespace hv::time::sntp {
namespace {

constexpr double kSecondsPerDay = 86400.0;
constexpr double kEra = 4294967296.0;
// 1 January 1970 in NTP seconds of the first era.
constexpr std::int64_t kUnixEpochSeconds = 2208988800;

// Seconds since 1900 of a received count.
std::int64_t SecondsSince1900(std::uint32_t seconds) {
  const bool firstEra = (seconds & 0x80000000u) != 0;
  return std::int64_t{seconds} + (firstEra ? 0 : std::int64_t{1} << 32);
}

// Keeps the double-to-integer casts defined for any input.
std::int64_t Truncated(double v) {
  constexpr double kLimit = 9.0e15;
  if (!(v > -kLimit)) return static_cast<std::int64_t>(-kLimit);
  if (!(v < kLimit)) return static_cast<std::int64_t>(kLimit);
  return static_cast<std::int64_t>(v);
}

}  // namespace

NtpTimestamp LocalToNtp(TDateTime local, double offset) {
  double u = (local - offset - kNtpEpoch) * kSecondsPerDay;
  if (u >= kEra) u -= kEra;
  const double whole = std::trunc(u);
  NtpTimestamp ts;
  // Unsigned 32-bit, as the wire field: a count past 2^32 - 1 wraps.
  ts.seconds = static_cast<std::uint32_t>(Truncated(whole));
  ts.fraction = static_cast<std::uint32_t>(Truncated((u - whole) * kFractionScale));
  return ts;
}

TDateTime NtpToLocal(NtpTimestamp timestamp, double offset) {
  const double ms = std::trunc(static_cast<double>(timestamp.fraction) / kFractionScale * 1000.0);
  return (static_cast<double>(SecondsSince1900(timestamp.seconds)) + ms / 1000.0) / kSecondsPerDay +
         kNtpEpoch + offset;
}

NtpTimestamp UtcToNtp(std::int64_t utcMicroseconds) {
  std::int64_t seconds = utcMicroseconds / 1000000;
  std::int64_t us = utcMicroseconds % 1000000;
  if (us < 0) {
    us += 1000000;
    --seconds;
  }
  // The wire keeps the seconds modulo 2^32.
  return {static_cast<std::uint32_t>(seconds + kUnixEpochSeconds),
          static_cast<std::uint32_t>(us * 4294967297 / 1000000)};
}

TDateTime UtcToLocal(std::int64_t utcMicroseconds, double offset) {
  return FromUnixMilliseconds(0) + static_cast<double>(utcMicroseconds) / 86400e6 + offset;
}

std::int64_t NtpToUtc(NtpTimestamp timestamp) {
  const std::int64_t us = static_cast<std::int64_t>(timestamp.fraction) * 1000000 / 4294967297;
  return (SecondsSince1900(timestamp.seconds) - kUnixEpochSeconds) * 1000000 + us;
}

NtpTimestamp WithNonce(NtpTimestamp stamp, std::uint32_t random) {
  // The fractions that read as millisecond m are those from the first at or
  // above m/1000 of the scale up to the one before (m+1)/1000.
  constexpr std::uint64_t kScale = 4294967297;
  const std::uint64_t m = std::uint64_t{stamp.fraction} * 1000 / kScale;
  const std::uint64_t first = (m * kScale + 999) / 1000;
  const std::uint64_t last =
      std::min<std::uint64_t>(((m + 1) * kScale + 999) / 1000 - 1, 0xFFFFFFFF);
  stamp.fraction = static_cast<std::uint32_t>(first + random % (last - first + 1));
  return stamp;
}

std::int32_t UtcBiasMinutes(const platform::TimeZoneInfo& zone) {
  using platform::TimeZoneId;
  switch (zone.id) {
    case TimeZoneId::Unknown:
      return zone.bias;
    case TimeZoneId::Standard:
      return zone.standardDate.month != 0 ? zone.bias + zone.standardBias : zone.bias;
    case TimeZoneId::Daylight:
      return zone.daylightDate.month != 0 ? zone.bias + zone.daylightBias : zone.bias;
    case TimeZoneId::Invalid:
      break;
  }
  throw Error(L"Failed attempting to retrieve time zone information.");
}

double OffsetDays(std::int32_t biasMinutes) {
  const auto magnitude = std::llabs(static_cast<long long>(biasMinutes));
  const double days = static_cast<double>(magnitude) / 1440.0;
  return biasMinutes > 0 ? -days : days;
}

}  // namespace hv::time::sntp
