#include "platform/win32/ui/message_box.h"

#include <string>
#include <vector>

#include "platform/win32/ui/handles.h"

namespace hv::platform::win32::winui {
namespace {

struct PendingCaptions {
  const std::vector<std::wstring>* captions = nullptr;
  bool done = false;
};

// The box being opened on this thread; a box opened from inside it (by a
// timer, say) is not the one the captions are for.
thread_local PendingCaptions* t_pending = nullptr;

bool IsPushButton(HWND h) {
  wchar_t cls[16] = {};
  GetClassNameW(h, cls, 16);
  if (lstrcmpiW(cls, L"Button") != 0) return false;
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(h, GWL_STYLE));
  const DWORD type = style & BS_TYPEMASK;
  // Buttons the box does not use may stay in it, hidden.
  return (style & WS_VISIBLE) && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

void RenameButtons(HWND box, const std::vector<std::wstring>& captions) {
  std::size_t next = 0;
  for (HWND child = GetWindow(box, GW_CHILD); child && next < captions.size();
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (IsPushButton(child)) SetWindowTextW(child, captions[next++].c_str());
  }
}

LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam) noexcept {
  if (code == HCBT_ACTIVATE && t_pending && !t_pending->done) {
    auto* box = reinterpret_cast<HWND>(wParam);
    wchar_t cls[16] = {};
    GetClassNameW(box, cls, 16);
    if (lstrcmpW(cls, L"#32770") == 0) {
      t_pending->done = true;
      RenameButtons(box, *t_pending->captions);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

UINT IconFlag(hv::ui::MessageIcon icon) {
  switch (icon) {
    case hv::ui::MessageIcon::None:
      return 0;
    case hv::ui::MessageIcon::Error:
      return MB_ICONERROR;
    case hv::ui::MessageIcon::Warning:
      return MB_ICONWARNING;
    case hv::ui::MessageIcon::Information:
      return MB_ICONINFORMATION;
    case hv::ui::MessageIcon::Question:
      return MB_ICONQUESTION;
  }
  return 0;
}

hv::ui::ModalResult ResultOf(int answer) {
  switch (answer) {
    case IDOK:
      return hv::ui::ModalResult::OK;
    case IDYES:
      return hv::ui::ModalResult::Yes;
    case IDNO:
      return hv::ui::ModalResult::No;
    case IDCANCEL:
      return hv::ui::ModalResult::Cancel;
    default:
      return hv::ui::ModalResult::None;
  }
}

}  // namespace

hv::ui::ModalResult ShowMessageBox(HWND owner, const hv::ui::MessageBoxRequest& request) {
  UINT flags = IconFlag(request.icon);
  flags |= request.buttons == hv::ui::MessageButtons::YesNo ? MB_YESNO : MB_OK;
  if (request.defaultButton == 1) flags |= MB_DEFBUTTON2;
  if (!owner) flags |= MB_TASKMODAL;

  PendingCaptions pending{&request.buttonCaptions};
  PendingCaptions* outer = t_pending;
  HookHandle hook;
  if (!request.buttonCaptions.empty()) {
    t_pending = &pending;
    hook.reset(SetWindowsHookExW(WH_CBT, CbtProc, nullptr, GetCurrentThreadId()));
  }
  const int answer = MessageBoxW(owner, request.text.c_str(), request.caption.c_str(), flags);
  hook.reset();
  t_pending = outer;
  return ResultOf(answer);
}

}  // namespace hv::platform::win32::winui
