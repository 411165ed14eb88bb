#pragma once
// The native side of one control: a child window of its standard class,
// part of its form's window. It shows the control's state and turns the
// user's actions (the notifications its parent reflects back to it, mouse
// and cursor messages from its subclass) into the control's from-user calls
// and events. It never tells the control what the control told it: a
// notification that finds the window as the control has it is its own echo. What differs
// between the kinds of control is in one small class per kind
// (control_kinds.h); make() picks it.
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>

#include "platform/win32/ui/handles.h"
#include "ui/controls.h"
#include "ui/layout_rules.h"

namespace hv::platform::win32::winui {

class FormWindow;

inline COLORREF ColourRef(hv::ui::Colour c) {
  return RGB(c.r, c.g, c.b);
}

class ControlWindow {
 public:
  // The native side of a control, its window not made yet: its size can be
  // measured first, so that the window is made where it goes.
  static std::unique_ptr<ControlWindow> make(FormWindow& form, hv::ui::Control& control,
                                             ControlWindow* parentPanel);
  // parent: the form's window or the window of the panel that holds it;
  // at: where it goes in it, in physical pixels.
  void create(HWND parent, int id, const hv::ui::Bounds& at);
  ControlWindow(const ControlWindow&) = delete;
  ControlWindow& operator=(const ControlWindow&) = delete;
  // After its window went with the form's.
  virtual ~ControlWindow() = default;

  static ControlWindow* from(HWND hwnd);

  HWND hwnd() const { return hwnd_; }
  hv::ui::Control& control() const { return control_; }
  ControlWindow* parentPanel() const { return parentPanel_; }

  // The control changed; the window shows it.
  void changed(hv::ui::Change what);

  // A WM_COMMAND notification the parent received from this window.
  virtual void command(WORD code) { (void)code; }
  // WM_CTLCOLOR*: the brush to paint with, after setting the colours into
  // dc; nothing when the platform's defaults apply. By default the text
  // shows what lies behind it.
  virtual std::optional<HBRUSH> colours(HDC dc);
  // What the children of a panel, and the transparent parts of this
  // control, show through.
  virtual HBRUSH background() const;

  // Size the control needs where its layout gives 0, in physical pixels;
  // known before the window exists, unless its kind says otherwise.
  virtual ui::layout::Size naturalSize() const;
  // Puts the window at these bounds in its parent; one there already is
  // not moved again.
  void place(const hv::ui::Bounds& physical);
  // The window's DPI changed: new font and pictures.
  void rescale();
  virtual bool droppedDown() const { return false; }
  virtual bool wantsReturn() const { return false; }

 protected:
  struct NativeClass {
    const wchar_t* name;
    DWORD style;
    DWORD exStyle = 0;
  };

  ControlWindow(FormWindow& form, hv::ui::Control& control, ControlWindow* parentPanel);
  virtual NativeClass nativeClass() const = 0;
  // A kind whose size only its window knows (it follows the font) is placed
  // again once the window is made.
  virtual bool sizedByWindow() const { return false; }
  virtual void move(const hv::ui::Bounds& physical);
  // After the window is made, before its text and state are shown.
  virtual void created() {}
  // A change of the control that its kind shows in its own way; false
  // leaves it to the common handling.
  virtual bool show(hv::ui::Change what) {
    (void)what;
    return false;
  }
  virtual void applyIcon() {}
  // Drawn whole in WM_PAINT, not by the class.
  virtual bool paintsItself() const { return false; }
  virtual void paint(HDC dc) { (void)dc; }
  // A label or panel keeps the pointer while a button pressed on it is
  // held, so the moves of a drag reach it; buttons do that themselves.
  virtual bool holdsPointer() const { return false; }
  virtual std::optional<LRESULT> message(UINT msg, WPARAM wParam, LPARAM lParam);

  // The text as the native window shows it.
  virtual std::wstring shownText() const { return control_.text(); }
  std::wstring nativeText() const;
  void writeText(const std::wstring& text);
  void applyState();
  HFONT font() const;
  // The brush of the panel or window this control sits on.
  HBRUSH behind() const;
  // Runs an event of the control as the form's events run; false when the
  // form went meanwhile.
  bool dispatch(const std::function<void()>& event);

  FormWindow& form_;
  hv::ui::Control& control_;
  ControlWindow* parentPanel_;
  // Before the window, which uses them until it goes.
  BrushHandle brush_;          // a panel's own back colour, when it has one
  ImageListHandle imageList_;  // a button's picture after its caption

 private:
  static LRESULT CALLBACK windowProc(HWND, UINT, WPARAM, LPARAM) noexcept;
  LRESULT onMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  // What follows the window's making: its lookup, subclass, font, picture
  // and text.
  void finishCreate();
  void applyFont();
  // A mouse button went down or up; false when the form went meanwhile.
  bool mouse(UINT msg, int button);

  HWND hwnd_ = nullptr;                   // goes with the form's window
  WNDPROC classProc_ = nullptr;           // the standard class's, which this window calls on
  bool tracking_ = false;                 // the pointer is over the control
  std::optional<hv::ui::Bounds> placed_;  // where the window was last put
};

}  // namespace hv::platform::win32::winui
