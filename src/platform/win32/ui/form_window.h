#pragma once
// One form's native part: a top-level window, its child controls, menus,
// timers, tray icon and hotkeys. The window keeps `this` in GWLP_USERDATA,
// handles its messages in one place, and frees this object as it goes
// (WM_NCDESTROY); the form's state changes reach it as the form's native
// part. Its rooms: form_window.cpp (life, messages, state),
// form_layout.cpp (children, size, DPI), form_menus.cpp, form_keyboard.cpp
// and form_mouse.cpp; the tray icon is a TrayIcon of its own.
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/win32/ui/control_window.h"
#include "platform/win32/ui/fonts.h"
#include "platform/win32/ui/handles.h"
#include "platform/win32/ui/images.h"
#include "platform/win32/ui/native_menu.h"
#include "platform/win32/ui/tray_icon.h"
#include "ui/form.h"

namespace hv::platform::win32::winui {

class Win32WindowSystem;

// What the notification-area icon sends its window; lParam is the mouse
// message.
inline constexpr UINT kTrayCallbackMessage = WM_APP + 1;

// The numbers a form window gives its parts, in ranges that never meet:
// child control i, menu row i (the main menu's rows, then the pop-up
// menu's), form timer i, and the tray icon's retry timer.
inline constexpr int kControlIdBase = 100;
inline constexpr UINT kMenuIdBase = 0x1000;
inline constexpr UINT_PTR kTimerIdBase = 100;
inline constexpr UINT_PTR kTrayRetryTimer = 1;

class FormWindow final : public hv::ui::FormNative {
 public:
  // Makes the window of a form; from then on the window owns this object.
  static FormWindow& open(Win32WindowSystem& ws, hv::ui::Form& form, HWND owner);
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;

  static FormWindow* from(HWND hwnd);

  HWND hwnd() const { return hwnd_; }
  // The form, until it lets go; then the window is on its way out and
  // nothing of the form may be touched.
  hv::ui::Form* form() const { return form_; }
  int dpi() const { return dpi_; }
  FontCache& fonts() { return fonts_; }
  ImageLibrary& images();
  HBRUSH background() const;
  COLORREF backgroundColour() const;
  ControlWindow* controlWindow(const hv::ui::Control& control) const;

  // Runs a form event through the window system's dispatch; false when the
  // form let go meanwhile (then nothing of it may be touched).
  bool dispatch(const std::function<void()>& event);
  // What a window procedure caught goes to the window system's report.
  void report(const std::exception_ptr& failure) noexcept;
  // Runs one of the form's or a control's events through dispatch, when it
  // has a handler; false when the form let go meanwhile.
  template <class... Params, class... Args>
  bool fire(const std::function<void(Params...)>& event, Args&&... args) {
    return dispatch([&] {
      if (event) event(std::forward<Args>(args)...);
    });
  }
  // Places every child again (texts, visibility, bounds or DPI changed);
  // one where it belongs already stays.
  void relayout();
  // Shows the control's tooltip, or takes it away when it has none.
  void setHint(ControlWindow& control);
  // Keys before the focused control sees them: the control's OnKeyDown,
  // the menu shortcuts, Tab, Enter (default button) and Escape (cancel
  // button). True when the message was used up.
  bool preTranslate(MSG& msg);
  // What a panel passes on from its children.
  std::optional<LRESULT> childMessage(UINT msg, WPARAM wParam, LPARAM lParam);

  // Shows the pop-up menu at a screen point and runs the chosen item.
  void popupMenuAt(int x, int y);

  void registerHotKey(std::uint16_t id, unsigned modifiers, unsigned virtualKey);
  void unregisterHotKey(std::uint16_t id);

  // FormNative
  void captionChanged() override;
  void visibilityChanged(hv::ui::Showing why) override;
  void positionChanged() override;
  void trayChanged() override;
  void invalidate() override;
  void controlChanged(hv::ui::Control& control, hv::ui::Change what) override;
  void menuChanged(hv::ui::MenuItem& item) override;
  void timerChanged(hv::ui::Timer& timer) override;
  // The window hides at once, drops its hotkeys and tray icon, and posts
  // itself the message that destroys it: it may be inside one of its own
  // messages now.
  void formGone() noexcept override;

  static LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;

 private:
  FormWindow(Win32WindowSystem& ws, hv::ui::Form& form);
  // Freed by its window only.
  ~FormWindow();
  void create(HWND owner);
  LRESULT onMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  void realizeContents();
  void syncPosition();
  // The tray icon's picture at the window's DPI.
  HICON trayPicture();
  void trayMessage(LPARAM mouse);
  void showTrayMenu();

  // form_layout.cpp
  void setWindowIcons();
  void createControls();
  // Where each control goes in its parent, in physical pixels; nothing for
  // a hidden docked one.
  std::vector<std::optional<hv::ui::Bounds>> layout() const;
  // The frame around the client area at a DPI, where the window goes.
  RECT frameRect(int dpi, DWORD style, DWORD ex, bool menu, std::optional<RECT> suggested) const;
  void sizeWindow(std::optional<RECT> suggested);
  void dpiChanged(int dpi, const RECT& suggested);

  // form_menus.cpp
  void makeMenus();
  void installMenuBar();
  hv::ui::MenuItem* menuItemFor(UINT id) const;
  void measureMenuItem(MEASUREITEMSTRUCT& m);
  void drawMenuItem(const DRAWITEMSTRUCT& d);
  void menuLoop(bool entered);

  // form_keyboard.cpp
  void focusFirst();
  void activated(WPARAM how);
  bool dialogKey(const MSG& msg);
  ControlWindow* controlFor(HWND hwnd) const;

  // form_mouse.cpp: mouse messages on the window itself; true when the
  // form took them.
  bool mouse(UINT msg, LPARAM at);

  Win32WindowSystem& ws_;
  hv::ui::Form* form_;
  HWND hwnd_ = nullptr;
  int dpi_ = 96;
  FontCache fonts_;
  BrushHandle backgroundBrush_;
  // In table order, index = row of the layout; created in tab order.
  std::vector<std::unique_ptr<ControlWindow>> controls_;
  std::vector<std::size_t> creationOrder_;
  std::unique_ptr<NativeMenu> mainMenu_, popupMenu_;
  MenuHandle menuBar_;
  bool menuBarStale_ = false;
  bool inMenuLoop_ = false;
  AccelHandle accelerators_;
  std::unique_ptr<TrayIcon> tray_;
  bool trayPending_ = false;  // made, its add posted
  HWND tooltip_ = nullptr;    // owned by the window, and goes with it
  std::vector<std::uint16_t> hotKeys_;
  HWND lastFocus_ = nullptr;
  bool shownOnce_ = false;
};

}  // namespace hv::platform::win32::winui
