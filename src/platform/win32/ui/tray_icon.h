#pragma once
// One notification-area icon of a window. Adding is checked; a failed add is
// tried again by the owner (Explorer may not be up yet), and the icon is
// added anew when the taskbar is re-created. It goes when the object does.
#include <windows.h>
// After <windows.h>, which it needs.
#include <shellapi.h>

#include <string>

namespace hv::platform::win32::winui {

class TrayIcon {
 public:
  TrayIcon(HWND owner, UINT callbackMessage) : owner_(owner), callback_(callbackMessage) {}
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;
  ~TrayIcon() { remove(); }

  // Adds the icon, or updates it when it is there; true when it shows.
  bool show(HICON icon, const std::wstring& tip);
  // The taskbar was re-created: the old icon is gone with it.
  bool readd(HICON icon, const std::wstring& tip);
  void remove();
  bool added() const { return added_; }

 private:
  NOTIFYICONDATAW data(HICON icon, const std::wstring& tip) const;
  HWND owner_;
  UINT callback_;
  bool added_ = false;
};

}  // namespace hv::platform::win32::winui
