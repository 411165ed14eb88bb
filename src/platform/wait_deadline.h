#pragma once
// The end of a socket wait of timeoutMs, where 0 or less waits without limit.
// A wait that comes back early, or is interrupted, goes on for what is left.
#include <chrono>
#include <cstdint>

namespace hv::platform {

class WaitDeadline {
 public:
  explicit WaitDeadline(std::int32_t timeoutMs)
      : limited_(timeoutMs > 0), end_(Clock::now() + std::chrono::milliseconds(timeoutMs)) {}

  bool limited() const { return limited_; }
  // Whole milliseconds, rounded up, so a wait never ends short; 0 or less
  // once the end has come.
  std::int64_t leftMs() const {
    return std::chrono::ceil<std::chrono::milliseconds>(end_ - Clock::now()).count();
  }
  bool passed() const { return limited_ && leftMs() <= 0; }

 private:
  using Clock = std::chrono::steady_clock;
  bool limited_;
  Clock::time_point end_;
};

}  // namespace hv::platform
