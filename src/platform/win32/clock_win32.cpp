#include "platform/win32/clock_win32.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <utility>

#include "platform/win32/files_win32.h"

#ifndef HORVANE_RECORD_CLOCK
#define HORVANE_RECORD_CLOCK 0
#endif

namespace hv::platform::win32 {
namespace {

SystemTime fromNative(const SYSTEMTIME& s) {
  return SystemTime{s.wYear, s.wMonth,  s.wDayOfWeek, s.wDay,
                    s.wHour, s.wMinute, s.wSecond,    s.wMilliseconds};
}

[[maybe_unused]] SYSTEMTIME toNative(const SystemTime& t) {
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

std::wstring zoneName(const WCHAR (&name)[32]) {
  return std::wstring(name, wcsnlen(name, 32));
}

// FILETIME counts 100 ns from 1601; this many of them lie before 1970.
constexpr std::int64_t kUnixEpochTicks = 116444736000000000;

}  // namespace

Win32Clock::Win32Clock(std::wstring recordPath) : recordPath_(std::move(recordPath)) {}

SystemTime Win32Clock::localTime() {
  SYSTEMTIME s{};
  GetLocalTime(&s);
  return fromNative(s);
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
  z.standardName = zoneName(tz.StandardName);
  z.standardDate = fromNative(tz.StandardDate);
  z.standardBias = tz.StandardBias;
  z.daylightName = zoneName(tz.DaylightName);
  z.daylightDate = fromNative(tz.DaylightDate);
  z.daylightBias = tz.DaylightBias;
  return z;
}

bool Win32Clock::recordsWrites() {
  return HORVANE_RECORD_CLOCK != 0;
}

std::string Win32Clock::recordLine(const SystemTime& t, bool utc, std::int64_t atUtcMicroseconds) {
  const auto ticks = static_cast<std::uint64_t>(atUtcMicroseconds * 10 + kUnixEpochTicks);
  FILETIME f{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  SYSTEMTIME at{};
  FileTimeToSystemTime(&f, &at);
  char buf[96];
  std::snprintf(buf, sizeof buf,
                "%04u-%02u-%02u %02u:%02u:%02u.%03u%s at %04u-%02u-%02u %02u:%02u:%02u.%06u UTC",
                unsigned{t.year}, unsigned{t.month}, unsigned{t.day}, unsigned{t.hour},
                unsigned{t.minute}, unsigned{t.second}, unsigned{t.milliseconds}, utc ? " UTC" : "",
                unsigned{at.wYear}, unsigned{at.wMonth}, unsigned{at.wDay}, unsigned{at.wHour},
                unsigned{at.wMinute}, unsigned{at.wSecond},
                static_cast<unsigned>(atUtcMicroseconds % 1000000));
  return buf;
}

std::wstring Win32Clock::recordPath() const {
  if (!recordPath_.empty()) return recordPath_;
  const DWORD size = GetEnvironmentVariableW(L"HORVANE_CLOCK_LOG", nullptr, 0);
  if (size > 1) {
    std::wstring value(size, L'\0');
    const DWORD n = GetEnvironmentVariableW(L"HORVANE_CLOCK_LOG", value.data(), size);
    if (n > 0 && n < size) return value.substr(0, n);
  }
  return FolderWithSeparator(ModuleFileName(), L'\\') + L"clock-writes.log";
}

bool Win32Clock::record(const SystemTime& t, bool utc) {
  return AppendToFile(recordPath(), recordLine(t, utc, utcMicroseconds()) + "\r\n");
}

bool Win32Clock::setLocalTime(const SystemTime& t) {
  if constexpr (HORVANE_RECORD_CLOCK != 0) {
    return record(t, false);
  } else {
    const SYSTEMTIME s = toNative(t);
    return SetLocalTime(&s) != FALSE;
  }
}

bool Win32Clock::setSystemTime(const SystemTime& utc) {
  if constexpr (HORVANE_RECORD_CLOCK != 0) {
    return record(utc, true);
  } else {
    const SYSTEMTIME s = toNative(utc);
    return SetSystemTime(&s) != FALSE;
  }
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
