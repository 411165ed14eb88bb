#include "platform/win32/desktop_win32.h"

#include <commctrl.h>
#include <uxtheme.h>

#include "platform/win32/ui/guarded.h"

namespace hv::platform::win32 {
namespace {

constexpr UINT_PTR kCaptureSubclass = 0x48564E56;  // one drag at a time

ScreenColour FromColorRef(COLORREF c) {
  return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

}  // namespace

struct Win32Desktop::Capture {
  HWND hwnd = nullptr;
  std::function<void(ScreenPoint)> onMove;
  std::function<void()> onRelease;
};

Win32Desktop::Win32Desktop(winui::Win32WindowSystem& windows) : windows_(windows) {}

Win32Desktop::~Win32Desktop() {
  if (capture_) {
    RemoveWindowSubclass(capture_->hwnd, captureProc, kCaptureSubclass);
    if (GetCapture() == capture_->hwnd) ReleaseCapture();
  }
}

int Win32Desktop::screenWidth() {
  return GetSystemMetrics(SM_CXSCREEN);
}

ScreenPoint Win32Desktop::cursorPos() {
  POINT p{};
  if (!GetCursorPos(&p)) return {};
  return {p.x, p.y};
}

ScreenColour Win32Desktop::styleColour(StyleColour which) {
  const int index = which == StyleColour::MenuHighlight ? COLOR_MENUHILIGHT : COLOR_WINDOWTEXT;
  // Without an active visual style the classic system colour is the answer.
  HTHEME theme = OpenThemeData(GetDesktopWindow(), L"WINDOW");
  const COLORREF c = theme ? GetThemeSysColor(theme, index) : GetSysColor(index);
  if (theme) CloseThemeData(theme);
  return FromColorRef(c);
}

void Win32Desktop::animate(ui::Form& form, unsigned ms, unsigned flags) {
  if (HWND h = windows_.windowOf(form)) AnimateWindow(h, ms, flags);
}

bool Win32Desktop::focus(ui::Form& form) {
  HWND h = windows_.windowOf(form);
  if (!h || !IsWindowVisible(h)) return false;
  SetFocus(h);
  return GetFocus() == h;
}

void Win32Desktop::capturePointer(ui::Form& form, std::function<void(ScreenPoint)> onMove,
                                  std::function<void()> onRelease) {
  endCapture();
  HWND h = windows_.windowOf(form);
  if (!h) {
    if (onRelease) onRelease();
    return;
  }
  capture_ = std::make_unique<Capture>(Capture{h, std::move(onMove), std::move(onRelease)});
  SetWindowSubclass(h, captureProc, kCaptureSubclass, reinterpret_cast<DWORD_PTR>(this));
  SetCapture(h);
}

void Win32Desktop::endCapture() {
  if (!capture_) return;
  // Taken out first: the release may start a new capture.
  std::unique_ptr<Capture> ended = std::move(capture_);
  RemoveWindowSubclass(ended->hwnd, captureProc, kCaptureSubclass);
  if (GetCapture() == ended->hwnd) ReleaseCapture();
  if (ended->onRelease) ended->onRelease();
}

LRESULT CALLBACK Win32Desktop::captureProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR, DWORD_PTR data) noexcept {
  auto* self = reinterpret_cast<Win32Desktop*>(data);
  // cppcheck-suppress throwInNoexceptFunction ; guarded() catches everything
  return winui::Guarded([&] { return self->onCaptureMessage(hwnd, msg, wParam, lParam); },
                        [self](const std::exception_ptr& e) { self->windows_.report(e); });
}

// The drag's moves and its end run as the form's events do.
LRESULT Win32Desktop::onCaptureMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_MOUSEMOVE:
      if (capture_ && capture_->onMove) {
        POINT p{};
        GetCursorPos(&p);
        windows_.dispatch([this, p] {
          if (capture_ && capture_->onMove) capture_->onMove({p.x, p.y});
        });
      }
      return 0;
    case WM_LBUTTONUP:
    case WM_MBUTTONUP:
    case WM_RBUTTONUP:
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
    case WM_DESTROY: {
      const LRESULT result = DefSubclassProc(hwnd, msg, wParam, lParam);
      windows_.dispatch([this] { endCapture(); });
      return result;
    }
    default:
      break;
  }
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

}  // namespace hv::platform::win32
