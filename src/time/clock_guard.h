#pragma once
// What a server's answer may do to the computer's clock. Many things trust
// the clock (certificates, Kerberos, one-time codes), and a forged answer
// must not move it far:
// - no answer dated before the program was built is believed, as no answer
//   dated 2000 or earlier is;
// - no step larger than 15 hours is made without a person's yes, the limit
//   Windows Time keeps on stand-alone computers. A computer whose own clock
//   reads before the build date is certainly wrong, and may be stepped
//   forward without one.
#include "platform/clock.h"
#include "time/datetime.h"

namespace hv::time {

inline constexpr double kLargestUnattendedStepSeconds = 15 * 3600;

// The build date, a UTC day, as the local time of that moment in the zone
// in force.
TDateTime FloorInLocalTime(TDateTime floorUtc, const platform::TimeZoneInfo& zone);

inline bool AtOrAfterFloor(TDateTime local, TDateTime floorLocal) {
  return local >= floorLocal;
}

// stepSeconds: the answer minus the computer's clock.
inline bool StepNeedsAPerson(double stepSeconds) {
  return stepSeconds > kLargestUnattendedStepSeconds ||
         stepSeconds < -kLargestUnattendedStepSeconds;
}

inline bool UnattendedStepAllowed(double stepSeconds, TDateTime computerNow, TDateTime floorLocal) {
  if (!StepNeedsAPerson(stepSeconds)) return true;
  return stepSeconds > 0 && !AtOrAfterFloor(computerNow, floorLocal);
}

}  // namespace hv::time
