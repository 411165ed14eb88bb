#pragma once
// The end of a wait, as a moment on one clock's steady scale, or none. The
// client and the socket adapters all read it on the clock that made it, so a
// wait ends when that clock says, whether the clock is the computer's or a
// test's. A real socket therefore needs a clock that moves on by itself.
#include <algorithm>
#include <cstdint>

#include "platform/clock.h"

namespace hv::platform {

class Deadline {
 public:
  // Without limit.
  static Deadline never(Clock& clock) { return Deadline(clock, false, 0); }
  // timeoutMs from now; 0 or less waits without limit.
  static Deadline after(Clock& clock, std::int64_t timeoutMs) {
    if (timeoutMs <= 0) return never(clock);
    return Deadline(clock, true, clock.steadyMicroseconds() + timeoutMs * 1000);
  }
  // At steadyUs on the clock's steady scale.
  static Deadline at(Clock& clock, std::int64_t steadyUs) {
    return Deadline(clock, true, steadyUs);
  }

  Clock& clock() const { return *clock_; }
  bool limited() const { return limited_; }
  // Only of a limited deadline.
  std::int64_t steadyUs() const { return steadyUs_; }
  // This one, or the moment steadyUs when that comes first.
  Deadline soonerOf(std::int64_t steadyUs) const {
    return at(*clock_, limited_ ? std::min(steadyUs_, steadyUs) : steadyUs);
  }
  // Whole milliseconds left, rounded up so a wait never ends short; 0 once
  // the end has come. Only of a limited deadline.
  std::int64_t leftMs() const {
    const std::int64_t leftUs = steadyUs_ - clock_->steadyMicroseconds();
    return leftUs > 0 ? (leftUs + 999) / 1000 : 0;
  }
  bool passed() const { return limited_ && clock_->steadyMicroseconds() >= steadyUs_; }

 private:
  Deadline(Clock& clock, bool limited, std::int64_t steadyUs)
      : clock_(&clock), limited_(limited), steadyUs_(steadyUs) {}

  Clock* clock_;
  bool limited_;
  std::int64_t steadyUs_;
};

}  // namespace hv::platform
