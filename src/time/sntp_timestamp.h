#pragma once
// NTP timestamps to and from local TDateTime and UTC, and the UTC offset.
// The fraction is scaled by 2^32 + 1 rather than 2^32, so that servers see
// the same numbers as from the client this one replaces. The seconds wrap at
// 2^32 on 7 February 2036 06:28:16 UTC; a received count with its top bit
// clear belongs to the era that begins then (RFC 4330 section 3), so the
// conversions hold from 1968 to 2104.
#include <cstdint>

#include "platform/clock.h"
#include "time/datetime.h"
#include "time/sntp_packet.h"

namespace hv::time::sntp {

inline constexpr double kFractionScale = 4294967297.0;
// 1 January 1900 00:00, the NTP epoch.
inline constexpr TDateTime kNtpEpoch = 2.0;

NtpTimestamp LocalToNtp(TDateTime local, double offsetDays);
// Whole milliseconds, truncated.
TDateTime NtpToLocal(NtpTimestamp timestamp, double offsetDays);
// UTC as microseconds since 1 January 1970, the precise clock's scale.
NtpTimestamp UtcToNtp(std::int64_t utcMicroseconds);
std::int64_t NtpToUtc(NtpTimestamp timestamp);
// Unrounded.
TDateTime UtcToLocal(std::int64_t utcMicroseconds, double offsetDays);

// The timestamp with the bits of its fraction below the millisecond drawn
// from random: it still reads as the same second and millisecond, so no
// server sees a different time, while a forger who sees no request has
// some 22 bits more to guess of the originate timestamp a reply must echo.
NtpTimestamp WithNonce(NtpTimestamp stamp, std::uint32_t random);

// Minutes to add to local time to get UTC, for the rules in force; throws
// hv::Error when the zone could not be read.
std::int32_t UtcBiasMinutes(const platform::TimeZoneInfo& zone);
// Days to add to UTC to get local time.
double OffsetDays(std::int32_t biasMinutes);

}  // namespace hv::time::sntp
