#pragma once
// The allowance of one HTTP exchange: one deadline for the whole of it, from
// the connection to the last byte of the body, and a limit on the body. A
// hostile host may trickle its answer or never end it; neither may hold the
// caller longer than the deadline, or fill more memory than the limit.
#include <cstddef>
#include <cstdint>

#include "base/error.h"

namespace hv::platform {

// The most an answer body may hold; the maker's answers are a few lines.
inline constexpr std::size_t kMaxAnswerBytes = 64 * 1024;

class ExchangeBudget {
 public:
  // Times are microseconds on one steady clock; startUs is now.
  ExchangeBudget(std::int64_t startUs, std::uint32_t timeoutMs,
                 std::size_t maxBodyBytes = kMaxAnswerBytes);

  std::int64_t deadlineUs() const { return deadlineUs_; }
  // What is left at nowUs for the next step, in whole milliseconds rounded
  // up; throws TimedOut() when nothing is left.
  std::uint32_t remainingMs(std::int64_t nowUs) const;
  // How many more bytes the next read may ask for, on a body of `have`
  // bytes: one past the limit, so an answer that goes beyond it shows.
  std::size_t room(std::size_t have) const;
  // Throws TooLong() when a body of `have` bytes is past the limit.
  void checkSize(std::size_t have) const;

  Error TimedOut() const;
  Error TooLong() const;

 private:
  std::int64_t deadlineUs_;
  std::uint32_t timeoutMs_;
  std::size_t maxBodyBytes_;
};

}  // namespace hv::platform
