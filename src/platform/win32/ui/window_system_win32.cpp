#include "platform/win32/ui/window_system_win32.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <algorithm>

#include "base/error.h"
#include "platform/win32/ui/form_window.h"
#include "platform/win32/ui/guarded.h"
#include "platform/win32/ui/message_box.h"

namespace hv::platform::win32::winui {
namespace {

constexpr wchar_t kQueueClass[] = L"HorvaneUiQueue";
// Posted to the queue window: run the queued work, or just wake the loop.
constexpr UINT kRunQueued = WM_APP + 10;
constexpr UINT kWake = WM_APP + 11;

ATOM RegisterClass(HINSTANCE instance, const wchar_t* name, WNDPROC proc) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.lpszClassName = name;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  const ATOM atom = RegisterClassExW(&wc);
  if (!atom && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    throw Error(std::wstring(L"Unable to register the window class ") + name + L": error " +
                std::to_wstring(GetLastError()));
  return atom;
}

}  // namespace

Win32WindowSystem::Win32WindowSystem(HINSTANCE instance)
    : instance_(instance), uiThread_(GetCurrentThreadId()), images_(instance), queue_([this] {
        if (HWND h = queueWindow_.get()) PostMessageW(h, kRunQueued, 0, 0);
      }) {
  // The manifest asks for this already; a program without one (the tests)
  // gets it here. Refused when already set, which is fine.
  SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
  RegisterClass(instance_, kFormClass, FormWindow::windowProc);
  RegisterClass(instance_, kQueueClass, queueProc);
  HWND q = CreateWindowExW(0, kQueueClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance_,
                           nullptr);
  if (!q)
    throw Error(L"Unable to create the message window: error " + std::to_wstring(GetLastError()));
  SetWindowLongPtrW(q, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  queueWindow_.reset(q);
}

Win32WindowSystem::~Win32WindowSystem() {
  // Workers still waiting in invoke() are told, not left hanging.
  queue_.close();
  // The windows whose free message never ran (and any whose form is still
  // there, which ends with it) go now; each leaves the list as it goes.
  while (!windows_.empty()) {
    FormWindow* w = windows_.back();
    DestroyWindow(w->hwnd());
    if (!windows_.empty() && windows_.back() == w) windows_.pop_back();
  }
  SetWindowLongPtrW(queueWindow_.get(), GWLP_USERDATA, 0);
}

LRESULT CALLBACK Win32WindowSystem::queueProc(HWND hwnd, UINT msg, WPARAM wParam,
                                              LPARAM lParam) noexcept {
  auto* self = reinterpret_cast<Win32WindowSystem*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self && msg == kRunQueued) {
    return Guarded(
        // cppcheck-suppress throwInNoexceptFunction ; guarded() catches everything
        [self] {
          self->queue_.runPending(
              [self](const std::function<void()>& work) { self->dispatch(work); });
          return LRESULT{0};
        },
        [self](const std::exception_ptr& e) { self->report(e); });
  }
  if (msg == kWake) return 0;
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

FormWindow* Win32WindowSystem::find(const hv::ui::Form& form) {
  return static_cast<FormWindow*>(form.native());
}

bool Win32WindowSystem::exists(const FormWindow* window) const {
  return std::find(windows_.begin(), windows_.end(), window) != windows_.end();
}

void Win32WindowSystem::adopt(FormWindow& window) {
  windows_.push_back(&window);
}

void Win32WindowSystem::forget(FormWindow& window) {
  std::erase(windows_, &window);
  if (mainWindow_ == &window) mainWindow_ = nullptr;
}

HWND Win32WindowSystem::windowOf(const hv::ui::Form& form) const {
  auto* w = find(form);
  return w ? w->hwnd() : nullptr;
}

HWND Win32WindowSystem::windowOf(const hv::ui::Control& control) const {
  auto* window = find(control.form());
  auto* c = window ? window->controlWindow(control) : nullptr;
  return c ? c->hwnd() : nullptr;
}

hv::ui::FormNative& Win32WindowSystem::realize(hv::ui::Form& form) {
  // A main window whose form let go owns no more windows.
  if (mainWindow_ && !mainWindow_->form()) mainWindow_ = nullptr;
  FormWindow& window = FormWindow::open(*this, form, mainWindow_ ? mainWindow_->hwnd() : nullptr);
  if (!mainWindow_) mainWindow_ = &window;
  return window;
}

bool Win32WindowSystem::pumpOne(bool wait) {
  MSG msg{};
  if (wait) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) terminated_ = true;
    if (got <= 0) return false;
  } else {
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (msg.message == WM_QUIT) {
      terminated_ = true;
      return false;
    }
  }
  FormWindow* form = nullptr;
  if (msg.hwnd) {
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    wchar_t cls[32] = {};
    if (root && GetClassNameW(root, cls, 32) && lstrcmpW(cls, kFormClass) == 0)
      form = FormWindow::from(root);
  }
  const bool used = form && form->form() && form->preTranslate(msg);
  if (!used) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return true;
}

