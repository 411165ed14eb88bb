#include "platform/win32/ui/control_window.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <unordered_map>

#include "base/error.h"
#include "platform/win32/ui/control_kinds.h"
#include "platform/win32/ui/form_window.h"
#include "platform/win32/ui/guarded.h"

namespace hv::platform::win32::winui {
namespace {

using hv::ui::Change;
using hv::ui::ControlKind;

// The native side of each control by its window, for the messages of the
// window and of its parent. A window property, or the common controls'
// subclass (which looks up a property per message), is a round trip to the
// Wine server each time; windows and their messages stay on their thread.
std::unordered_map<HWND, ControlWindow*>& Registry() {
  thread_local std::unordered_map<HWND, ControlWindow*> registry;
  return registry;
}

}  // namespace

std::unique_ptr<ControlWindow> ControlWindow::make(FormWindow& form, hv::ui::Control& control,
                                                   ControlWindow* parentPanel) {
  std::unique_ptr<ControlWindow> w;
  switch (control.kind()) {
    case ControlKind::Label:
      w.reset(new LabelWindow(form, control, parentPanel));
      break;
    case ControlKind::Button:
      w.reset(new ButtonWindow(form, control, parentPanel));
      break;
    case ControlKind::CheckBox:
      w.reset(new CheckBoxWindow(form, control, parentPanel));
      break;
    case ControlKind::ComboBox:
      w.reset(new ComboBoxWindow(form, control, parentPanel));
      break;
    case ControlKind::Edit:
      w.reset(new EditWindow(form, control, parentPanel));
      break;
    case ControlKind::Memo:
      w.reset(new MemoWindow(form, control, parentPanel));
      break;
    case ControlKind::Panel:
      w.reset(new PanelWindow(form, control, parentPanel));
      break;
    case ControlKind::Bevel:
      w.reset(new BevelWindow(form, control, parentPanel));
      break;
  }
  return w;
}

ControlWindow::ControlWindow(FormWindow& form, hv::ui::Control& control, ControlWindow* parentPanel)
    : form_(form), control_(control), parentPanel_(parentPanel) {}

ControlWindow* ControlWindow::from(HWND hwnd) {
  if (!hwnd) return nullptr;
  const auto& registry = Registry();
  const auto it = registry.find(hwnd);
  return it == registry.end() ? nullptr : it->second;
}

void ControlWindow::create(HWND parent, int id, const hv::ui::Bounds& at) {
  const auto& design = control_.design();
  const NativeClass native = nativeClass();
  DWORD style = WS_CHILD | native.style;
  if (design.tabOrder >= 0) style |= WS_TABSTOP;
  // Made in its state: a show or enable per control is a round trip each.
  if (control_.visible()) style |= WS_VISIBLE;
  if (!control_.enabled()) style |= WS_DISABLED;
  // Made where it goes: moving each control after is a round trip each too.
  HWND h = CreateWindowExW(native.exStyle, native.name, shownText().c_str(), style, at.left, at.top,
                           at.width, at.height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
  if (!h)
    throw Error(L"Unable to create the control " +
                std::wstring(design.name.begin(), design.name.end()) + L": error " +
                std::to_wstring(GetLastError()));
  hwnd_ = h;
  if (!sizedByWindow()) placed_ = at;
  try {
    finishCreate();
  } catch (...) {
    // Its entry in the registry goes with the window.
    DestroyWindow(h);
    throw;
  }
}

void ControlWindow::finishCreate() {
  HWND h = hwnd_;
  Registry()[h] = this;
  // Subclassed before anyone else can: the class's procedure is called on.
  classProc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&windowProc)));
  if (!classProc_)
    throw Error(L"Unable to subclass the control " +
                std::wstring(control_.design().name.begin(), control_.design().name.end()) +
                L": error " + std::to_wstring(GetLastError()));
  created();
  applyFont();
  applyIcon();
  writeText(shownText());
}

HFONT ControlWindow::font() const {
  const auto& design = control_.design();
  const int height = design.fontHeight ? design.fontHeight : form_.form()->design().fontHeight;
  return form_.fonts().get({height, design.bold, design.link, std::wstring(design.fontName)});
}

// A window nobody sees yet is not redrawn for it.
void ControlWindow::applyFont() {
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font()), IsWindowVisible(hwnd_));
}

void ControlWindow::applyState() {
  HWND h = hwnd_;
  EnableWindow(h, control_.enabled());
  ShowWindow(h, control_.visible() ? SW_SHOWNA : SW_HIDE);
}

void ControlWindow::rescale() {
  placed_.reset();
  applyFont();
  applyIcon();
}

std::wstring ControlWindow::nativeText() const {
  const int n = GetWindowTextLengthW(hwnd_);
  std::wstring s(static_cast<std::size_t>(n) + 1, L'\0');
  const int got = GetWindowTextW(hwnd_, s.data(), n + 1);
  s.resize(static_cast<std::size_t>(std::max(0, got)));
  return s;
}

void ControlWindow::writeText(const std::wstring& text) {
  if (nativeText() == text) return;
  SetWindowTextW(hwnd_, text.c_str());
}

