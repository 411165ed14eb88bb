#pragma once
// A window: its layout table, its control objects, menus, timers and tray
// icon. The form owns them all and keeps their state; the native part that a
// window system makes for it shows that state on screen (or, headless, keeps
// what tests read). A form comes to life through MakeForm, which realises it
// once it is whole, and goes through FormPtr, which ends its window before
// the object is taken apart.
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "ui/controls.h"
#include "ui/layout_row.h"

namespace hv::ui {

class WindowSystem;
class Form;
class FormNative;

struct MenuSpec {
  std::string_view name;
  std::wstring_view caption{};
  std::string_view parent{};  // empty: a top-level item of its menu
  bool separator = false;
  bool checked = false;
  bool enabled = true;
  bool visible = true;
  std::string_view icon{};
  std::wstring_view shortcut{};  // for example L"F1"
};

class MenuItem {
 public:
  MenuItem(Form& form, const MenuSpec& design);
  MenuItem(const MenuItem&) = delete;
  MenuItem& operator=(const MenuItem&) = delete;
  const MenuSpec& design() const { return design_; }
  std::string_view name() const { return design_.name; }
  const std::wstring& caption() const { return caption_; }
  void setCaption(std::wstring caption);
  bool checked() const { return checked_; }
  void setChecked(bool on);
  bool enabled() const { return enabled_; }
  void setEnabled(bool on);
  bool visible() const { return visible_; }
  void setVisible(bool on);
  // Runs OnClick as choosing the item does, when it is enabled.
  void click();
  std::function<void()> OnClick;

 private:
  void notify();
  Form& form_;
  const MenuSpec& design_;
  std::wstring caption_;
  bool checked_, enabled_, visible_;
};

struct TimerSpec {
  std::string_view name;
  unsigned interval = 1000;
  bool enabled = true;
};

// A window timer: ticks every interval while enabled; enabling it again, or
// changing the interval, restarts the countdown.
class Timer {
 public:
  Timer(Form& form, const TimerSpec& design);
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;
  const TimerSpec& design() const { return design_; }
  std::string_view name() const { return design_.name; }
  unsigned interval() const { return interval_; }
  void setInterval(unsigned ms);
  bool enabled() const { return enabled_; }
  void setEnabled(bool on);
  // Called by the window system when the countdown ran out.
  void fire();
  std::function<void()> OnTimer;

 private:
  void notify();
  Form& form_;
  const TimerSpec& design_;
  unsigned interval_;
  bool enabled_;
};

enum class BorderStyle { Single, Dialog, None };
enum class Position { ScreenCenter, Manual };
enum class WindowState { Normal, Minimized };
enum class ModalResult { None, OK, Cancel, Yes, No };

// A window's row. Every field has a default (a fixed single frame with a
// system menu, centred on the screen, Tahoma 11), so a window names only
// what sets it apart.
struct FormSpec {
  std::string_view name;
  std::wstring_view caption{};
  int clientWidth = 0;  // at 96 DPI
  int clientHeight = 0;
  BorderStyle border = BorderStyle::Single;
  bool systemMenu = true;
  bool minimizeBox = false;
  bool maximizeBox = false;
  bool toolWindow = false;  // no taskbar entry, small caption
  bool topMost = false;
  Position position = Position::ScreenCenter;
  std::wstring_view fontName = L"Tahoma";
  int fontHeight = 11;
  Colour background{};
  bool hasBackground = false;  // otherwise the button-face colour
  std::span<const ControlSpec> controls{};
  std::span<const MenuSpec> mainMenu{};
  std::span<const MenuSpec> popupMenu{};
  std::span<const TimerSpec> timers{};
  bool trayIcon = false;
  std::wstring_view trayHint{};
};

// What moved the window's visibility: a show or hide, a change of window
// state, or a call to come to the front.
enum class Showing { Visibility, State, Front };

// The part of a form that a window system makes as it realises the form. The
// form tells it of every change of its own state and of its parts'; it never
// tells the form what the form told it, only what the user or the system did
// (the *FromUser calls). The form holds it until it ends.
class FormNative {
 public:
  virtual void captionChanged() = 0;
  virtual void visibilityChanged(Showing why) = 0;
  virtual void positionChanged() = 0;
  virtual void trayChanged() = 0;
  // Repaint the painted parts of the window (decoration only).
  virtual void invalidate() = 0;
  virtual void controlChanged(Control& control, Change what) = 0;
  virtual void menuChanged(MenuItem& item) = 0;
  // Enabled or interval changed: restart or stop the countdown.
  virtual void timerChanged(Timer& timer) = 0;
  // The form lets go: from here on the native part does not reach it, and
  // frees itself (a window posts itself the message that destroys it).
  virtual void formGone() noexcept = 0;

 protected:
  ~FormNative() = default;
};

struct FormDeleter {
  void operator()(Form* form) const noexcept;
};

// Owns a window from MakeForm to its end.
template <class F>
using FormPtr = std::unique_ptr<F, FormDeleter>;

template <class F, class... Args>
FormPtr<F> MakeForm(Args&&... args);

// What a form paints itself: decoration such as the About animation.
class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual void fillRect(Bounds r, Colour c) = 0;
  virtual void drawText(int x, int y, std::wstring_view text, Colour c, int fontHeight,
                        bool bold) = 0;
  virtual void drawImage(std::string_view image, Bounds r) = 0;
};

class Form {
 public:
  // Builds the controls, menus and timers of the table; no window yet.
  Form(WindowSystem& ws, const FormSpec& design);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const FormSpec& design() const { return design_; }
  WindowSystem& windowSystem() const { return ws_; }

