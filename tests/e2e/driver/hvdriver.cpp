// hvdriver: a small test driver that reads and presses the real windows of a
// running program, the way a screen reader or UI automation would: it finds
// child windows, reads them with WM_GETTEXT and clicks with BM_CLICK.
//
//   hvdriver wait TITLE [MS]       wait until a top-level window TITLE exists
//   hvdriver gone TITLE [MS]       wait until no window TITLE exists
//   hvdriver dump TITLE            one line per child: class|x,y,w,h|vis|en|chk|text
//   hvdriver visible TITLE         prints 1 when the window is visible, else 0
//   hvdriver click TITLE TEXT      presses the child button whose text is TEXT
//   hvdriver menu TITLE CAPTION    runs the main-menu item CAPTION ('&' ignored)
//   hvdriver close TITLE           sends WM_CLOSE
//   hvdriver rect TITLE            the window's screen rectangle and client size
//   hvdriver hints TITLE           one line per tooltip of the window: its text
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <cstdio>
#include <string>
#include <vector>

#include "support/window_text.h"

namespace {

std::string Utf8(const std::wstring& w) {
  if (w.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string s(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr,
                      nullptr);
  return s;
}

using hv::test::ClassOf;
using hv::test::TextOf;

struct FindTop {
  std::wstring title;
  std::vector<HWND> found;
};

BOOL CALLBACK OnTop(HWND h, LPARAM p) {
  auto* f = reinterpret_cast<FindTop*>(p);
  if (TextOf(h) == f->title) f->found.push_back(h);
  return TRUE;
}

std::vector<HWND> TopWindows(const std::wstring& title) {
  FindTop f{title, {}};
  EnumWindows(OnTop, reinterpret_cast<LPARAM>(&f));
  return f.found;
}

HWND FindWindowTitled(const std::wstring& title) {
  auto all = TopWindows(title);
  for (HWND h : all)
    if (IsWindowVisible(h)) return h;
  return all.empty() ? nullptr : all.front();
}

BOOL CALLBACK OnChild(HWND h, LPARAM p) {
  reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
  return TRUE;
}

std::vector<HWND> Children(HWND top) {
  std::vector<HWND> out;
  EnumChildWindows(top, OnChild, reinterpret_cast<LPARAM>(&out));
  return out;
}

std::wstring NoAmpersand(std::wstring s) {
  std::wstring out;
  for (wchar_t c : s)
    if (c != L'&') out += c;
  return out;
}

bool FindMenuItem(HMENU menu, const std::wstring& caption, UINT& id) {
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    wchar_t buf[256] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING | MIIM_ID | MIIM_SUBMENU;
    info.dwTypeData = buf;
    info.cch = 255;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
    if (info.hSubMenu) {
      if (FindMenuItem(info.hSubMenu, caption, id)) return true;
    } else if (NoAmpersand(buf) == NoAmpersand(caption)) {
      id = info.wID;
      return true;
    }
  }
  return false;
}

struct FindTips {
  HWND owner;
  std::vector<HWND> found;
};

BOOL CALLBACK OnTip(HWND h, LPARAM p) {
  auto* f = reinterpret_cast<FindTips*>(p);
  if (GetWindow(h, GW_OWNER) == f->owner && ClassOf(h) == TOOLTIPS_CLASSW) f->found.push_back(h);
  return TRUE;
}

// A tooltip answers with pointers into its own process, so the question and
// the answer go through memory there.
int PrintHints(HWND top) {
  DWORD pid = 0;
  GetWindowThreadProcessId(top, &pid);
  HANDLE process =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return 1;
  constexpr std::size_t kChars = 1024;
  auto* remote = static_cast<std::uint8_t*>(VirtualAllocEx(
      process, nullptr, sizeof(TOOLINFOW) + kChars * sizeof(wchar_t), MEM_COMMIT, PAGE_READWRITE));
  auto* remoteText = reinterpret_cast<wchar_t*>(remote + sizeof(TOOLINFOW));
  FindTips f{top, {}};
  EnumWindows(OnTip, reinterpret_cast<LPARAM>(&f));
  for (HWND tip : f.found) {
    const auto count = SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      TOOLINFOW info{};
      info.cbSize = TTTOOLINFOW_V2_SIZE;
      WriteProcessMemory(process, remote, &info, sizeof info, nullptr);
      if (!SendMessageW(tip, TTM_ENUMTOOLSW, static_cast<WPARAM>(i),
                        reinterpret_cast<LPARAM>(remote)))
        continue;
      ReadProcessMemory(process, remote, &info, sizeof info, nullptr);
      info.lpszText = remoteText;
      const wchar_t empty = 0;
      WriteProcessMemory(process, remoteText, &empty, sizeof empty, nullptr);
      WriteProcessMemory(process, remote, &info, sizeof info, nullptr);
      SendMessageW(tip, TTM_GETTEXTW, kChars, reinterpret_cast<LPARAM>(remote));
      std::wstring text(kChars, L'\0');
      ReadProcessMemory(process, remoteText, text.data(), kChars * sizeof(wchar_t), nullptr);
      text.resize(wcsnlen(text.c_str(), kChars - 1));
      std::printf("%s\n", Utf8(text).c_str());
    }
  }
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  return 0;
}

