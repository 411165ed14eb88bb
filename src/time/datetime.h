#pragma once
// TDateTime: days since 30 December 1899 as a double, the fraction being the
// time of day. Conversions to and from the broken-down clock record, and the
// display format every window uses.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/clock.h"

namespace hv::time {

using TDateTime = double;

inline constexpr double kMsPerDay = 86400000.0;

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second,
                         int millisecond);
TDateTime FromSystemTime(const platform::SystemTime& t);
// Rounds to the nearest millisecond; the day of week is filled in.
platform::SystemTime ToSystemTime(TDateTime t);
int YearOf(TDateTime t);
TDateTime AddMilliseconds(TDateTime t, std::int64_t ms);
// Milliseconds since 1 January 1970 00:00.
TDateTime FromUnixMilliseconds(std::int64_t ms);

// "dd/mm/yyyy hh:nn:ss" with the given separators in place of "/" and ":".
std::wstring FormatDisplay(TDateTime t, std::wstring_view dateSeparator,
                           std::wstring_view timeSeparator);

}  // namespace hv::time
