#pragma once
// Clock and time-zone boundary: the local and the precise UTC clock, the zone
// information, and the calls that set the computer's clock.
#include <cstdint>
#include <string>

namespace hv::platform {

// Broken-down local time, as the platform's clock record holds it.
struct SystemTime {
  std::uint16_t year = 0;
  std::uint16_t month = 0;
  std::uint16_t dayOfWeek = 0;
  std::uint16_t day = 0;
  std::uint16_t hour = 0;
  std::uint16_t minute = 0;
  std::uint16_t second = 0;
  std::uint16_t milliseconds = 0;
  friend bool operator==(const SystemTime&, const SystemTime&) = default;
};

enum class TimeZoneId { Unknown, Standard, Daylight, Invalid };

// Biases are minutes, positive west of GMT (UTC = local + bias).
struct TimeZoneInfo {
  TimeZoneId id = TimeZoneId::Unknown;
  std::int32_t bias = 0;
  std::wstring standardName;
  SystemTime standardDate;  // month 0: the zone has no standard-time rule
  std::int32_t standardBias = 0;
  std::wstring daylightName;
  SystemTime daylightDate;  // month 0: the zone has no daylight-time rule
  std::int32_t daylightBias = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual SystemTime localTime() = 0;
  // The computer's clock in UTC as finely as the platform reads it:
  // microseconds since 1 January 1970 00:00 UTC.
  virtual std::int64_t utcMicroseconds() = 0;
  virtual TimeZoneInfo timeZone() = 0;
  // Both return the platform's verdict; callers do not act on a refusal.
  // Local time is converted with the daylight state in force before the
  // change, so a write across a daylight-saving boundary lands an hour off.
  virtual bool setLocalTime(const SystemTime& t) = 0;
  // t in UTC: no daylight-saving state takes part.
  virtual bool setSystemTime(const SystemTime& utc) = 0;
  // A clock that only moves forward, whatever is done to the computer's
  // clock: for the time that passes between two moments.
  virtual std::int64_t steadyMicroseconds() = 0;
};

}  // namespace hv::platform
