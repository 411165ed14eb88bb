#include "platform/win32/ui/form_window.h"

#include <windowsx.h>

#include <algorithm>
#include <map>

#include "platform/error.h"
#include "platform/win32/ui/gdi_canvas.h"
#include "platform/win32/ui/window_system_win32.h"
#include "ui/layout_rules.h"

namespace hv::platform::win32::winui {
namespace {

using hv::ui::ControlKind;

constexpr int kControlIdBase = 100;
constexpr UINT kMenuIdBase = 0x1000;
constexpr UINT_PTR kTimerIdBase = 100;
constexpr UINT_PTR kTrayRetryTimer = 1;
constexpr UINT kTrayRetryMs = 2000;
constexpr int kTrayRetries = 15;
// The window was minimised by the user; the event runs once the minimising
// has finished.
constexpr UINT kMinimizedMessage = WM_APP + 2;

struct FrameStyle {
  DWORD style;
  DWORD exStyle;
};

FrameStyle frameStyle(const hv::ui::FormSpec& s, bool owned) {
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

bool keyDown(UINT msg) {
  return msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN;
}

bool isEditClass(HWND h) {
  wchar_t cls[16] = {};
  GetClassNameW(h, cls, 16);
  return lstrcmpiW(cls, L"Edit") == 0;
}

}  // namespace

FormWindow::FormWindow(Win32WindowSystem& ws, hv::ui::Form& form, HWND owner)
    : ws_(ws), form_(form), fonts_(std::wstring(form.design().fontName), 96) {
  const auto& design = form_.design();
  const auto frame = frameStyle(design, owner != nullptr);
  HWND h = CreateWindowExW(frame.exStyle, Win32WindowSystem::kFormClass, form_.caption().c_str(),
                           frame.style, 0, 0, design.clientWidth, design.clientHeight, owner,
                           nullptr, ws_.instance(), this);
  if (!h)
    throw Error(L"Unable to create the window " +
                std::wstring(design.name.begin(), design.name.end()) + L": error " +
                std::to_wstring(GetLastError()));
  hwnd_.reset(h);
  try {
    realizeContents();
  } catch (...) {
    // The window must not call back into a half-made object.
    detach();
    throw;
  }
}

void FormWindow::realizeContents() {
  HWND h = hwnd_.get();
  const auto& design = form_.design();
  // Hidden windows take the DPI of the monitor they would show on.
  dpi_ = static_cast<int>(GetDpiForWindow(h));
  if (dpi_ <= 0) dpi_ = ui::layout::kBaseDpi;
  fonts_ = FontCache(std::wstring(design.fontName), dpi_);
  if (design.hasBackground)
    backgroundBrush_.reset(
        CreateSolidBrush(RGB(design.background.r, design.background.g, design.background.b)));

  attachMenus();
  createControls();
  sizeWindow(std::nullopt);
  relayout();
  setWindowIcons();
  for (auto& t : form_.timers()) {
    t->attach(this);
    changed(*t);
  }
  if (design.trayIcon) {
    // An elevated program still hears the taskbar come back.
    ChangeWindowMessageFilterEx(h, ws_.taskbarCreatedMessage(), MSGFLT_ALLOW, nullptr);
    showTray();
  }
  syncPosition();
  form_.attach(this);
}

void FormWindow::setWindowIcons() {
  // Dialog frames and tool windows show no icon in their caption.
  const auto& design = form_.design();
  if (design.border == hv::ui::BorderStyle::Dialog || design.toolWindow) return;
  auto set = [this](WPARAM which, int metric) {
    if (HICON icon = images().icon("app", GetSystemMetricsForDpi(metric, static_cast<UINT>(dpi_))))
      SendMessageW(hwnd_.get(), WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
  };
  set(ICON_BIG, SM_CXICON);
  set(ICON_SMALL, SM_CXSMICON);
}

FormWindow::~FormWindow() {
  detach();
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
  const auto& s = form_.design();
  return s.hasBackground ? RGB(s.background.r, s.background.g, s.background.b)
                         : GetSysColor(COLOR_BTNFACE);
}

ControlWindow* FormWindow::controlWindow(const hv::ui::Control& control) const {
  for (const auto& c : controls_)
    if (c && &c->control() == &control) return c.get();
  return nullptr;
}

bool FormWindow::dispatch(const std::function<void()>& event) {
  Busy busy(*this);
  ws_.dispatch(event);
  return !detached_;
}

void FormWindow::detach() {
  if (detached_) return;
  detached_ = true;
  form_.attach(nullptr);
  for (auto& t : form_.timers()) t->attach(nullptr);
  if (mainMenu_) mainMenu_->detach();
  if (popupMenu_) popupMenu_->detach();
  // The controls let go of their windows first; the frame takes them with it.
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it)
    if (*it) (*it)->forget();
  tray_.reset();
  // The tooltip window is owned by the form's and would go with it.
  if (destroyingNative_)
    tooltip_.release();
  else
    tooltip_.reset();
  HWND h = hwnd_.get();
  if (!h) return;
  for (auto id : hotKeys_) UnregisterHotKey(h, id);
  hotKeys_.clear();
  for (std::size_t i = 0; i < form_.timers().size(); ++i) KillTimer(h, kTimerIdBase + i);
  KillTimer(h, kTrayRetryTimer);
  // The menu bar is ours to free, not the window's.
  SetMenu(h, nullptr);
  SetWindowLongPtrW(h, GWLP_USERDATA, 0);
  if (destroyingNative_) {
    hwnd_.release();
  } else if (busy_ > 0) {
    // Freed from inside one of its own messages: the window goes when this
    // object does, once those messages have been handled.
    ShowWindow(h, SW_HIDE);
  } else {
    hwnd_.reset();
  }
}

void FormWindow::attachMenus() {
  const auto& items = form_.menuItems();
  const std::size_t mainCount = form_.design().mainMenu.size();
  std::vector<hv::ui::MenuItem*> main, popup;
  for (std::size_t i = 0; i < items.size(); ++i)
    (i < mainCount ? main : popup).push_back(items[i].get());
  mainMenu_ = std::make_unique<NativeMenu>(NativeMenu::Kind::Bar, std::move(main), kMenuIdBase);
  popupMenu_ = std::make_unique<NativeMenu>(NativeMenu::Kind::Popup, std::move(popup),
                                            kMenuIdBase + static_cast<UINT>(mainCount));
  mainMenu_->onChange = [this] {
    menuBarStale_ = true;
    // Not while the user is in the menu: it is built again when they leave.
    if (!inMenuLoop_) installMenuBar();
  };
  installMenuBar();
  auto table = mainMenu_->accelerators();
  const auto more = popupMenu_->accelerators();
  table.insert(table.end(), more.begin(), more.end());
  if (!table.empty())
    accelerators_.reset(CreateAcceleratorTableW(table.data(), static_cast<int>(table.size())));
}

void FormWindow::installMenuBar() {
  menuBarStale_ = false;
  if (!hwnd_ || mainMenu_->empty()) return;
  MenuHandle fresh = mainMenu_->build();
  SetMenu(hwnd_.get(), fresh.get());
  DrawMenuBar(hwnd_.get());
  menuBar_ = std::move(fresh);
}

void FormWindow::createControls() {
  const auto& specs = form_.design().controls;
  const auto parents = ui::layout::controlParents(specs);
  creationOrder_ = ui::layout::creationOrder(specs);
  controls_.resize(specs.size());
  // Tab order is z-order, and z-order is the order of creation.
  for (std::size_t i : creationOrder_) {
    ControlWindow* panel =
        parents[i] < 0 ? nullptr : controls_[static_cast<std::size_t>(parents[i])].get();
    HWND parent = panel ? panel->hwnd() : hwnd_.get();
    controls_[i] = std::make_unique<ControlWindow>(*this, *form_.controls()[i], panel, parent,
                                                   kControlIdBase + static_cast<int>(i));
    if (!form_.controls()[i]->hint().empty()) setHint(*controls_[i]);
  }
}

// The tool is taken out and put back, so a changed text shows at once.
void FormWindow::setHint(ControlWindow& control) {
  const std::wstring& text = control.control().hint();
  if (!tooltip_) {
    if (text.empty()) return;
    tooltip_.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                   WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_.get(),
                                   nullptr, ws_.instance(), nullptr));
    if (!tooltip_) return;  // a missing tooltip is no reason to fail the window
  }
  TOOLINFOW info{};
  // The size both versions of the common controls accept.
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = hwnd_.get();
  info.uId = reinterpret_cast<UINT_PTR>(control.hwnd());
  SendMessageW(tooltip_.get(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  if (text.empty()) return;
  std::wstring copy = text;  // the tooltip keeps its own copy
  info.lpszText = copy.data();
  SendMessageW(tooltip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void FormWindow::sizeWindow(std::optional<RECT> suggested) {
  HWND h = hwnd_.get();
  const auto& design = form_.design();
  const int clientW = ui::layout::scale(design.clientWidth, dpi_);
  const int clientH = ui::layout::scale(design.clientHeight, dpi_);
  RECT r{0, 0, clientW, clientH};
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(h, GWL_STYLE));
  const auto ex = static_cast<DWORD>(GetWindowLongPtrW(h, GWL_EXSTYLE));
  AdjustWindowRectExForDpi(&r, style, GetMenu(h) != nullptr, ex, static_cast<UINT>(dpi_));
  int width = r.right - r.left, height = r.bottom - r.top;
  int x = form_.left(), y = form_.top();
  if (suggested) {
    x = suggested->left;
    y = suggested->top;
  } else if (design.position == hv::ui::Position::ScreenCenter) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
    x = info.rcMonitor.left + (info.rcMonitor.right - info.rcMonitor.left - width) / 2;
    y = info.rcMonitor.top + (info.rcMonitor.bottom - info.rcMonitor.top - height) / 2;
  }
  SetWindowPos(h, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  // A menu bar that wraps takes more than the one line assumed above.
  RECT client{};
  GetClientRect(h, &client);
  if (client.bottom != clientH || client.right != clientW)
    SetWindowPos(h, nullptr, 0, 0, width + clientW - client.right, height + clientH - client.bottom,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
}

void FormWindow::relayout() {
  HWND h = hwnd_.get();
  if (!h || detached_) return;
  const auto& specs = form_.design().controls;
  const auto parents = ui::layout::controlParents(specs);
  std::map<int, ui::layout::Size> room;
  RECT client{};
  GetClientRect(h, &client);
  room[-1] = {client.right, client.bottom};
  std::vector<int> containers{-1};
  for (std::size_t i : creationOrder_)
    if (specs[i].kind == ControlKind::Panel) containers.push_back(static_cast<int>(i));
  for (int container : containers) {
    std::vector<std::size_t> members;
    std::vector<ui::layout::ChildLayout> children;
    for (std::size_t i = 0; i < specs.size(); ++i) {
      if (parents[i] != container || !controls_[i]) continue;
      const auto& control = controls_[i]->control();
      // A hidden docked control gives its edge to the others.
      if (!control.visible() && specs[i].dock != hv::ui::Dock::None) continue;
      ui::layout::ChildLayout c{control.bounds(), specs[i].dock, specs[i].dockMargin, {}};
      if (c.bounds.width == 0 || c.bounds.height == 0) c.natural = controls_[i]->naturalSize();
      members.push_back(i);
      children.push_back(c);
    }
    // Inside a panel, docked children keep clear of its one-pixel bevel.
    const int edge = container < 0 ? 0 : ui::layout::scale(1, dpi_);
    const auto size = room[container];
    auto placed = ui::layout::placeChildren(
        children, {std::max(0, size.width - 2 * edge), std::max(0, size.height - 2 * edge)}, dpi_);
    for (std::size_t k = 0; k < members.size(); ++k) {
      if (children[k].dock != hv::ui::Dock::None) {
        placed[k].left += edge;
        placed[k].top += edge;
      }
    }
    for (std::size_t k = 0; k < members.size(); ++k) {
      controls_[members[k]]->place(placed[k]);
      room[static_cast<int>(members[k])] = {placed[k].width, placed[k].height};
    }
  }
}

void FormWindow::captionChanged(hv::ui::Form&) {
  if (hwnd_) SetWindowTextW(hwnd_.get(), form_.caption().c_str());
}

void FormWindow::visibilityChanged(hv::ui::Form&) {
  HWND h = hwnd_.get();
  if (!h || syncing_) return;
  syncing_ = true;
  // A show of the form, as opposed to a call to come to the front; the
  // window itself may be up already (an animation shows it).
  const bool shownNow = form_.visible() && !modelVisible_;
  modelVisible_ = form_.visible();
  const auto& s = form_.design();
  const bool quiet = s.topMost && s.toolWindow;  // a notice takes no focus
  const bool wasVisible = IsWindowVisible(h) != FALSE;
  if (!form_.visible()) {
    if (wasVisible) ShowWindow(h, SW_HIDE);
  } else if (form_.windowState() == hv::ui::WindowState::Minimized) {
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
  syncing_ = false;
}

void FormWindow::positionChanged(hv::ui::Form&) {
  if (!hwnd_ || syncing_) return;
  SetWindowPos(hwnd_.get(), nullptr, form_.left(), form_.top(), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::syncPosition() {
  HWND h = hwnd_.get();
  if (!h || IsIconic(h)) return;
  RECT r{};
  GetWindowRect(h, &r);
  form_.movedFromUser(r.left, r.top);
}

void FormWindow::trayChanged(hv::ui::Form&) {
  if (tray_) showTray();
}

void FormWindow::invalidate(hv::ui::Form&) {
  if (hwnd_) InvalidateRect(hwnd_.get(), nullptr, FALSE);
}

void FormWindow::changed(hv::ui::Timer& timer) {
  HWND h = hwnd_.get();
  if (!h) return;
  const auto& timers = form_.timers();
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
  if (!hwnd_) return;
  if (RegisterHotKey(hwnd_.get(), id, modifiers, virtualKey)) hotKeys_.push_back(id);
}

void FormWindow::unregisterHotKey(std::uint16_t id) {
  if (!hwnd_) return;
  UnregisterHotKey(hwnd_.get(), id);
  std::erase(hotKeys_, id);
}

void FormWindow::showTray() {
  HWND h = hwnd_.get();
  if (!h) return;
  HICON icon = images().icon("app", GetSystemMetricsForDpi(SM_CXSMICON, static_cast<UINT>(dpi_)));
  if (!icon) icon = LoadIconW(nullptr, IDI_APPLICATION);
  if (!tray_) tray_ = std::make_unique<TrayIcon>(h, kTrayCallbackMessage);
  if (tray_->show(icon, form_.trayHint())) {
    KillTimer(h, kTrayRetryTimer);
    trayRetries_ = 0;
  } else if (trayRetries_ < kTrayRetries) {
    // The notification area may not be up yet.
    SetTimer(h, kTrayRetryTimer, kTrayRetryMs, nullptr);
  }
}

void FormWindow::trayMessage(LPARAM mouse) {
  ui::TrayMouse m = ui::TrayMouse::Other;
  switch (LOWORD(mouse)) {
    case WM_LBUTTONDOWN:
      m = ui::TrayMouse::LeftDown;
      break;
    case WM_LBUTTONUP:
      m = ui::TrayMouse::LeftUp;
      break;
    case WM_LBUTTONDBLCLK:
      m = ui::TrayMouse::LeftDouble;
      break;
    case WM_RBUTTONDOWN:
      m = ui::TrayMouse::RightDown;
      break;
    case WM_RBUTTONUP:
      m = ui::TrayMouse::RightUp;
      break;
    default:
      break;
  }
  switch (trayClicks_.feed(m)) {
    case ui::TrayAction::Click:
      dispatch([this] {
        if (form_.OnTrayClick) form_.OnTrayClick();
      });
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
  SetForegroundWindow(hwnd_.get());
  popupMenuAt(at.x, at.y);
  trayClicks_.reset();
}

void FormWindow::popupMenuAt(int x, int y) {
  HWND h = hwnd_.get();
  if (!h || popupMenu_->empty()) return;
  MenuHandle menu = popupMenu_->build();
  const UINT id = static_cast<UINT>(
      TrackPopupMenuEx(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, h, nullptr));
  PostMessageW(h, WM_NULL, 0, 0);
  if (auto* item = popupMenu_->itemFor(id)) dispatch([item] { item->click(); });
}

hv::ui::MenuItem* FormWindow::menuItemFor(UINT id) const {
  if (auto* i = mainMenu_->itemFor(id)) return i;
  return popupMenu_->itemFor(id);
}

void FormWindow::measureMenuItem(MEASUREITEMSTRUCT& m) {
  const int size = ui::layout::scale(16, dpi_);
  // A little room on either side keeps the picture off the caption.
  m.itemWidth = static_cast<UINT>(size + ui::layout::scale(4, dpi_));
  m.itemHeight = static_cast<UINT>(size);
}

void FormWindow::drawMenuItem(const DRAWITEMSTRUCT& d) {
  auto* item = menuItemFor(d.itemID);
  if (!item) return;
  const int size = ui::layout::scale(16, dpi_);
  HICON icon = images().icon(item->design().icon, size);
  if (!icon) return;
  const int x = d.rcItem.left + (d.rcItem.right - d.rcItem.left - size) / 2;
  const int y = d.rcItem.top + (d.rcItem.bottom - d.rcItem.top - size) / 2;
  const UINT state = (d.itemState & ODS_GRAYED) ? DSS_DISABLED : DSS_NORMAL;
  DrawStateW(d.hDC, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, x, y, size, size,
             DST_ICON | state);
}

bool FormWindow::mouse(UINT msg, LPARAM at) {
  const int x = GET_X_LPARAM(at), y = GET_Y_LPARAM(at);
  const bool down = msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN;
  const bool up = msg == WM_LBUTTONUP || msg == WM_RBUTTONUP || msg == WM_MBUTTONUP;
  const int button = (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONUP)   ? 1
                     : (msg == WM_RBUTTONDOWN || msg == WM_RBUTTONUP) ? 2
                                                                      : 3;
  if (down) {
    // The moves of a drag come here even when the pointer leaves the window.
    if (form_.OnMouseMove || form_.OnMouseUp) SetCapture(hwnd_.get());
    if (!form_.OnMouseDown) return false;
    dispatch([this, button, x, y] {
      if (form_.OnMouseDown) form_.OnMouseDown(button, x, y);
    });
    return true;
  }
  if (up) {
    if (GetCapture() == hwnd_.get()) ReleaseCapture();
    if (!form_.OnMouseUp) return false;
    dispatch([this, button, x, y] {
      if (form_.OnMouseUp) form_.OnMouseUp(button, x, y);
    });
    return true;
  }
  if (!form_.OnMouseMove) return false;
  dispatch([this, x, y] {
    if (form_.OnMouseMove) form_.OnMouseMove(x, y);
  });
  return true;
}

void FormWindow::dpiChanged(int dpi, const RECT& suggested) {
  dpi_ = dpi;
  // The old fonts stay until every control has the new ones.
  FontCache old = std::move(fonts_);
  fonts_ = FontCache(std::wstring(form_.design().fontName), dpi_);
  for (auto& c : controls_)
    if (c) c->rescale();
  sizeWindow(suggested);
  relayout();
  setWindowIcons();
  if (tray_) showTray();
  InvalidateRect(hwnd_.get(), nullptr, TRUE);
  dispatch([this, dpi] {
    if (form_.OnDpiChanged) form_.OnDpiChanged(dpi);
  });
}

void FormWindow::focusFirst() {
  if (HWND first = GetNextDlgTabItem(hwnd_.get(), nullptr, FALSE)) SetFocus(first);
}

ControlWindow* FormWindow::controlFor(HWND hwnd) const {
  if (auto* c = ControlWindow::from(hwnd)) return c;
  // The edit field inside an editable combo box.
  if (HWND parent = GetParent(hwnd)) {
    auto* c = ControlWindow::from(parent);
    if (c && c->control().kind() == ControlKind::ComboBox) return c;
  }
  return nullptr;
}

bool FormWindow::preTranslate(MSG& msg) {
  if (!keyDown(msg.message) || detached_) return false;
  const auto key = static_cast<unsigned>(msg.wParam);
  HWND target = msg.hwnd;
  // The control with the focus hears the key first.
  if (auto* c = controlFor(target)) {
    auto& control = c->control();
    if (control.OnKeyDown && !dispatch([&control, key] {
          if (control.OnKeyDown) control.OnKeyDown(key);
        }))
      return true;
  } else if (target == hwnd_.get() && form_.OnKeyDown) {
    if (!dispatch([this, key] {
          if (form_.OnKeyDown) form_.OnKeyDown(key);
        }))
      return true;
  }
  if (!IsWindow(target)) return true;
  if (accelerators_ && TranslateAcceleratorW(hwnd_.get(), accelerators_.get(), &msg)) return true;
  return msg.message == WM_KEYDOWN && dialogKey(msg);
}

bool FormWindow::dialogKey(const MSG& msg) {
  HWND focus = GetFocus();
  ControlWindow* focused = focus ? controlFor(focus) : nullptr;
  auto pressFirst = [this](auto wanted) {
    for (std::size_t i : creationOrder_) {
      auto& c = controls_[i]->control();
      if (wanted(c.design()) && c.visible()) {
        dispatch([&c] { c.click(); });
        return true;
      }
    }
    return false;
  };
  switch (msg.wParam) {
    case VK_TAB: {
      if ((GetKeyState(VK_CONTROL) & 0x8000) || (GetKeyState(VK_MENU) & 0x8000)) return false;
      const bool back = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
      if (HWND next = GetNextDlgTabItem(hwnd_.get(), focus, back)) {
        SetFocus(next);
        HWND now = GetFocus();
        if (now && isEditClass(now)) SendMessageW(now, EM_SETSEL, 0, -1);
      }
      return true;
    }
    case VK_RETURN:
      if (focused && (focused->wantsReturn() || focused->droppedDown())) return false;
      if (focused && focused->control().kind() == ControlKind::Button) {
        auto& c = focused->control();
        dispatch([&c] { c.click(); });
        return true;
      }
      return pressFirst([](const hv::ui::ControlSpec& s) { return s.defaultButton; });
    case VK_ESCAPE:
      if (focused && focused->droppedDown()) return false;
      return pressFirst([](const hv::ui::ControlSpec& s) { return s.cancelButton; });
    default:
      return false;
  }
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

void FormWindow::nativeDestroyed() {
  if (detached_) return;
  // Someone other than unrealize() destroys the window: the form hears of
  // it as when it is freed, and lets go of it.
  destroyingNative_ = true;
  dispatch([this] { form_.destroying(); });
  if (!detached_) ws_.unrealize(form_);
}

LRESULT CALLBACK FormWindow::windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    auto* self = static_cast<FormWindow*>(create->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->hwnd_.reset(hwnd);
  }
  FormWindow* self = from(hwnd);
  if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
  Busy busy(*self);
  return self->onMessage(msg, wParam, lParam);
}

LRESULT FormWindow::onMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND h = hwnd_.get();
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
      inMenuLoop_ = true;
      break;
    case WM_EXITMENULOOP:
      inMenuLoop_ = false;
      if (menuBarStale_) installMenuBar();
      break;
    case WM_TIMER: {
      if (wParam == kTrayRetryTimer) {
        KillTimer(h, kTrayRetryTimer);
        ++trayRetries_;
        showTray();
        return 0;
      }
      const auto& timers = form_.timers();
      if (wParam >= kTimerIdBase && wParam - kTimerIdBase < timers.size()) {
        auto* t = timers[wParam - kTimerIdBase].get();
        dispatch([t] { t->fire(); });
        return 0;
      }
      break;
    }
    case WM_HOTKEY:
      dispatch([this, wParam] {
        if (form_.OnHotKey) form_.OnHotKey(static_cast<unsigned>(wParam));
      });
      return 0;
    case WM_SETTINGCHANGE: {
      std::wstring section = lParam ? reinterpret_cast<const wchar_t*>(lParam) : L"";
      InvalidateRect(h, nullptr, TRUE);
      dispatch([this, &section] {
        if (form_.OnSettingChange) form_.OnSettingChange(section);
      });
      return 0;
    }
    case WM_DPICHANGED:
      dpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_SIZE:
      if (wParam == SIZE_MINIMIZED && !syncing_) {
        if (form_.windowState() != hv::ui::WindowState::Minimized) {
          syncing_ = true;
          form_.setWindowState(hv::ui::WindowState::Minimized);
          syncing_ = false;
        }
        PostMessageW(h, kMinimizedMessage, 0, 0);
      } else if (wParam == SIZE_RESTORED && !syncing_ &&
                 form_.windowState() == hv::ui::WindowState::Minimized && IsWindowVisible(h)) {
        syncing_ = true;
        form_.setWindowState(hv::ui::WindowState::Normal);
        syncing_ = false;
      }
      break;
    case kMinimizedMessage:
      dispatch([this] {
        if (form_.OnMinimize) form_.OnMinimize();
      });
      return 0;
    case WM_MOVE:
      syncPosition();
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(h, focus)) lastFocus_ = focus;
      } else if (!HIWORD(wParam)) {
        if (lastFocus_ && IsWindow(lastFocus_) && IsChild(h, lastFocus_))
          SetFocus(lastFocus_);
        else
          focusFirst();
        return 0;
      }
      break;
    case WM_ERASEBKGND: {
      RECT r{};
      GetClientRect(h, &r);
      FillRect(reinterpret_cast<HDC>(wParam), &r, background());
      return 1;
    }
    case WM_PAINT:
      if (form_.OnPaint) {
        PAINTSTRUCT ps{};
        HDC dc = BeginPaint(h, &ps);
        GdiCanvas canvas(dc, fonts_, images(), backgroundColour());
        dispatch([this, &canvas] {
          if (form_.OnPaint) form_.OnPaint(canvas);
        });
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
      trayMessage(lParam);
      return 0;
    case WM_CLOSE:
      dispatch([this] { form_.closeFromUser(); });
      return 0;
    case WM_DESTROY:
      nativeDestroyed();
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrW(h, GWLP_USERDATA, 0);
      hwnd_.release();
      break;
    default:
      if (msg == ws_.taskbarCreatedMessage() && msg != 0) {
        // Explorer came back: the old icon went with the old taskbar.
        if (tray_) {
          trayRetries_ = 0;
          HICON icon =
              images().icon("app", GetSystemMetricsForDpi(SM_CXSMICON, static_cast<UINT>(dpi_)));
          if (!icon) icon = LoadIconW(nullptr, IDI_APPLICATION);
          if (!tray_->readd(icon, form_.trayHint()))
            SetTimer(h, kTrayRetryTimer, kTrayRetryMs, nullptr);
        }
        dispatch([this] {
          if (form_.OnTaskbarCreated) form_.OnTaskbarCreated();
        });
        return 0;
      }
      break;
  }
  return DefWindowProcW(h, msg, wParam, lParam);
}

}  // namespace hv::platform::win32::winui
