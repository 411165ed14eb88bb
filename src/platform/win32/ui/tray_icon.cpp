#include "platform/win32/ui/tray_icon.h"

#include <shellapi.h>

namespace hv::platform::win32::winui {

namespace {
constexpr UINT kIconId = 1;
}

NOTIFYICONDATAW TrayIcon::data(HICON icon, const std::wstring& tip) const {
  NOTIFYICONDATAW d{};
  d.cbSize = sizeof(d);
  d.hWnd = owner_;
  d.uID = kIconId;
  d.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  d.uCallbackMessage = callback_;
  d.hIcon = icon;
  // The area keeps at most 127 characters and the terminating NUL.
  tip.copy(d.szTip, std::size(d.szTip) - 1);
  return d;
}

bool TrayIcon::show(HICON icon, const std::wstring& tip) {
  auto d = data(icon, tip);
  if (added_) return Shell_NotifyIconW(NIM_MODIFY, &d) != FALSE;
  // An add that timed out may still have gone through; then the icon
  // takes the modification.
  added_ = Shell_NotifyIconW(NIM_ADD, &d) != FALSE || Shell_NotifyIconW(NIM_MODIFY, &d) != FALSE;
  return added_;
}

bool TrayIcon::readd(HICON icon, const std::wstring& tip) {
  added_ = false;
  return show(icon, tip);
}

void TrayIcon::remove() {
  if (!added_) return;
  NOTIFYICONDATAW d{};
  d.cbSize = sizeof(d);
  d.hWnd = owner_;
  d.uID = kIconId;
  Shell_NotifyIconW(NIM_DELETE, &d);
  added_ = false;
}

}  // namespace hv::platform::win32::winui