void Win32WindowSystem::run() {
  while (!terminated_) pumpOne(true);
}

void Win32WindowSystem::terminate() {
  terminated_ = true;
  // Wakes a loop that waits for a message.
  PostMessageW(queueWindow_.get(), kWake, 0, 0);
}

void Win32WindowSystem::processMessages() {
  while (pumpOne(false)) {
  }
}

void Win32WindowSystem::runModal(hv::ui::Form& form) {
  FormWindow* window = find(form);
  if (!window) return;
  // The other windows wait while this one is open.
  std::vector<HWND> disabled;
  for (FormWindow* w : windows_) {
    HWND h = w->hwnd();
    if (w == window || !w->form() || !IsWindowEnabled(h)) continue;
    EnableWindow(h, FALSE);
    disabled.push_back(h);
  }
  // The window and its form may end inside the loop.
  auto open = [&] {
    return exists(window) && window->form() == &form &&
           form.modalResult() == hv::ui::ModalResult::None && form.visible();
  };
  while (!terminated_ && open()) pumpOne(true);
  // Enabled again before the modal window hides, so the focus goes back.
  for (HWND h : disabled)
    if (IsWindow(h)) EnableWindow(h, TRUE);
}

void Win32WindowSystem::post(std::function<void()> work) {
  queue_.post(std::move(work));
}

void Win32WindowSystem::invoke(std::function<void()> work) {
  if (onUiThread()) {
    work();
    return;
  }
  queue_.invoke(std::move(work));
}

hv::ui::ModalResult Win32WindowSystem::messageBox(hv::ui::Form* owner,
                                                  const hv::ui::MessageBoxRequest& request) {
  if (!onUiThread()) {
    // A box belongs to the thread of its owner window.
    hv::ui::ModalResult result = hv::ui::ModalResult::None;
    invoke([&] { result = messageBox(owner, request); });
    return result;
  }
  return ShowMessageBox(owner ? windowOf(*owner) : nullptr, request);
}

void Win32WindowSystem::beep() {
  MessageBeep(0);
}

std::uint32_t Win32WindowSystem::tickCount() {
  return GetTickCount();
}

void Win32WindowSystem::registerHotKey(hv::ui::Form& form, std::uint16_t id, unsigned modifiers,
                                       unsigned virtualKey) {
  if (auto* w = find(form)) w->registerHotKey(id, modifiers, virtualKey);
}

void Win32WindowSystem::unregisterHotKey(hv::ui::Form& form, std::uint16_t id) {
  if (auto* w = find(form)) w->unregisterHotKey(id);
}

int Win32WindowSystem::dpi(const hv::ui::Form& form) {
  auto* w = find(form);
  return w ? w->dpi() : static_cast<int>(GetDpiForSystem());
}

hv::ui::Point Win32WindowSystem::cursorPos() {
  POINT p{};
  GetCursorPos(&p);
  return {p.x, p.y};
}

hv::ui::Point Win32WindowSystem::bottomLeftOnScreen(hv::ui::Form& form,
                                                    const hv::ui::Control& control) {
  HWND h = windowOf(control);
  if (!h) return WindowSystem::bottomLeftOnScreen(form, control);
  RECT client{};
  GetClientRect(h, &client);
  POINT p{0, client.bottom};
  ClientToScreen(h, &p);
  return {p.x, p.y};
}

void Win32WindowSystem::popupMenu(hv::ui::Form& form, hv::ui::Point screen) {
  if (auto* w = find(form)) w->popupMenuAt(screen.x, screen.y);
}

hv::ui::Size Win32WindowSystem::outerSize(const hv::ui::Form& form) {
  HWND h = windowOf(form);
  if (!h) return WindowSystem::outerSize(form);
  RECT r{};
  GetWindowRect(h, &r);
  return {r.right - r.left, r.bottom - r.top};
}

hv::ui::Colour Win32WindowSystem::systemColour(hv::ui::SystemColour which) {
  int index = COLOR_BTNFACE;
  switch (which) {
    case hv::ui::SystemColour::ButtonFace:
      index = COLOR_BTNFACE;
      break;
    case hv::ui::SystemColour::WindowText:
      index = COLOR_WINDOWTEXT;
      break;
    case hv::ui::SystemColour::Highlight:
      index = COLOR_HIGHLIGHT;
      break;
    case hv::ui::SystemColour::HighlightText:
      index = COLOR_HIGHLIGHTTEXT;
      break;
  }
  // The active visual style's colour when a style is on, else the classic one.
  COLORREF c = GetSysColor(index);
  if (HTHEME theme = OpenThemeData(queueWindow_.get(), L"WINDOW")) {
    c = GetThemeSysColor(theme, index);
    CloseThemeData(theme);
  }
  return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

}  // namespace hv::platform::win32::winui
