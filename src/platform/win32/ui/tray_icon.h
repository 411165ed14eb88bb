#pragma once
// The notification-area icon of one window. Adding is checked; a refused add
// is tried again every two seconds, fifteen times at most (Explorer may not
// be up yet), and the icon is added anew when the taskbar is made again. It
// goes when the object does. Every call to the notification area goes
// through one notify function, which tests replace with an area of their own.
#include <windows.h>
// After <windows.h>, which it needs.
#include <shellapi.h>

#include <functional>
#include <string>

#include "ui/tray_clicks.h"

namespace hv::platform::win32::winui {

class TrayIcon {
 public:
  // Shell_NotifyIconW's shape: the message (NIM_ADD, NIM_MODIFY, NIM_DELETE)
  // and the icon's data; true when the area took it.
  using Notify = std::function<bool(DWORD message, const NOTIFYICONDATAW& data)>;
  static Notify shellNotify();

  // The owner's timer retryTimer is the icon's own, for its retries.
  TrayIcon(HWND owner, UINT callbackMessage, UINT_PTR retryTimer, Notify notify);
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;
  ~TrayIcon();

  // Adds the icon, or changes it when it is there.
  void show(HICON icon, const std::wstring& tip);
  // The owner's WM_TIMER; true when it was the retry timer.
  bool timer(UINT_PTR id);
  // The taskbar was made again: the old icon went with the old one.
  void taskbarCreated();
  bool added() const { return added_; }

  // What the icon's mouse message (the callback message's lParam) means.
  hv::ui::TrayAction mouse(LPARAM message);
  // A menu took the mouse: a release that follows is no click.
  void menuClosed() { clicks_.reset(); }

 private:
  NOTIFYICONDATAW data() const;
  bool tryShow();

  HWND owner_;
  UINT callback_;
  UINT_PTR retryTimer_;
  Notify notify_;
  HICON icon_ = nullptr;
  std::wstring tip_;
  bool added_ = false;
  int retries_ = 0;
  hv::ui::TrayClickTracker clicks_;
};

}  // namespace hv::platform::win32::winui
