#include "app/build_date.h"

#include "horvane_build_date.h"

namespace hv::app {

time::TDateTime BuildDate() {
  // TDateTime counts days from 30 December 1899; 1 January 1970 is day 25569.
  return 25569.0 + HORVANE_BUILD_DAYS_SINCE_1970;
}

}  // namespace hv::app
