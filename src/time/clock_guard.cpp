#include "time/clock_guard.h"

#include "base/error.h"
#include "time/sntp_timestamp.h"

namespace hv::time {

TDateTime FloorInLocalTime(TDateTime floorUtc, const platform::TimeZoneInfo& zone) {
  try {
    return floorUtc + sntp::OffsetDays(sntp::UtcBiasMinutes(zone));
  } catch (const Error&) {
    // A zone that can't be read: the earliest local time that day has
    // anywhere, so no honest answer is refused.
    return floorUtc - 14.0 / 24.0;
  }
}

}  // namespace hv::time
