#pragma once
// A server's answer dated 2000 or earlier is no time to set: it is the 0 of
// a query that got no reply, a wrapped era, or a broken server.
#include "time/datetime.h"

namespace hv::time {

inline constexpr int kLastRefusedYear = 2000;

inline bool YearAcceptable(TDateTime t) {
  return YearOf(t) > kLastRefusedYear;
}

}  // namespace hv::time
