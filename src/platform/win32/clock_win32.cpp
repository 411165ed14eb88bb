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

}  // namespace

Win32Clock::Win32Clock(std::wstring recordPath) : recordPath_(std::move(recordPath)) {}

SystemTime Win32Clock::localTime() {
  SYSTEMTIME s{};
  GetLocalTime(&s);
  return fromNative(s);
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

std::string Win32Clock::recordLine(const SystemTime& t) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%04u-%02u-%02u %02u:%02u:%02u.%03u", unsigned{t.year},
                unsigned{t.month}, unsigned{t.day}, unsigned{t.hour}, unsigned{t.minute},
                unsigned{t.second}, unsigned{t.milliseconds});
  return buf;
}

std::string Win32Clock::recordStamp(std::uint64_t fileTime) {
  FILETIME f{static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
  SYSTEMTIME s{};
  if (!FileTimeToSystemTime(&f, &s)) return "?";
  char buf[40];
  std::snprintf(buf, sizeof buf, "%04u-%02u-%02uT%02u:%02u:%02u.%06uZ", unsigned{s.wYear},
                unsigned{s.wMonth}, unsigned{s.wDay}, unsigned{s.wHour}, unsigned{s.wMinute},
                unsigned{s.wSecond}, static_cast<unsigned>(fileTime / 10 % 1000000));
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

bool Win32Clock::setLocalTime(const SystemTime& t) {
  if constexpr (HORVANE_RECORD_CLOCK != 0) {
    // Beside the value, the real clock at the moment it would have been set,
    // so a journey can tell how far from the right time the write was.
    FILETIME now{};
    GetSystemTimePreciseAsFileTime(&now);
    const std::uint64_t at = std::uint64_t{now.dwHighDateTime} << 32 | now.dwLowDateTime;
    return AppendToFile(recordPath(), recordLine(t) + " at " + recordStamp(at) + "\r\n");
  } else {
    const SYSTEMTIME s = toNative(t);
    return SetLocalTime(&s) != FALSE;
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
