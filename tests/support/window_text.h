#pragma once
// What a screen reader or a test driver reads of a real window: its text
// through WM_GETTEXT, and its class name. The Windows tests and the
// end-to-end driver share these.
#include <windows.h>

#include <string>

namespace hv::test {

inline std::wstring TextOf(HWND h) {
  const auto n = SendMessageW(h, WM_GETTEXTLENGTH, 0, 0);
  std::wstring s(static_cast<std::size_t>(n) + 1, L'\0');
  SendMessageW(h, WM_GETTEXT, static_cast<WPARAM>(s.size()), reinterpret_cast<LPARAM>(s.data()));
  s.resize(static_cast<std::size_t>(n));
  return s;
}

inline std::wstring ClassOf(HWND h) {
  wchar_t buf[128] = {};
  GetClassNameW(h, buf, 128);
  return buf;
}

}  // namespace hv::test
