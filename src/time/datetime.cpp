#include "time/datetime.h"

#include <cmath>
#include <cstdio>

namespace hv::time {
namespace {

// Days from 1 January 1970 for a proleptic Gregorian date.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& y, unsigned& m, unsigned& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2));
}

// 30 December 1899 counted from 1 January 1970.
constexpr std::int64_t kEpochShift = -25569;

struct Split {
  std::int64_t day;
  std::int64_t msOfDay;
};

// The whole part counts days and the fraction's magnitude the time of day,
// also before the epoch, rounded to the millisecond.
Split SplitText(TDateTime t) {
  const double whole = std::trunc(t);
  auto ms = static_cast<std::int64_t>(std::llround(std::fabs(t - whole) * kMsPerDay));
  auto day = static_cast<std::int64_t>(whole);
  if (ms >= static_cast<std::int64_t>(kMsPerDay)) {
    ms -= static_cast<std::int64_t>(kMsPerDay);
    day += t < 0 ? -1 : 1;
  }
  return {day, ms};
}

}  // namespace

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second,
                         int millisecond) {
  const auto days =
      DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) - kEpochShift;
  const double time =
      ((static_cast<double>(hour) * 60 + minute) * 60 + second) * 1000.0 + millisecond;
  const double frac = time / kMsPerDay;
  return days >= 0 ? static_cast<double>(days) + frac : static_cast<double>(days) - frac;
}

TDateTime FromSystemTime(const platform::SystemTime& t) {
  return EncodeDateTime(t.year, t.month, t.day, t.hour, t.minute, t.second, t.milliseconds);
}

platform::SystemTime ToSystemTime(TDateTime t) {
  const Split s = SplitText(t);
  int y;
  unsigned m, d;
  CivilFromDays(s.day + kEpochShift, y, m, d);
  platform::SystemTime out;
  out.year = static_cast<std::uint16_t>(y);
  out.month = static_cast<std::uint16_t>(m);
  out.day = static_cast<std::uint16_t>(d);
  // 1 January 1970 was a Thursday (4).
  const std::int64_t dow = ((s.day + kEpochShift) % 7 + 7 + 4) % 7;
  out.dayOfWeek = static_cast<std::uint16_t>(dow);
  std::int64_t ms = s.msOfDay;
  out.milliseconds = static_cast<std::uint16_t>(ms % 1000);
  ms /= 1000;
  out.second = static_cast<std::uint16_t>(ms % 60);
  ms /= 60;
  out.minute = static_cast<std::uint16_t>(ms % 60);
  out.hour = static_cast<std::uint16_t>(ms / 60);
  return out;
}

int YearOf(TDateTime t) {
  const Split s = SplitText(t);
  int y;
  unsigned m, d;
  CivilFromDays(s.day + kEpochShift, y, m, d);
  return y;
}

TDateTime AddMilliseconds(TDateTime t, std::int64_t ms) {
  return (t * kMsPerDay + static_cast<double>(ms)) / kMsPerDay;
}

TDateTime FromUnixMilliseconds(std::int64_t ms) {
  return static_cast<double>(-kEpochShift) + static_cast<double>(ms) / kMsPerDay;
}

std::wstring FormatDisplay(TDateTime t, std::wstring_view dateSeparator,
                           std::wstring_view timeSeparator) {
  const auto s = ToSystemTime(t);
  wchar_t buf[8];
  auto two = [&](unsigned v) {
    std::swprintf(buf, 8, L"%02u", v);
    return std::wstring(buf);
  };
  std::swprintf(buf, 8, L"%04u", static_cast<unsigned>(s.year));
  const std::wstring year(buf);
  std::wstring out;
  out += two(s.day);
  out += dateSeparator;
  out += two(s.month);
  out += dateSeparator;
  out += year;
  out += L' ';
  out += two(s.hour);
  out += timeSeparator;
  out += two(s.minute);
  out += timeSeparator;
  out += two(s.second);
  return out;
}

}  // namespace hv::time