int Usage() {
  std::fprintf(stderr,
               "usage: hvdriver wait|gone|dump|visible|click|menu|close|rect|hints TITLE ...\n");
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return Usage();
  const std::wstring cmd = argv[1];
  const std::wstring title = argv[2];
  const DWORD limit = argc > 3 ? static_cast<DWORD>(_wtoi(argv[3])) : 10000;

  if (cmd == L"wait" || cmd == L"gone") {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < limit) {
      const bool present = FindWindowTitled(title) != nullptr;
      if (present == (cmd == L"wait")) return 0;
      Sleep(50);
    }
    return 1;
  }
  HWND top = FindWindowTitled(title);
  if (!top) {
    std::fprintf(stderr, "no window titled %s\n", Utf8(title).c_str());
    return 1;
  }
  if (cmd == L"visible") {
    std::printf("%d\n", IsWindowVisible(top) ? 1 : 0);
    return 0;
  }
  if (cmd == L"rect") {
    RECT w{}, c{};
    GetWindowRect(top, &w);
    GetClientRect(top, &c);
    std::printf("%ld,%ld,%ld,%ld client %ld,%ld\n", w.left, w.top, w.right - w.left,
                w.bottom - w.top, c.right, c.bottom);
    return 0;
  }
  if (cmd == L"dump") {
    for (HWND h : Children(top)) {
      RECT r{};
      GetWindowRect(h, &r);
      MapWindowPoints(nullptr, GetParent(h), reinterpret_cast<POINT*>(&r), 2);
      const bool checked =
          ClassOf(h) == L"Button" && SendMessageW(h, BM_GETCHECK, 0, 0) == BST_CHECKED;
      std::printf("%s|%ld,%ld,%ld,%ld|%d|%d|%d|%s\n", Utf8(ClassOf(h)).c_str(), r.left, r.top,
                  r.right - r.left, r.bottom - r.top, IsWindowVisible(h) ? 1 : 0,
                  IsWindowEnabled(h) ? 1 : 0, checked ? 1 : 0, Utf8(TextOf(h)).c_str());
    }
    return 0;
  }
  if (cmd == L"click" && argc > 3) {
    const std::wstring text = argv[3];
    for (HWND h : Children(top))
      if (NoAmpersand(TextOf(h)) == NoAmpersand(text)) {
        PostMessageW(h, BM_CLICK, 0, 0);
        return 0;
      }
    std::fprintf(stderr, "no control with text %s\n", Utf8(text).c_str());
    return 1;
  }
  if (cmd == L"menu" && argc > 3) {
    UINT id = 0;
    HMENU menu = GetMenu(top);
    if (!menu || !FindMenuItem(menu, argv[3], id)) {
      std::fprintf(stderr, "no menu item %s\n", Utf8(argv[3]).c_str());
      return 1;
    }
    PostMessageW(top, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    return 0;
  }
  if (cmd == L"hints") return PrintHints(top);
  if (cmd == L"close") {
    PostMessageW(top, WM_CLOSE, 0, 0);
    return 0;
  }
  return Usage();
}
