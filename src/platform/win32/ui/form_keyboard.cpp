// A form window's keyboard: the focused control hears a key first, then the
// menu shortcuts; Tab moves on in tab order, Enter presses the default
// button and Escape the cancel button. The focus comes back to where it was
// when the window is activated again.
#include "platform/win32/ui/form_window.h"

namespace hv::platform::win32::winui {
namespace {

using hv::ui::ControlKind;

bool KeyDown(UINT msg) {
  return msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN;
}

bool IsEditClass(HWND h) {
  wchar_t cls[16] = {};
  GetClassNameW(h, cls, 16);
  return lstrcmpiW(cls, L"Edit") == 0;
}

}  // namespace

void FormWindow::focusFirst() {
  if (HWND first = GetNextDlgTabItem(hwnd_, nullptr, FALSE)) SetFocus(first);
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
  if (!KeyDown(msg.message)) return false;
  const auto key = static_cast<unsigned>(msg.wParam);
  HWND target = msg.hwnd;
  // The control with the focus hears the key first.
  if (auto* c = controlFor(target)) {
    auto& control = c->control();
    if (control.OnKeyDown && !fire(control.OnKeyDown, key)) return true;
  } else if (target == hwnd_ && form_->OnKeyDown) {
    if (!fire(form_->OnKeyDown, key)) return true;
  }
  if (!IsWindow(target)) return true;
  if (accelerators_ && TranslateAcceleratorW(hwnd_, accelerators_.get(), &msg)) return true;
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
      if (HWND next = GetNextDlgTabItem(hwnd_, focus, back)) {
        SetFocus(next);
        HWND now = GetFocus();
        if (now && IsEditClass(now)) SendMessageW(now, EM_SETSEL, 0, -1);
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

void FormWindow::activated(WPARAM how) {
  HWND h = hwnd_;
  if (LOWORD(how) == WA_INACTIVE) {
    HWND focus = GetFocus();
    if (focus && IsChild(h, focus)) lastFocus_ = focus;
  } else if (!HIWORD(how)) {
    if (lastFocus_ && IsWindow(lastFocus_) && IsChild(h, lastFocus_))
      SetFocus(lastFocus_);
    else
      focusFirst();
  }
}

}  // namespace hv::platform::win32::winui
