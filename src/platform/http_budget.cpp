#include "platform/http_budget.h"

#include <algorithm>
#include <limits>
#include <string>

namespace hv::platform {

ExchangeBudget::ExchangeBudget(std::int64_t startUs, std::uint32_t timeoutMs,
                               std::size_t maxBodyBytes)
    : deadlineUs_(startUs + static_cast<std::int64_t>(timeoutMs) * 1000),
      timeoutMs_(timeoutMs),
      maxBodyBytes_(maxBodyBytes) {}

std::uint32_t ExchangeBudget::remainingMs(std::int64_t nowUs) const {
  const std::int64_t leftUs = deadlineUs_ - nowUs;
  if (leftUs <= 0) throw TimedOut();
  // Rounded up: a step is never given 0, which the platform reads as "no
  // time-out at all".
  return static_cast<std::uint32_t>(
      std::min<std::int64_t>((leftUs + 999) / 1000, std::numeric_limits<std::uint32_t>::max()));
}

std::size_t ExchangeBudget::room(std::size_t have) const {
  return have > maxBodyBytes_ ? 0 : maxBodyBytes_ + 1 - have;
}

void ExchangeBudget::checkSize(std::size_t have) const {
  if (have > maxBodyBytes_) throw TooLong();
}

Error ExchangeBudget::TimedOut() const {
  return Error(L"The operation timed out: the exchange did not end within " +
               std::to_wstring(timeoutMs_) + L" ms");
}

Error ExchangeBudget::TooLong() const {
  return Error(L"The answer is longer than " + std::to_wstring(maxBodyBytes_) + L" bytes");
}

}  // namespace hv::platform
