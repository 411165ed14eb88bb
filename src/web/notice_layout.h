#pragma once
// The update notice's layout: a borderless 320 by 68 window on top of the
// others, the application's icon, the title, the link and a close button.
#include "ui/form.h"

namespace hv::web {

const ui::FormSpec& NewVerSpec();

}  // namespace hv::web