  const std::wstring& caption() const { return caption_; }
  void setCaption(std::wstring caption);

  // The object made from a row of this form's table.
  template <class T>
  T& control(Row<T, ControlSpec> row) const {
    return static_cast<T&>(madeFrom(row.design));
  }
  MenuItem& menuItem(Row<MenuItem, MenuSpec> row) const;
  Timer& timer(Row<Timer, TimerSpec> row) const;
  template <class T, class Design>
  T& part(Row<T, Design> row) const {
    if constexpr (std::is_same_v<Design, ControlSpec>)
      return control(row);
    else if constexpr (std::is_same_v<Design, MenuSpec>)
      return menuItem(row);
    else
      return timer(row);
  }
  const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }
  const std::vector<std::unique_ptr<MenuItem>>& menuItems() const { return menuItems_; }
  const std::vector<std::unique_ptr<Timer>>& timers() const { return timers_; }

  bool visible() const { return visible_; }
  WindowState windowState() const { return state_; }
  void show();
  void hide();
  void setWindowState(WindowState s);
  void bringToFront();
  // Screen position of the window's top-left corner, in physical pixels.
  int left() const { return left_; }
  int top() const { return top_; }
  void moveTo(int left, int top);
  // Called by the window system when the window moved by other means (the
  // user, or the system placing it), so left() and top() stay true.
  void movedFromUser(int left, int top);

  // Shows the window modally and returns once a result is set or it closes.
  ModalResult showModal();
  ModalResult modalResult() const { return modalResult_; }
  void setModalResult(ModalResult r);
  bool inModalLoop() const { return inModal_; }
  void close();

  const std::wstring& trayHint() const { return trayHint_; }
  void setTrayHint(std::wstring hint);

  // What the window system made for this form; null before MakeForm
  // realised it and once it ended.
  FormNative* native() const { return native_; }
  void invalidate();

  // Events the window system delivers.
  std::function<void()> OnClose;  // the close box, or close()
  std::function<void()> OnMinimize;
  std::function<void()> OnTrayClick;
  std::function<void(unsigned id)> OnHotKey;
  std::function<void(const std::wstring& section)> OnSettingChange;
  std::function<void()> OnTaskbarCreated;
  std::function<void(int dpi)> OnDpiChanged;
  std::function<void(Canvas&)> OnPaint;
  std::function<void(int button, int x, int y)> OnMouseDown;
  std::function<void(int x, int y)> OnMouseMove;
  std::function<void(int button, int x, int y)> OnMouseUp;
  std::function<void(unsigned key)> OnKeyDown;

  // Called by the native part when the user closes the window, or
  // minimises or restores it.
  void closeFromUser();
  void stateFromUser(WindowState s) { state_ = s; }
  // The one way a window ends: FormDestroy runs once, while the form is
  // whole, and the native part is let go. FormPtr calls it before it frees
  // the form; the native part calls it when its window went by other means.
  void end() noexcept;

 protected:
  // The part made from a row of this form's table, its main event (a click,
  // a change, a tick) wired to a handler of the window, in one step: a row
  // of another kind, or a handler that is not the window's, fails the build.
  template <class T, class Design, class Self>
  T& bind(Row<T, Design> row, void (Self::*handler)()) {
    static_assert(std::is_base_of_v<Form, Self>, "the handler is not one of this window's");
    T& made = part(row);
    MainEvent(made) = [this, handler] { (static_cast<Self*>(this)->*handler)(); };
    return made;
  }

  // Runs once the native window exists.
  virtual void FormCreate() {}
  // Runs once, before the native window goes, while the form is whole.
  virtual void FormDestroy() {}

 private:
  template <class F, class... Args>
  friend FormPtr<F> MakeForm(Args&&... args);
  void build();
  Control& madeFrom(const ControlSpec* row) const;
  void create();
  WindowSystem& ws_;
  const FormSpec& design_;
  std::wstring caption_;
  std::wstring trayHint_;
  std::vector<std::unique_ptr<Control>> controls_;
  std::vector<std::unique_ptr<MenuItem>> menuItems_;
  std::vector<std::unique_ptr<Timer>> timers_;
  bool visible_ = false;
  WindowState state_ = WindowState::Normal;
  int left_ = 0, top_ = 0;
  ModalResult modalResult_ = ModalResult::None;
  bool inModal_ = false;
  FormNative* native_ = nullptr;
};

// What a part mainly does: a click, a change of its text or choice, a tick.
inline std::function<void()>& MainEvent(Control& c) {
  return c.OnClick;
}
inline std::function<void()>& MainEvent(ComboBox& c) {
  return c.OnChange;
}
inline std::function<void()>& MainEvent(Edit& c) {
  return c.OnChange;
}
inline std::function<void()>& MainEvent(Memo& c) {
  return c.OnChange;
}
inline std::function<void()>& MainEvent(MenuItem& m) {
  return m.OnClick;
}
inline std::function<void()>& MainEvent(Timer& t) {
  return t.OnTimer;
}

inline void FormDeleter::operator()(Form* form) const noexcept {
  form->end();
  delete form;
}

// Builds the window, then realises it and runs its FormCreate: the window
// system only ever sees a whole object.
template <class F, class... Args>
FormPtr<F> MakeForm(Args&&... args) {
  FormPtr<F> form(new F(std::forward<Args>(args)...));
  static_cast<Form&>(*form).create();
  return form;
}

}  // namespace hv::ui
