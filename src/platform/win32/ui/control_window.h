#pragma once
// One control as a child window of its standard class. It mirrors the
// control's state on screen and turns the user's actions (the notifications
// its parent reflects back to it, mouse and cursor messages from its
// subclass) into the control's from-user calls and events.
#include <windows.h>

#include <optional>

#include "platform/win32/ui/handles.h"
#include "ui/controls.h"
#include "ui/layout_rules.h"

namespace hv::platform::win32::winui {

class FormWindow;

class ControlWindow : public hv::ui::ControlPeer {
 public:
  // parent: the form's window or the window of the panel that holds it.
  ControlWindow(FormWindow& form, hv::ui::Control& control, ControlWindow* parentPanel, HWND parent,
                int id);
  ControlWindow(const ControlWindow&) = delete;
  ControlWindow& operator=(const ControlWindow&) = delete;
  ~ControlWindow() override;

  static ControlWindow* from(HWND hwnd);

  HWND hwnd() const { return hwnd_.get(); }
  hv::ui::Control& control() const { return control_; }
  ControlWindow* parentPanel() const { return parentPanel_; }

  void changed(hv::ui::Control& control, hv::ui::Change what) override;

  // A WM_COMMAND notification the parent received from this window.
  void command(WORD code);
  // WM_CTLCOLOR*: the brush to paint with, after setting the colours into
  // dc; nothing when the platform's defaults apply.
  std::optional<HBRUSH> colours(HDC dc);
  // What the children of a panel, and the transparent parts of this
  // control, show through.
  HBRUSH background() const;

  // Size the control needs where its layout gives 0, in physical pixels.
  ui::layout::Size naturalSize() const;
  void place(const hv::ui::Bounds& physical);
  // The window's DPI changed: new font and pictures.
  void rescale();
  // Whether the keyboard focus is on this control (or inside a combo's edit).
  bool owns(HWND focus) const;
  bool droppedDown() const;
  bool wantsReturn() const;
  // Lets go of the control and of the native window, which goes with its
  // parent; nothing of either is touched afterwards (the control may be
  // freed before this object is).
  void forget();

 private:
  static LRESULT CALLBACK subclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  LRESULT onMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void create(HWND parent, int id);
  void unhook();
  // A label without text that shows a picture.
  bool isPicture() const;
  bool paintsItself() const;
  void paint(HDC dc);
  // A mouse button went down or up; false when the form went meanwhile.
  bool mouse(UINT msg, int button);
  std::wstring nativeText() const;
  void writeText(const std::wstring& text);
  void fillList();
  void applyFont();
  void applyIcon();
  void applyState();
  HFONT font() const;

  FormWindow& form_;
  hv::ui::Control& control_;
  ControlWindow* parentPanel_;
  // Before the window, which uses them until it goes.
  BrushHandle brush_;          // the control's own back colour, when it has one
  ImageListHandle imageList_;  // a button's picture
  WindowHandle hwnd_;
  bool attached_ = true;   // the control is there and we are its peer
  bool writing_ = false;   // our own text change: no from-user notification
  bool tracking_ = false;  // the pointer is over the control
  bool captured_ = false;  // we hold the pointer for a drag
};

}  // namespace hv::platform::win32::winui
