#pragma once
// A clock that tells the time and zone it is given and records what it is
// asked to set, for tests that must never touch the machine's clock.
#include <vector>

#include "platform/clock.h"
#include "time/datetime.h"

namespace hv::test {

class FakeClock : public platform::Clock {
 public:
  platform::SystemTime now{2021, 9, 4, 2, 14, 0, 0, 0};
  platform::TimeZoneInfo zone;
  std::vector<platform::SystemTime> setCalls;
  bool acceptSet = true;
  int timeZoneCalls = 0;

  platform::SystemTime localTime() override { return now; }
  platform::TimeZoneInfo timeZone() override {
    ++timeZoneCalls;
    return zone;
  }
  bool setLocalTime(const platform::SystemTime& t) override {
    setCalls.push_back(t);
    if (acceptSet) now = t;
    return acceptSet;
  }

  void set(time::TDateTime t) { now = time::toSystemTime(t); }
  void advance(std::int64_t ms) { set(time::addMilliseconds(time::fromSystemTime(now), ms)); }
  // A zone without daylight rules, biasMinutes west of UTC.
  void setBias(std::int32_t biasMinutes) {
    zone = {};
    zone.id = platform::TimeZoneId::Unknown;
    zone.bias = biasMinutes;
  }
};

}  // namespace hv::test