void ControlWindow::changed(Change what) {
  HWND h = hwnd_;
  if (show(what)) return;
  switch (what) {
    case Change::Text:
      writeText(shownText());
      break;
    case Change::Checked:
    case Change::Enabled:
      applyState();
      break;
    case Change::Visible:
      applyState();
      form_.relayout();
      break;
    case Change::Font:
      placed_.reset();
      applyFont();
      break;
    case Change::Colours:
      // Children that show the panel's background repaint with it.
      RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
      break;
    case Change::Bounds:
      form_.relayout();
      break;
    case Change::Hint:
      form_.setHint(*this);
      break;
    case Change::Items:
    case Change::Selection:
      break;
  }
}

bool ControlWindow::dispatch(const std::function<void()>& event) {
  return form_.dispatch(event);
}

HBRUSH ControlWindow::behind() const {
  return parentPanel_ ? parentPanel_->background() : form_.background();
}

HBRUSH ControlWindow::background() const {
  return behind();
}

// Labels, check boxes, buttons and bevels show what lies behind them.
std::optional<HBRUSH> ControlWindow::colours(HDC dc) {
  if (control_.hasColours())
    SetTextColor(dc, ColourRef(control_.fontColour()));
  else if (control_.design().link)
    SetTextColor(dc, RGB(0, 0, 255));
  else if (form_.form()->design().hasBackground)
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkMode(dc, TRANSPARENT);
  return behind();
}

ui::layout::Size ControlWindow::naturalSize() const {
  const SIZE size = form_.fonts().measure(font(), control_.text());
  return {size.cx, size.cy};
}

void ControlWindow::place(const hv::ui::Bounds& b) {
  if (placed_ == b) return;
  move(b);
  placed_ = b;
}

void ControlWindow::move(const hv::ui::Bounds& b) {
  SetWindowPos(hwnd_, nullptr, b.left, b.top, b.width, b.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

std::optional<LRESULT> ControlWindow::message(UINT, WPARAM, LPARAM) {
  return std::nullopt;
}

LRESULT CALLBACK ControlWindow::windowProc(HWND hwnd, UINT msg, WPARAM wParam,
                                           LPARAM lParam) noexcept {
  ControlWindow* self = from(hwnd);
  if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
  const WNDPROC classProc = self->classProc_;
  if (msg == WM_NCDESTROY) {
    // The window goes with its form's; this object goes when the form's
    // window is freed.
    Registry().erase(hwnd);
    self->hwnd_ = nullptr;
    return CallWindowProcW(classProc, hwnd, msg, wParam, lParam);
  }
  // A form that let go is not reached any more.
  if (!self->form_.form()) return CallWindowProcW(classProc, hwnd, msg, wParam, lParam);
  return Guarded([&] { return self->onMessage(hwnd, msg, wParam, lParam); },
                 [self](const std::exception_ptr& e) { self->form_.report(e); });
}

bool ControlWindow::mouse(UINT msg, int button) {
  auto& c = control_;
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (holdsPointer() && (c.OnMouseMove || c.OnMouseUp)) SetCapture(hwnd_);
      return !c.OnMouseDown || form_.fire(c.OnMouseDown, button);
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      // The system keeps who holds the pointer; a button holds it itself.
      if (holdsPointer() && GetCapture() == hwnd_) ReleaseCapture();
      return !c.OnMouseUp || form_.fire(c.OnMouseUp, button);
    default:
      return true;
  }
}

LRESULT ControlWindow::onMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto& c = control_;
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      if (!mouse(msg, 1)) return 0;
      break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      if (!mouse(msg, 2)) return 0;
      break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      if (!mouse(msg, 3)) return 0;
      break;
    case WM_MOUSEMOVE:
      if (!tracking_ && (c.OnMouseEnter || c.OnMouseLeave)) {
        tracking_ = true;
        TRACKMOUSEEVENT t{sizeof(t), TME_LEAVE, hwnd, 0};
        TrackMouseEvent(&t);
        if (c.OnMouseEnter && !form_.fire(c.OnMouseEnter)) return 0;
      }
      if (c.OnMouseMove && !form_.fire(c.OnMouseMove)) return 0;
      break;
    case WM_MOUSELEAVE:
      tracking_ = false;
      if (c.OnMouseLeave && !form_.fire(c.OnMouseLeave)) return 0;
      break;
    case WM_SETCURSOR:
      if (c.design().cursor == hv::ui::Cursor::Hand && LOWORD(lParam) == HTCLIENT) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    case WM_ERASEBKGND:
      if (paintsItself()) return 1;  // painted whole in WM_PAINT
      break;
    case WM_PAINT:
      if (paintsItself()) {
        PAINTSTRUCT ps{};
        HDC dc = BeginPaint(hwnd, &ps);
        paint(dc);
        EndPaint(hwnd, &ps);
        return 0;
      }
      break;
    case WM_PRINTCLIENT:
      // The window animation takes its pictures this way.
      if (paintsItself()) {
        paint(reinterpret_cast<HDC>(wParam));
        return 0;
      }
      break;
    default:
      if (auto r = message(msg, wParam, lParam)) return *r;
      break;
  }
  return CallWindowProcW(classProc_, hwnd, msg, wParam, lParam);
}

}  // namespace hv::platform::win32::winui
