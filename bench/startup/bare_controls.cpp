// The program's main window made with plain Win32 calls and nothing else:
// the same manifest, frame, menu bar, controls (class, style, text, font,
// state, tab order), button and window pictures, and the focus in the
// server box. What it costs over bare_window.exe is what such a window costs
// under this toolchain and Wine; what horvane.exe costs over it is the
// program's own.
#include <windows.h>

#include <array>

#include "app/main_form_layout.h"
#include "bare_frame.h"

namespace {

using hv::ui::Align;
using hv::ui::ControlKind;
using hv::ui::ControlSpec;

constexpr int kDropDownRows = 8;

int Scale(int value, int dpi) {
  return MulDiv(value, dpi, 96);
}

// One font per height, as the program keeps them.
HFONT FontOf(int height, int dpi) {
  static std::array<std::pair<int, HFONT>, 4> fonts{};
  for (auto& [h, font] : fonts) {
    if (h == height) return font;
    if (h) continue;
    h = height;
    font = CreateFontW(-Scale(height, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, 0, 0, CLEARTYPE_QUALITY, 0, L"Tahoma");
    return font;
  }
  return nullptr;
}

HMENU MenuBar() {
  HMENU bar = CreateMenu();
  HMENU current = nullptr;
  for (const auto& item : hv::app::kAppMainMenu) {
    if (!item.visible) continue;
    if (item.parent.empty()) {
      current = CreatePopupMenu();
      AppendMenuW(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(current),
                  item.caption.data());
    } else if (item.separator) {
      AppendMenuW(current, MF_SEPARATOR, 0, nullptr);
    } else {
      AppendMenuW(current, MF_STRING | (item.enabled ? 0 : MF_GRAYED), 0, item.caption.data());
    }
  }
  return bar;
}

struct NativeClass {
  const wchar_t* name;
  DWORD style;
  DWORD exStyle = 0;
};

NativeClass ClassOf(const ControlSpec& s) {
  switch (s.kind) {
    case ControlKind::ComboBox:
      return {L"COMBOBOX", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL};
    case ControlKind::CheckBox:
      return {L"BUTTON", BS_CHECKBOX};
    case ControlKind::Edit:
      return {L"EDIT", ES_AUTOHSCROLL | ES_READONLY | ES_RIGHT, WS_EX_CLIENTEDGE};
    case ControlKind::Button:
      return {L"BUTTON", static_cast<DWORD>(s.defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON)};
    default: {
      const DWORD align = s.align == Align::Left    ? SS_LEFTNOWORDWRAP
                          : s.align == Align::Right ? SS_RIGHT | SS_CENTERIMAGE
                                                    : SS_CENTER | SS_CENTERIMAGE;
      return {L"STATIC", SS_NOTIFY | align};
    }
  }
}

// Tab order is z-order: the controls with a tab stop first, in its order.
auto CreationOrder() {
  std::array<const ControlSpec*, hv::app::kAppControls.size()> order{};
  std::size_t n = 0;
  for (int tab = 0; tab < static_cast<int>(order.size()); ++tab)
    for (const auto& c : hv::app::kAppControls)
      if (c.tabOrder == tab) order[n++] = &c;
  for (const auto& c : hv::app::kAppControls)
    if (c.tabOrder < 0) order[n++] = &c;
  return order;
}

HWND MakeControl(HWND parent, const ControlSpec& s, int dpi, HINSTANCE instance) {
  const NativeClass native = ClassOf(s);
  DWORD style = WS_CHILD | WS_VISIBLE | native.style;
  if (s.tabOrder >= 0) style |= WS_TABSTOP;
  if (!s.enabled) style |= WS_DISABLED;
  const int width = s.bounds.width ? s.bounds.width : 180,
            height = s.bounds.height ? s.bounds.height : 23;
  const bool combo = s.kind == ControlKind::ComboBox;
  HWND h = CreateWindowExW(native.exStyle, native.name, s.text.data(), style,
                           Scale(s.bounds.left, dpi), Scale(s.bounds.top, dpi), Scale(width, dpi),
                           Scale(combo ? 24 + kDropDownRows * 19 : height, dpi), parent, nullptr,
                           instance, nullptr);
  SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(s.fontHeight, dpi)), FALSE);
  if (combo) {
    for (auto preset : hv::app::kServerPresets)
      SendMessageW(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(preset.data()));
    SetWindowTextW(h, L"time.nist.gov");
  }
  if (!s.icon.empty()) {
    const wchar_t* name = s.icon == "get" ? L"IMG_GET" : L"IMG_SYNC";
    const int size = Scale(16, dpi);
    auto* icon = static_cast<HICON>(LoadImageW(instance, name, IMAGE_ICON, size, size, 0));
    SendMessageW(h, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
  }
  return h;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  if (!bare::RegisterFrameClass(instance, L"BareControls")) return 1;
  const int dpi = static_cast<int>(GetDpiForSystem());
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  const DWORD ex = WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;
  RECT r{0, 0, Scale(hv::app::kAppClientWidth, dpi), Scale(hv::app::kAppClientHeight, dpi)};
  AdjustWindowRectExForDpi(&r, style, TRUE, ex, static_cast<UINT>(dpi));
  HWND hwnd =
      CreateWindowExW(ex, L"BareControls", L"Bare Controls", style, CW_USEDEFAULT, CW_USEDEFAULT,
                      r.right - r.left, r.bottom - r.top, nullptr, MenuBar(), instance, nullptr);
  if (!hwnd) return 1;
  HWND first = nullptr;
  for (const ControlSpec* s : CreationOrder()) {
    HWND h = MakeControl(hwnd, *s, dpi, instance);
    if (!first) first = h;
  }
  for (auto [which, metric] :
       {std::pair{ICON_BIG, SM_CXICON}, std::pair{ICON_SMALL, SM_CXSMICON}}) {
    const int size = GetSystemMetricsForDpi(metric, static_cast<UINT>(dpi));
    SendMessageW(hwnd, WM_SETICON, which,
                 reinterpret_cast<LPARAM>(LoadImageW(instance, L"APP", IMAGE_ICON, size, size, 0)));
  }
  ShowWindow(hwnd, show);
  SetFocus(first);
  return bare::RunMessageLoop(hwnd);
}
