#pragma once
// The window-system boundary. The Win32 backend realises forms as real
// windows; the headless one keeps them in memory and runs timers on a fake
// millisecond clock, so the same form classes run in tests.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "ui/form.h"

namespace hv::ui {

enum class MessageIcon { None, Error, Warning, Information, Question };
enum class SystemColour { ButtonFace, WindowText, Highlight, HighlightText };

// Physical pixels.
struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};
struct Size {
  int width = 0;
  int height = 0;
  friend bool operator==(const Size&, const Size&) = default;
};
enum class MessageButtons { OK, YesNo };

struct MessageBoxRequest {
  std::wstring text;
  std::wstring caption;
  MessageIcon icon = MessageIcon::None;
  MessageButtons buttons = MessageButtons::OK;
  // Captions that replace the standard ones, in button order.
  std::vector<std::wstring> buttonCaptions;
  // The button Enter presses, in button order.
  std::size_t defaultButton = 0;
};

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  // A failure that no handler caught reaches the event loop here and goes to
  // the one error report. Every event the window system delivers (clicks,
  // menu commands, timers, hotkey, posted work) runs through dispatch().
  void setErrorHandler(std::function<void(std::exception_ptr)> handler) {
    errorHandler_ = std::move(handler);
  }
  void dispatch(const std::function<void()>& event) {
    try {
      event();
    } catch (...) {
      if (!errorHandler_) throw;
      errorHandler_(std::current_exception());
    }
  }
  // What a window procedure caught: nothing may unwind through the system,
  // so it goes to the same report. Should the report itself fail, nothing
  // is left to tell it to.
  void report(const std::exception_ptr& failure) noexcept {
    try {
      if (errorHandler_) errorHandler_(failure);
    } catch (...) {
    }
  }

  // Makes the native part of a form that was just built (hidden): its
  // window, controls, menus and timers. The form holds it until it ends,
  // then tells it so (FormNative::formGone), and it frees itself.
  virtual FormNative& realize(Form& form) = 0;

  // Runs the event loop until terminate().
  virtual void run() = 0;
  virtual void terminate() = 0;
  virtual bool terminated() const = 0;
  // Lets the pending window messages run once.
  virtual void processMessages() = 0;
  // Runs a modal loop for the form until it has a modal result or closes.
  virtual void runModal(Form& form) = 0;

  // Work for the user-interface thread: posted runs later; invoke blocks the
  // calling thread until it ran (it runs at once on the UI thread itself).
  virtual void post(std::function<void()> work) = 0;
  virtual void invoke(std::function<void()> work) = 0;
  virtual bool onUiThread() const = 0;

  virtual ModalResult messageBox(Form* owner, const MessageBoxRequest& request) = 0;
  virtual void beep() = 0;
  virtual std::uint32_t tickCount() = 0;

  // Global hotkey on the form's window; results are not examined.
  virtual void registerHotKey(Form& form, std::uint16_t id, unsigned modifiers,
                              unsigned virtualKey) = 0;
  virtual void unregisterHotKey(Form& form, std::uint16_t id) = 0;

  // Dots per inch of the monitor the form is on (96 headless).
  virtual int dpi(const Form& form) = 0;

  // Where the pointer is on the screen.
  virtual Point cursorPos() { return {}; }
  // The screen point of a control's bottom-left client corner, where a
  // drop-down menu under it begins.
  virtual Point bottomLeftOnScreen(Form& form, const Control& control) {
    const auto& b = control.bounds();
    return {form.left() + b.left, form.top() + b.top + b.height};
  }
  // Shows the form's pop-up menu at a screen point; returns once it closed,
  // after the OnClick of a chosen item ran.
  virtual void popupMenu(Form& form, Point screen) {
    (void)form;
    (void)screen;
  }
  // The window's outer size, frame included.
  virtual Size outerSize(const Form& form) {
    return {form.design().clientWidth, form.design().clientHeight};
  }
  // A colour of the active visual style (the classic ones by default).
  virtual Colour systemColour(SystemColour which) {
    switch (which) {
      case SystemColour::ButtonFace:
        return {240, 240, 240};
      case SystemColour::WindowText:
        return {0, 0, 0};
      case SystemColour::Highlight:
        return {0, 120, 215};
      case SystemColour::HighlightText:
        return {255, 255, 255};
    }
    return {};
  }

 private:
  std::function<void(std::exception_ptr)> errorHandler_;
};

}  // namespace hv::ui
