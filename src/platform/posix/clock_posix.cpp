#include "platform/posix/clock_posix.h"

#include <sys/time.h>

#include <ctime>

namespace hv::platform {

SystemTime PosixClock::localTime() {
  timeval tv{};
  gettimeofday(&tv, nullptr);
  std::tm tm{};
  const std::time_t secs = tv.tv_sec;
  localtime_r(&secs, &tm);
  SystemTime t;
  t.year = static_cast<std::uint16_t>(tm.tm_year + 1900);
  t.month = static_cast<std::uint16_t>(tm.tm_mon + 1);
  t.dayOfWeek = static_cast<std::uint16_t>(tm.tm_wday);
  t.day = static_cast<std::uint16_t>(tm.tm_mday);
  t.hour = static_cast<std::uint16_t>(tm.tm_hour);
  t.minute = static_cast<std::uint16_t>(tm.tm_min);
  t.second = static_cast<std::uint16_t>(tm.tm_sec);
  t.milliseconds = static_cast<std::uint16_t>(tv.tv_usec / 1000);
  return t;
}

std::int64_t PosixClock::utcMicroseconds() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  return static_cast<std::int64_t>(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

TimeZoneInfo PosixClock::timeZone() {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  TimeZoneInfo z;
  z.id = TimeZoneId::Unknown;
  z.bias = static_cast<std::int32_t>(-tm.tm_gmtoff / 60);
  return z;
}

// The host build never sets the machine's clock.
bool PosixClock::setLocalTime(const SystemTime&) {
  return false;
}

bool PosixClock::setSystemTime(const SystemTime&) {
  return false;
}

std::int64_t PosixClock::steadyMicroseconds() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::int64_t>(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

}  // namespace hv::platform
