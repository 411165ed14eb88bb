#pragma once
// The day this program was built, fixed by its sources (the build reads it
// from the last commit, not from the clock of the machine that builds).
#include "time/datetime.h"

namespace hv::app {

// 00:00 UTC of that day.
time::TDateTime BuildDate();

}  // namespace hv::app
