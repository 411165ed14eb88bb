#include "time/sntp_figures.h"

namespace hv::time::sntp {
namespace {

constexpr double kUnitsPerSecond = 4294967296.0;

std::uint64_t Units(NtpTimestamp t) {
  return std::uint64_t{t.seconds} << 32 | t.fraction;
}

// a - b, taken the short way round the era.
std::int64_t Difference(NtpTimestamp a, NtpTimestamp b) {
  return static_cast<std::int64_t>(Units(a) - Units(b));
}

}  // namespace

AnswerFigures MeasureExchange(NtpTimestamp t1, NtpTimestamp t2, NtpTimestamp t3, NtpTimestamp t4) {
  const std::int64_t out = Difference(t2, t1);
  const std::int64_t back = Difference(t3, t4);
  // Halved before adding, so the sum cannot overflow.
  const double offset = static_cast<double>(out / 2 + back / 2);
  const double delay =
      static_cast<double>(Difference(t4, t1)) - static_cast<double>(Difference(t3, t2));
  AnswerFigures figures;
  figures.offsetSeconds = offset / kUnitsPerSecond;
  figures.delaySeconds = delay / kUnitsPerSecond;
  return figures;
}

NtpTimestamp ServerTimeAtArrival(NtpTimestamp t1, NtpTimestamp t2, NtpTimestamp t3,
                                 NtpTimestamp t4) {
  const std::int64_t delay = Difference(t4, t1) - Difference(t3, t2);
  const std::uint64_t v = Units(t3) + static_cast<std::uint64_t>(delay / 2);
  return {static_cast<std::uint32_t>(v >> 32), static_cast<std::uint32_t>(v)};
}

NtpTimestamp AddMicroseconds(NtpTimestamp t, std::int64_t us) {
  // Whole seconds and the rest apart, so the product cannot overflow.
  const std::int64_t seconds = us / 1000000;
  const std::int64_t rest = us % 1000000;
  const std::uint64_t v = Units(t) + (static_cast<std::uint64_t>(seconds) << 32) +
                          static_cast<std::uint64_t>(rest * 4294967296LL / 1000000);
  return {static_cast<std::uint32_t>(v >> 32), static_cast<std::uint32_t>(v)};
}

}  // namespace hv::time::sntp
