#pragma once
// The feedback window's layout at 96 DPI.
#include "ui/form.h"

namespace hv::web {

const ui::FormSpec& FeedbackFormSpec();

}  // namespace hv::web
