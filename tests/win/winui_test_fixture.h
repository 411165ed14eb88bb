#pragma once
// What the window-system tests share: real windows of the standard classes
// under Wine, read and pressed the way a test driver or screen reader does
// it, on a window system whose error report the test reads.
#include <gtest/gtest.h>
#include <windows.h>
// After <windows.h>, which it needs.
#include <commctrl.h>

#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "base/error.h"
#include "platform/win32/ui/window_system_win32.h"
#include "support/window_text.h"
#include "ui/form.h"

// Not in an unnamed namespace: every file's tests share the one fixture.
namespace hv::platform::win32::winui::uitest {

using hv::ui::Bounds;
using hv::ui::ControlKind;
using hv::ui::ControlSpec;
using hv::ui::Form;
using hv::ui::FormSpec;
using hv::ui::MenuSpec;
using hv::ui::TimerSpec;

using hv::test::ClassOf;
using hv::test::TextOf;

// Position and size in the parent's client area.
inline Bounds BoundsOf(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  MapWindowPoints(nullptr, GetParent(h), reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

inline std::vector<HWND> ChildrenInZOrder(HWND parent) {
  std::vector<HWND> out;
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) out.push_back(c);
  return out;
}

inline LOGFONTW FontOf(HWND h) {
  LOGFONTW lf{};
  auto font = reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0));
  GetObjectW(font, sizeof(lf), &lf);
  return lf;
}

inline std::wstring MenuText(HMENU menu, int position) {
  wchar_t buf[128] = {};
  GetMenuStringW(menu, static_cast<UINT>(position), buf, 128, MF_BYPOSITION);
  return buf;
}

// Tests look parts up by name; the program's windows bind theirs while it
// compiles.
template <class T = void, class Made>
auto& MadeNamed(const std::vector<std::unique_ptr<Made>>& made, std::string_view name) {
  for (const auto& m : made) {
    if (m->name() != name) continue;
    if constexpr (std::is_void_v<T>)
      return *m;
    else
      return static_cast<T&>(*m);
  }
  throw std::logic_error("no part " + std::string(name));
}

// Lets messages run until done() or the time is up.
template <class Done>
bool PumpUntil(Win32WindowSystem& ws, Done done, DWORD ms = 3000) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > ms) return false;
    ws.processMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

// The program binds to version 6 of the common controls through its
// manifest; the tests make the same classes through an activation context.
class CommonControls6 {
 public:
  CommonControls6() {
    wchar_t dir[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, dir);
    path_ = std::wstring(dir) + L"horvane-window-tests.manifest";
    const char manifest[] =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
        "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">"
        "<dependency><dependentAssembly><assemblyIdentity type=\"win32\" "
        "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\" "
        "processorArchitecture=\"*\" publicKeyToken=\"6595b64144ccf1df\" language=\"*\"/>"
        "</dependentAssembly></dependency></assembly>";
    HANDLE f = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(f, manifest, sizeof(manifest) - 1, &written, nullptr);
    CloseHandle(f);
    ACTCTXW ctx{};
    ctx.cbSize = sizeof(ctx);
    ctx.lpSource = path_.c_str();
    context_ = CreateActCtxW(&ctx);
    if (context_ != INVALID_HANDLE_VALUE) ActivateActCtx(context_, &cookie_);
  }
  ~CommonControls6() {
    if (context_ == INVALID_HANDLE_VALUE) return;
    DeactivateActCtx(0, cookie_);
    ReleaseActCtx(context_);
    DeleteFileW(path_.c_str());
  }
  bool active() const { return context_ != INVALID_HANDLE_VALUE; }

 private:
  std::wstring path_;
  HANDLE context_ = INVALID_HANDLE_VALUE;
  ULONG_PTR cookie_ = 0;
};

class WindowSystemTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(controls6.active());
    ws.setErrorHandler([this](std::exception_ptr e) {
      try {
        std::rethrow_exception(e);
      } catch (const hv::Error& err) {
        errors.push_back(err.message());
      } catch (const std::exception& err) {
        errors.push_back(std::wstring(L"std: ") +
                         std::wstring(err.what(), err.what() + std::strlen(err.what())));
      }
    });
  }
  int scaled(int v) const { return MulDiv(v, dpi, 96); }
  // A form made as the program makes its windows, gone with the test.
  Form& open(const FormSpec& design) {
    forms.push_back(hv::ui::MakeForm<Form>(ws, design));
    return *forms.back();
  }

  CommonControls6 controls6;
  Win32WindowSystem ws;
  int dpi = static_cast<int>(GetDpiForSystem());
  std::vector<std::wstring> errors;
  std::vector<hv::ui::FormPtr<Form>> forms;
};

}  // namespace hv::platform::win32::winui::uitest
