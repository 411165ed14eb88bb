#pragma once
// A TDateTime as whole milliseconds, rounded, so tests compare instants
// exactly instead of as fractions of a day.
#include <cmath>
#include <cstdint>

#include "time/datetime.h"

namespace hv::test {

inline std::int64_t MsOf(time::TDateTime t) {
  return std::llround(t * time::kMsPerDay);
}

}  // namespace hv::test
