#pragma once
// A clock that tells the time and zone it is given and records what it is
// asked to set, for tests that must never touch the machine's clock. It
// keeps UTC and derives local time from the zone, so a daylight-saving
// change (daylightFromUtcUs) moves the local reading as the platform does,
// and setLocalTime converts with the state in force before the change, as
// the platform does. Safe to read from a worker thread while the test moves
// it.
#include <chrono>
#include <cmath>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/clock.h"
#include "time/datetime.h"

namespace hv::test {

class FakeClock : public platform::Clock {
 public:
  platform::TimeZoneInfo zone;
  // When set, the zone keeps standard time before this moment and daylight
  // time from it on, whatever zone.id says.
  std::optional<std::int64_t> daylightFromUtcUs;
  // Each write as the local clock reads right after it (also when refused).
  std::vector<platform::SystemTime> setCalls;
  bool acceptSet = true;
  int timeZoneCalls = 0;

  platform::SystemTime localTime() override {
    const std::lock_guard lock(mutex_);
    return local(utc());
  }
  std::int64_t utcMicroseconds() override {
    const std::lock_guard lock(mutex_);
    return utc();
  }
  platform::TimeZoneInfo timeZone() override {
    const std::lock_guard lock(mutex_);
    ++timeZoneCalls;
    return zoneAt(utc());
  }
  bool setLocalTime(const platform::SystemTime& t) override {
    const std::lock_guard lock(mutex_);
    return write(msOf(time::FromSystemTime(t)) * 1000 + biasUs(utc()));
  }
  bool setSystemTime(const platform::SystemTime& t) override {
    const std::lock_guard lock(mutex_);
    return write(msOf(time::FromSystemTime(t)) * 1000);
  }
  std::int64_t steadyMicroseconds() override {
    const std::lock_guard lock(mutex_);
    return follow_ ? hostSteady() - steadyBase_ + steadyUs_ : steadyUs_;
  }

  // Local time t, as the zone then reads it.
  void set(time::TDateTime t) {
    const std::lock_guard lock(mutex_);
    const std::int64_t asStandard = msOf(t) * 1000 + biasUs(std::nullopt);
    setUtc(msOf(t) * 1000 + biasUs(asStandard));
  }
  void setUtcMicroseconds(std::int64_t us) {
    const std::lock_guard lock(mutex_);
    setUtc(us);
  }
  // Moves the computer's clock; time passes on the steady clock only going
  // forward.
  void advance(std::int64_t ms) { advanceUs(ms * 1000); }
  void advanceUs(std::int64_t us) {
    const std::lock_guard lock(mutex_);
    utcUs_ += us;
    if (us > 0) steadyUs_ += us;
  }
  // A zone without daylight rules, biasMinutes west of UTC; the local
  // reading stays.
  void setBias(std::int32_t biasMinutes) {
    const std::lock_guard lock(mutex_);
    const std::int64_t localUs = utc() - biasUs(utc());
    zone = {};
    zone.id = platform::TimeZoneId::Unknown;
    zone.bias = biasMinutes;
    setUtc(localUs + biasUs(std::nullopt));
  }
  // From now on the clock runs with the host's, aheadUs ahead of it, and
  // the steady clock with the host's steady clock.
  void followHostClock(std::int64_t aheadUs) {
    const std::lock_guard lock(mutex_);
    follow_ = true;
    steadyBase_ = hostSteady();
    utcUs_ = aheadUs;
  }

 private:
  static std::int64_t msOf(time::TDateTime t) {
    return std::llround((t - time::FromUnixMilliseconds(0)) * time::kMsPerDay);
  }
  static std::int64_t hostUtc() {
    using namespace std::chrono;
    return duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
  }
  static std::int64_t hostSteady() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
  }
  std::int64_t utc() const { return follow_ ? hostUtc() + utcUs_ : utcUs_; }
  void setUtc(std::int64_t us) { utcUs_ = follow_ ? us - hostUtc() : us; }

  platform::TimeZoneInfo zoneAt(std::optional<std::int64_t> utcUs) const {
    platform::TimeZoneInfo z = zone;
    if (daylightFromUtcUs) {
      const bool daylight = utcUs && *utcUs >= *daylightFromUtcUs;
      z.id = daylight ? platform::TimeZoneId::Daylight : platform::TimeZoneId::Standard;
    }
    return z;
  }
  // Microseconds to add to local time for UTC; no moment: standard time.
  std::int64_t biasUs(std::optional<std::int64_t> utcUs) const {
    const platform::TimeZoneInfo z = zoneAt(utcUs);
    std::int32_t minutes = z.bias;
    if (z.id == platform::TimeZoneId::Daylight && z.daylightDate.month != 0)
      minutes += z.daylightBias;
    if (z.id == platform::TimeZoneId::Standard && z.standardDate.month != 0)
      minutes += z.standardBias;
    return std::int64_t{minutes} * 60'000'000;
  }
  platform::SystemTime local(std::int64_t utcUs) const {
    const std::int64_t localUs = utcUs - biasUs(utcUs);
    // Whole milliseconds, truncated, as the platform's record holds them.
    return time::ToSystemTime(time::FromUnixMilliseconds(localUs / 1000));
  }
  bool write(std::int64_t utcUs) {
    setCalls.push_back(local(utcUs));
    if (acceptSet) setUtc(utcUs);
    return acceptSet;
  }

  std::mutex mutex_;
  std::int64_t utcUs_ = msOf(time::EncodeDateTime(2021, 9, 2, 14, 0, 0, 0)) * 1000;
  std::int64_t steadyUs_ = 1'000'000;
  bool follow_ = false;
  std::int64_t steadyBase_ = 0;
};

}  // namespace hv::test
