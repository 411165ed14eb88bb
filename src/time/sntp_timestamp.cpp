#include "time/sntp_timestamp.h"

#include <cmath>
#include <cstdlib>

#include "platform/error.h"

namespace hv::time::sntp {
namespace {

constexpr double kSecondsPerDay = 86400.0;

// Keeps the double-to-integer casts defined for any input.
std::int64_t truncated(double v) {
  constexpr double kLimit = 9.0e15;
  if (!(v > -kLimit)) return static_cast<std::int64_t>(-kLimit);
  if (!(v < kLimit)) return static_cast<std::int64_t>(kLimit);
  return static_cast<std::int64_t>(v);
}

}  // namespace

NtpTimestamp localToNtp(TDateTime local, double offset) {
  double u = (local - offset - kNtpEpoch) * kSecondsPerDay;
  if (u > kFractionScale) u -= kFractionScale;
  const double whole = std::trunc(u);
  NtpTimestamp ts;
  // Unsigned 32-bit, as the wire field: a count past 2^32 - 1 wraps.
  ts.seconds = static_cast<std::uint32_t>(truncated(whole));
  ts.fraction = static_cast<std::uint32_t>(truncated((u - whole) * kFractionScale));
  return ts;
}

TDateTime ntpToLocal(NtpTimestamp timestamp, double offset) {
  const double ms = std::trunc(static_cast<double>(timestamp.fraction) / kFractionScale * 1000.0);
  return (static_cast<double>(timestamp.seconds) + ms / 1000.0) / kSecondsPerDay + kNtpEpoch +
         offset;
}

std::int32_t utcBiasMinutes(const platform::TimeZoneInfo& zone) {
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

double offsetDays(std::int32_t biasMinutes) {
  const auto magnitude = std::llabs(static_cast<long long>(biasMinutes));
  const double days = static_cast<double>(magnitude) / 1440.0;
  return biasMinutes > 0 ? -days : days;
}

}  // namespace hv::time::sntp
