#pragma once
// The host's clock for the native build; it reads but never sets the clock.
#include "platform/clock.h"

namespace hv::platform {

class PosixClock : public Clock {
 public:
  SystemTime localTime() override;
  std::int64_t utcMicroseconds() override;
  TimeZoneInfo timeZone() override;
  bool setLocalTime(const SystemTime& t) override;
  bool setSystemTime(const SystemTime& utc) override;
  std::int64_t steadyMicroseconds() override;
};

}  // namespace hv::platform
