#include "platform/win32/ui/tray_icon.h"

namespace hv::platform::win32::winui {
namespace {

constexpr UINT kIconId = 1;
constexpr UINT kRetryMs = 2000;
constexpr int kRetries = 15;

hv::ui::TrayMouse TrayMouseEvent(LPARAM message) {
  switch (LOWORD(message)) {
    case WM_LBUTTONDOWN:
      return hv::ui::TrayMouse::LeftDown;
    case WM_LBUTTONUP:
      return hv::ui::TrayMouse::LeftUp;
    case WM_LBUTTONDBLCLK:
      return hv::ui::TrayMouse::LeftDouble;
    case WM_RBUTTONDOWN:
      return hv::ui::TrayMouse::RightDown;
    case WM_RBUTTONUP:
      return hv::ui::TrayMouse::RightUp;
    default:
      return hv::ui::TrayMouse::Other;
  }
}

}  // namespace

TrayIcon::Notify TrayIcon::shellNotify() {
  return [](DWORD message, const NOTIFYICONDATAW& data) {
    auto copy = data;
    return Shell_NotifyIconW(message, &copy) != FALSE;
  };
}

TrayIcon::TrayIcon(HWND owner, UINT callbackMessage, UINT_PTR retryTimer, Notify notify)
    : owner_(owner),
      callback_(callbackMessage),
      retryTimer_(retryTimer),
      notify_(std::move(notify)) {}

TrayIcon::~TrayIcon() {
  KillTimer(owner_, retryTimer_);
  if (!added_) return;
  NOTIFYICONDATAW d{};
  d.cbSize = sizeof(d);
  d.hWnd = owner_;
  d.uID = kIconId;
  notify_(NIM_DELETE, d);
}

NOTIFYICONDATAW TrayIcon::data() const {
  NOTIFYICONDATAW d{};
  d.cbSize = sizeof(d);
  d.hWnd = owner_;
  d.uID = kIconId;
  d.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  d.uCallbackMessage = callback_;
  d.hIcon = icon_;
  // The area keeps at most 127 characters and the terminating NUL.
  tip_.copy(d.szTip, std::size(d.szTip) - 1);
  return d;
}

bool TrayIcon::tryShow() {
  const auto d = data();
  if (added_) return notify_(NIM_MODIFY, d);
  // An add that timed out may still have gone through; then the icon
  // takes the modification.
  added_ = notify_(NIM_ADD, d) || notify_(NIM_MODIFY, d);
  return added_;
}

void TrayIcon::show(HICON icon, const std::wstring& tip) {
  icon_ = icon;
  tip_ = tip;
  if (tryShow()) {
    KillTimer(owner_, retryTimer_);
    retries_ = 0;
  } else if (retries_ < kRetries) {
    SetTimer(owner_, retryTimer_, kRetryMs, nullptr);
  }
}

bool TrayIcon::timer(UINT_PTR id) {
  if (id != retryTimer_) return false;
  KillTimer(owner_, retryTimer_);
  ++retries_;
  show(icon_, tip_);
  return true;
}

void TrayIcon::taskbarCreated() {
  added_ = false;
  retries_ = 0;
  show(icon_, tip_);
}

hv::ui::TrayAction TrayIcon::mouse(LPARAM message) {
  return clicks_.feed(TrayMouseEvent(message));
}

}  // namespace hv::platform::win32::winui
