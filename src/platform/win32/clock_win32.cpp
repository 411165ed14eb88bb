#include "platform/win32/clock_win32.h"

#include <windows.h>

#include <cwchar>

namespace hv::platform::win32 {
namespace {

SystemTime FromNative(const SYSTEMTIME& s) {
  return SystemTime{s.wYear, s.wMonth,  s.wDayOfWeek, s.wDay,
                    s.wHour, s.wMinute, s.wSecond,    s.wMilliseconds};
}

SYSTEMTIME ToNative(const SystemTime& t) {
  SYSTEMTIME s{};
  s.wYear = t.year;
  s.wMonth = t.month;
  s.wDayOfWeek = t.dayOfWeek;
  s.wDay = t.day;
  s.wHour = t.hour;
  s.wMinute = t.minute;
  s.wSecond = t.second;
  s.wMilliseconds = t.milliseconds;
  return s;
}

std::wstring ZoneNameOf(const WCHAR (&name)[32]) {
  return std::wstring(name, wcsnlen(name, 32));
}

// FILETIME counts 100 ns from 1601; this many of them lie before 1970.
constexpr std::int64_t kUnixEpochTicks = 116444736000000000;

}  // namespace

SystemTime Win32Clock::localTime() {
  SYSTEMTIME s{};
  GetLocalTime(&s);
  return FromNative(s);
}

std::int64_t Win32Clock::utcMicroseconds() {
  FILETIME f{};
  GetSystemTimePreciseAsFileTime(&f);
  const std::int64_t ticks =
      static_cast<std::int64_t>(std::uint64_t{f.dwHighDateTime} << 32 | f.dwLowDateTime);
  return (ticks - kUnixEpochTicks) / 10;
}

TimeZoneInfo Win32Clock::timeZone() {
  TIME_ZONE_INFORMATION tz{};
  const DWORD id = GetTimeZoneInformation(&tz);
  TimeZoneInfo z;
  switch (id) {
    case TIME_ZONE_ID_UNKNOWN:
      z.id = TimeZoneId::Unknown;
      break;
    case TIME_ZONE_ID_STANDARD:
      z.id = TimeZoneId::Standard;
      break;
    case TIME_ZONE_ID_DAYLIGHT:
      z.id = TimeZoneId::Daylight;
      break;
    default:
      z.id = TimeZoneId::Invalid;
      return z;
  }
  z.bias = tz.Bias;
  z.standardName = ZoneNameOf(tz.StandardName);
  z.standardDate = FromNative(tz.StandardDate);
  z.standardBias = tz.StandardBias;
  z.daylightName = ZoneNameOf(tz.DaylightName);
  z.daylightDate = FromNative(tz.DaylightDate);
  z.daylightBias = tz.DaylightBias;
  return z;
}

bool Win32Clock::setLocalTime(const SystemTime& t) {
  const SYSTEMTIME s = ToNative(t);
  return SetLocalTime(&s) != FALSE;
}

bool Win32Clock::setSystemTime(const SystemTime& utc) {
  const SYSTEMTIME s = ToNative(utc);
  return SetSystemTime(&s) != FALSE;
}

std::int64_t Win32Clock::steadyMicroseconds() {
  // The counter's frequency is fixed at boot, so it is read once.
  static const std::int64_t frequency = [] {
    LARGE_INTEGER f{};
    QueryPerformanceFrequency(&f);
    return static_cast<std::int64_t>(f.QuadPart);
  }();
  LARGE_INTEGER c{};
  QueryPerformanceCounter(&c);
  const std::int64_t ticks = c.QuadPart;
  // Whole seconds first, so the product cannot overflow.
  return ticks / frequency * 1000000 + ticks % frequency * 1000000 / frequency;
}

}  // namespace hv::platform::win32
