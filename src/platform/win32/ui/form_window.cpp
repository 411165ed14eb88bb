#include "platform/win32/ui/form_window.h"

#include <algorithm>

#include "base/error.h"
#include "platform/win32/ui/gdi_canvas.h"
#include "platform/win32/ui/guarded.h"
#include "platform/win32/ui/window_system_win32.h"
#include "ui/layout_rules.h"

namespace hv::platform::win32::winui {
namespace {

// The window was minimised by the user; the event runs once the minimising
// has finished.
constexpr UINT kMinimizedMessage = WM_APP + 2;
// The form let go: the window destroys itself, outside whatever message of
// its own it was in then.
constexpr UINT kFreeMessage = WM_APP + 3;
// The tray icon is added once the window has shown, or with "/auto" has not:
// the add is a round trip to the shell that the first frame need not wait for.
constexpr UINT kTrayAddMessage = WM_APP + 4;

struct FrameStyle {
  DWORD style;
  DWORD exStyle;
};

FrameStyle FrameStyleOf(const hv::ui::FormSpec& s, bool owned) {
  DWORD style = WS_CLIPCHILDREN;
  DWORD ex = WS_EX_CONTROLPARENT;
  if (s.border == hv::ui::BorderStyle::None) {
    style |= WS_POPUP;
  } else {
    // Fixed frames: neither kind can be resized.
    style |= WS_OVERLAPPED | WS_CAPTION;
    if (s.border == hv::ui::BorderStyle::Dialog) ex |= WS_EX_DLGMODALFRAME;
    if (s.systemMenu) style |= WS_SYSMENU;
    if (s.minimizeBox) style |= WS_MINIMIZEBOX;
    if (s.maximizeBox) style |= WS_MAXIMIZEBOX;
  }
  if (s.toolWindow) ex |= WS_EX_TOOLWINDOW;
  if (s.topMost) ex |= WS_EX_TOPMOST;
  if (!owned && !s.toolWindow) ex |= WS_EX_APPWINDOW;
  return {style, ex};
}

}  // namespace

FormWindow::FormWindow(Win32WindowSystem& ws, hv::ui::Form& form)
    : ws_(ws), form_(&form), fonts_(std::wstring(form.design().fontName), 96) {}

FormWindow& FormWindow::open(Win32WindowSystem& ws, hv::ui::Form& form, HWND owner) {
  auto* window = new FormWindow(ws, form);
  window->create(owner);
  return *window;
}

// Until the window exists this object is freed here; after, by the window.
void FormWindow::create(HWND owner) {
  const auto& design = form_->design();
  const auto frame = FrameStyleOf(design, owner != nullptr);
  // Made where the layout will put it at the system's DPI, so that the
  // usual case is sized once.
  const RECT at = frameRect(static_cast<int>(GetDpiForSystem()), frame.style, frame.exStyle,
                            !design.mainMenu.empty(), std::nullopt);
  try {
    makeMenus();
  } catch (...) {
    delete this;
    throw;
  }
  HWND h = CreateWindowExW(frame.exStyle, Win32WindowSystem::kFormClass, form_->caption().c_str(),
                           frame.style, at.left, at.top, at.right - at.left, at.bottom - at.top,
                           owner, menuBar_.get(), ws_.instance(), nullptr);
  if (!h) {
    // A window that failed in its making may have destroyed its menu
    // already: leaking it is the safer end.
    static_cast<void>(menuBar_.release());
    Error failure(L"Unable to create the window " +
                  std::wstring(design.name.begin(), design.name.end()) + L": error " +
                  std::to_wstring(GetLastError()));
    delete this;
    throw failure;
  }
  hwnd_ = h;
  SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  ws_.adopt(*this);
  try {
    realizeContents();
  } catch (...) {
    // The window must not call back into a half-made form.
    form_ = nullptr;
    DestroyWindow(h);
    throw;
  }
}

void FormWindow::realizeContents() {
  HWND h = hwnd_;
  const auto& design = form_->design();
  // Hidden windows take the DPI of the monitor they would show on.
  dpi_ = static_cast<int>(GetDpiForWindow(h));
  if (dpi_ <= 0) dpi_ = ui::layout::kBaseDpi;
  fonts_ = FontCache(std::wstring(design.fontName), dpi_);
  if (design.hasBackground)
    backgroundBrush_.reset(
        CreateSolidBrush(RGB(design.background.r, design.background.g, design.background.b)));

  createControls();
  sizeWindow(std::nullopt);
  relayout();
  setWindowIcons();
  for (auto& t : form_->timers()) timerChanged(*t);
  if (design.trayIcon) {
    // An elevated program still hears the taskbar come back.
    ChangeWindowMessageFilterEx(h, ws_.taskbarCreatedMessage(), MSGFLT_ALLOW, nullptr);
    tray_ = std::make_unique<TrayIcon>(h, kTrayCallbackMessage, kTrayRetryTimer, ws_.trayNotify());
    trayPending_ = true;
    PostMessageW(h, kTrayAddMessage, 0, 0);
  }
  syncPosition();
}

FormWindow::~FormWindow() {
  ws_.forget(*this);
}

FormWindow* FormWindow::from(HWND hwnd) {
  return reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

ImageLibrary& FormWindow::images() {
  return ws_.images();
}

HBRUSH FormWindow::background() const {
  return backgroundBrush_ ? backgroundBrush_.get() : GetSysColorBrush(COLOR_BTNFACE);
}

COLORREF FormWindow::backgroundColour() const {
  const auto& s = form_->design();
  return s.hasBackground ? RGB(s.background.r, s.background.g, s.background.b)
                         : GetSysColor(COLOR_BTNFACE);
}

ControlWindow* FormWindow::controlWindow(const hv::ui::Control& control) const {
  for (const auto& c : controls_)
    if (c && &c->control() == &control) return c.get();
  return nullptr;
}

bool FormWindow::dispatch(const std::function<void()>& event) {
  ws_.dispatch(event);
  return form_ != nullptr;
}

void FormWindow::report(const std::exception_ptr& failure) noexcept {
  ws_.report(failure);
}

void FormWindow::formGone() noexcept {
  form_ = nullptr;
  for (auto id : hotKeys_) UnregisterHotKey(hwnd_, id);
  hotKeys_.clear();
  tray_.reset();
  ShowWindow(hwnd_, SW_HIDE);
  PostMessageW(hwnd_, kFreeMessage, 0, 0);
}

void FormWindow::captionChanged() {
  SetWindowTextW(hwnd_, form_->caption().c_str());
}

void FormWindow::visibilityChanged(hv::ui::Showing why) {
  HWND h = hwnd_;
  // A show of the form, as opposed to a call to come to the front; the
  // window itself may be up already (an animation shows it).
  const bool shownNow = why == hv::ui::Showing::Visibility && form_->visible();
  const auto& s = form_->design();
  const bool quiet = s.topMost && s.toolWindow;  // a notice takes no focus
  const bool wasVisible = IsWindowVisible(h) != FALSE;
  if (form_->visible() && menuBarStale_ && !inMenuLoop_) installMenuBar();
  if (!form_->visible()) {
    if (wasVisible) ShowWindow(h, SW_HIDE);
  } else if (form_->windowState() == hv::ui::WindowState::Minimized) {
    if (!wasVisible || !IsIconic(h)) ShowWindow(h, SW_SHOWMINNOACTIVE);
  } else {
    bool changedNow = shownNow;
    if (!wasVisible) {
      ShowWindow(h, quiet ? SW_SHOWNOACTIVATE : SW_SHOW);
      changedNow = true;
    }
    if (shownNow && !shownOnce_) {
      shownOnce_ = true;
      if (!quiet) focusFirst();
    }
    if (IsIconic(h)) {
      ShowWindow(h, SW_RESTORE);
      changedNow = true;
    }
    if (!changedNow) {
      SetForegroundWindow(h);
      BringWindowToTop(h);
    }
  }
}

void FormWindow::positionChanged() {
  SetWindowPos(hwnd_, nullptr, form_->left(), form_->top(), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::syncPosition() {
  HWND h = hwnd_;
  if (!h || IsIconic(h)) return;
  RECT r{};
  GetWindowRect(h, &r);
  form_->movedFromUser(r.left, r.top);
}

void FormWindow::trayChanged() {
  if (tray_ && !trayPending_) tray_->show(trayPicture(), form_->trayHint());
}

HICON FormWindow::trayPicture() {
  HICON icon = images().icon("app", GetSystemMetricsForDpi(SM_CXSMICON, static_cast<UINT>(dpi_)));
  return icon ? icon : LoadIconW(nullptr, IDI_APPLICATION);
}

void FormWindow::trayMessage(LPARAM mouse) {
  switch (tray_->mouse(mouse)) {
    case ui::TrayAction::Click:
      fire(form_->OnTrayClick);
      break;
    case ui::TrayAction::Menu:
      showTrayMenu();
      break;
    case ui::TrayAction::None:
      break;
  }
}

void FormWindow::showTrayMenu() {
  POINT at{};
  GetCursorPos(&at);
  // Without this the menu stays open when the user clicks elsewhere.
  SetForegroundWindow(hwnd_);
  popupMenuAt(at.x, at.y);
  // The chosen item may have ended the form, and the icon with it.
  if (tray_) tray_->menuClosed();
}

void FormWindow::invalidate() {
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void FormWindow::controlChanged(hv::ui::Control& control, hv::ui::Change what) {
  if (auto* c = controlWindow(control)) c->changed(what);
}

void FormWindow::timerChanged(hv::ui::Timer& timer) {
  HWND h = hwnd_;
  const auto& timers = form_->timers();
  for (std::size_t i = 0; i < timers.size(); ++i) {
    if (timers[i].get() != &timer) continue;
    // Setting a running timer again restarts its countdown.
    if (timer.enabled())
      SetTimer(h, kTimerIdBase + i, std::max(1u, timer.interval()), nullptr);
    else
      KillTimer(h, kTimerIdBase + i);
    return;
  }
}

void FormWindow::registerHotKey(std::uint16_t id, unsigned modifiers, unsigned virtualKey) {
  if (RegisterHotKey(hwnd_, id, modifiers, virtualKey)) hotKeys_.push_back(id);
}

void FormWindow::unregisterHotKey(std::uint16_t id) {
  UnregisterHotKey(hwnd_, id);
  std::erase(hotKeys_, id);
}

std::optional<LRESULT> FormWindow::childMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND:
      if (lParam) {
        if (auto* c = ControlWindow::from(reinterpret_cast<HWND>(lParam))) {
          c->command(HIWORD(wParam));
          return 0;
        }
      }
      return std::nullopt;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
      if (auto* c = ControlWindow::from(reinterpret_cast<HWND>(lParam)))
        if (auto brush = c->colours(reinterpret_cast<HDC>(wParam)))
          return reinterpret_cast<LRESULT>(*brush);
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

LRESULT CALLBACK FormWindow::windowProc(HWND hwnd, UINT msg, WPARAM wParam,
                                        LPARAM lParam) noexcept {
  FormWindow* self = from(hwnd);
  if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
  switch (msg) {
    case kFreeMessage:
      DestroyWindow(hwnd);
      return 0;
    case WM_NCDESTROY: {
      // The one place the native part is freed; its children went already.
      // The menu bar is ours to free, not the window's.
      SetMenu(hwnd, nullptr);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      delete self;
      return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    default:
      break;
  }
  // A window whose form let go only waits for its end.
  if (!self->form_) return DefWindowProcW(hwnd, msg, wParam, lParam);
  // cppcheck-suppress throwInNoexceptFunction ; guarded() catches everything
  return Guarded([&] { return self->onMessage(msg, wParam, lParam); },
                 [self](const std::exception_ptr& e) { self->report(e); });
}

LRESULT FormWindow::onMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND h = hwnd_;
  if (auto r = childMessage(msg, wParam, lParam)) return *r;
  switch (msg) {
    case WM_COMMAND:
      // Menu choices and shortcut keys.
      if (lParam == 0) {
        if (auto* item = menuItemFor(LOWORD(wParam))) {
          dispatch([item] { item->click(); });
          return 0;
        }
      }
      break;
    case WM_MEASUREITEM: {
      auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (m->CtlType == ODT_MENU) {
        measureMenuItem(*m);
        return TRUE;
      }
      break;
    }
    case WM_DRAWITEM: {
      auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      if (d->CtlType == ODT_MENU) {
        drawMenuItem(*d);
        return TRUE;
      }
      break;
    }
    case WM_ENTERMENULOOP:
    case WM_EXITMENULOOP:
      menuLoop(msg == WM_ENTERMENULOOP);
      break;
    case WM_TIMER: {
      if (tray_ && tray_->timer(wParam)) return 0;
      const auto& timers = form_->timers();
      if (wParam >= kTimerIdBase && wParam - kTimerIdBase < timers.size()) {
        auto* t = timers[wParam - kTimerIdBase].get();
        dispatch([t] { t->fire(); });
        return 0;
      }
      break;
    }
    case WM_HOTKEY:
      fire(form_->OnHotKey, static_cast<unsigned>(wParam));
      return 0;
    case WM_SETTINGCHANGE: {
      std::wstring section = lParam ? reinterpret_cast<const wchar_t*>(lParam) : L"";
      InvalidateRect(h, nullptr, TRUE);
      fire(form_->OnSettingChange, section);
      return 0;
    }
    case WM_DPICHANGED:
      dpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_SIZE:
      // A change the form asked for has its state already; a state that
      // differs from the window's is the user's doing.
      if (wParam == SIZE_MINIMIZED && form_->windowState() != hv::ui::WindowState::Minimized) {
        form_->stateFromUser(hv::ui::WindowState::Minimized);
        PostMessageW(h, kMinimizedMessage, 0, 0);
      } else if (wParam == SIZE_RESTORED &&
                 form_->windowState() == hv::ui::WindowState::Minimized && IsWindowVisible(h)) {
        form_->stateFromUser(hv::ui::WindowState::Normal);
      }
      break;
    case kMinimizedMessage:
      fire(form_->OnMinimize);
      return 0;
    case WM_MOVE:
      syncPosition();
      break;
    case WM_ACTIVATE:
      activated(wParam);
      if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam)) return 0;
      break;
    case WM_ERASEBKGND: {
      RECT r{};
      GetClientRect(h, &r);
      FillRect(reinterpret_cast<HDC>(wParam), &r, background());
      return 1;
    }
    case WM_PAINT:
      if (form_->OnPaint) {
        PAINTSTRUCT ps{};
        HDC dc = BeginPaint(h, &ps);
        GdiCanvas canvas(dc, fonts_, images(), backgroundColour());
        fire(form_->OnPaint, canvas);
        EndPaint(h, &ps);
        return 0;
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_MOUSEMOVE:
      if (mouse(msg, lParam)) return 0;
      break;
    case kTrayCallbackMessage:
      if (tray_) trayMessage(lParam);
      return 0;
    case kTrayAddMessage:
      trayPending_ = false;
      if (tray_) tray_->show(trayPicture(), form_->trayHint());
      return 0;
    case WM_CLOSE:
      dispatch([this] { form_->closeFromUser(); });
      return 0;
    case WM_DESTROY:
      // Destroyed by other means than its form's end (its owner went, or
      // someone else destroyed it): the form ends with it.
      form_->end();
      return 0;
    default:
      if (msg == ws_.taskbarCreatedMessage() && msg != 0) {
        // Explorer came back: the old icon went with the old taskbar.
        if (tray_) tray_->taskbarCreated();
        fire(form_->OnTaskbarCreated);
        return 0;
      }
      break;
  }
  return DefWindowProcW(h, msg, wParam, lParam);
}

}  // namespace hv::platform::win32::winui
