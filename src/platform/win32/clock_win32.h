#pragma once
// The computer's clock and time zone through the Win32 time calls.
#include "platform/clock.h"

namespace hv::platform::win32 {

class Win32Clock : public Clock {
 public:
  SystemTime localTime() override;
  std::int64_t utcMicroseconds() override;
  TimeZoneInfo timeZone() override;
  bool setLocalTime(const SystemTime& t) override;
  bool setSystemTime(const SystemTime& utc) override;
  std::int64_t steadyMicroseconds() override;
};

}  // namespace hv::platform::win32
