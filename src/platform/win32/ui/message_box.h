#pragma once
// The platform's message box. Custom button captions replace the standard
// ones in button creation order (Yes before No), through a hook that sees
// the box before it is shown.
#include <windows.h>

#include "ui/window_system.h"

namespace hv::platform::win32::winui {

// owner null: the box is modal to every window of the thread.
hv::ui::ModalResult ShowMessageBox(HWND owner, const hv::ui::MessageBoxRequest& request);

}  // namespace hv::platform::win32::winui
