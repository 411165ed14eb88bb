// Mouse presses, moves and releases on a form window itself (not on its
// controls): a press holds the pointer while the form follows a drag.
#include <windowsx.h>

#include "platform/win32/ui/form_window.h"

namespace hv::platform::win32::winui {

bool FormWindow::mouse(UINT msg, LPARAM at) {
  const int x = GET_X_LPARAM(at), y = GET_Y_LPARAM(at);
  const bool down = msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN;
  const bool up = msg == WM_LBUTTONUP || msg == WM_RBUTTONUP || msg == WM_MBUTTONUP;
  const int button = (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONUP)   ? 1
                     : (msg == WM_RBUTTONDOWN || msg == WM_RBUTTONUP) ? 2
                                                                      : 3;
  if (down) {
    // The moves of a drag come here even when the pointer leaves the window.
    if (form_->OnMouseMove || form_->OnMouseUp) SetCapture(hwnd_);
    if (!form_->OnMouseDown) return false;
    fire(form_->OnMouseDown, button, x, y);
    return true;
  }
  if (up) {
    if (GetCapture() == hwnd_) ReleaseCapture();
    if (!form_->OnMouseUp) return false;
    fire(form_->OnMouseUp, button, x, y);
    return true;
  }
  if (!form_->OnMouseMove) return false;
  fire(form_->OnMouseMove, x, y);
  return true;
}

}  // namespace hv::platform::win32::winui
