#pragma once
// The desktop for the update notice: screen size, pointer, the visual
// style's colours, AnimateWindow, focus, and a pointer capture that follows
// a drag. Forms reach their windows through the window system's lookup.
#include <windows.h>

#include <functional>
#include <memory>

#include "platform/desktop.h"
#include "platform/win32/ui/window_system_win32.h"

namespace hv::platform::win32 {

class Win32Desktop : public Desktop {
 public:
  explicit Win32Desktop(winui::Win32WindowSystem& windows);
  ~Win32Desktop() override;
  Win32Desktop(const Win32Desktop&) = delete;
  Win32Desktop& operator=(const Win32Desktop&) = delete;

  int screenWidth() override;
  ScreenPoint cursorPos() override;
  ScreenColour styleColour(StyleColour which) override;
  void animate(ui::Form& form, unsigned ms, unsigned flags) override;
  bool focus(ui::Form& form) override;
  void capturePointer(ui::Form& form, std::function<void(ScreenPoint)> onMove,
                      std::function<void()> onRelease) override;

 private:
  struct Capture;
  static LRESULT CALLBACK captureProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR data) noexcept;
  LRESULT onCaptureMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void endCapture();

  winui::Win32WindowSystem& windows_;
  std::unique_ptr<Capture> capture_;
};

}  // namespace hv::platform::win32
