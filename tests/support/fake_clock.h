#pragma once
// A clock that tells the time and zone it is given and records what it is
// asked to set, for tests that must never touch the machine's clock. Safe to
// read from a worker thread while the test moves it.
#include <mutex>
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

  platform::SystemTime localTime() override {
    const std::lock_guard lock(mutex_);
    return now;
  }
  platform::TimeZoneInfo timeZone() override {
    const std::lock_guard lock(mutex_);
    ++timeZoneCalls;
    return zone;
  }
  bool setLocalTime(const platform::SystemTime& t) override {
    const std::lock_guard lock(mutex_);
    setCalls.push_back(t);
    if (acceptSet) now = t;
    return acceptSet;
  }
  std::int64_t steadyMicroseconds() override {
    const std::lock_guard lock(mutex_);
    return steadyUs_;
  }

  void set(time::TDateTime t) {
    const std::lock_guard lock(mutex_);
    now = time::toSystemTime(t);
  }
  // Moves the computer's clock; time passes on the steady clock only going
  // forward.
  void advance(std::int64_t ms) {
    const std::lock_guard lock(mutex_);
    now = time::toSystemTime(time::addMilliseconds(time::fromSystemTime(now), ms));
    if (ms > 0) steadyUs_ += ms * 1000;
  }
  // A zone without daylight rules, biasMinutes west of UTC.
  void setBias(std::int32_t biasMinutes) {
    const std::lock_guard lock(mutex_);
    zone = {};
    zone.id = platform::TimeZoneId::Unknown;
    zone.bias = biasMinutes;
  }

 private:
  std::mutex mutex_;
  std::int64_t steadyUs_ = 1'000'000;
};

}  // namespace hv::test
