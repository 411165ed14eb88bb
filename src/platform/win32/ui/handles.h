#pragma once
// Owners of the window-system handles.
#include <windows.h>
// After <windows.h>, which it needs.
#include <commctrl.h>

#include "platform/win32/unique_handle.h"

namespace hv::platform::win32::winui {

using win32::UniqueHandle;

struct WindowTraits {
  using Handle = HWND;
  static void free(HWND h) { DestroyWindow(h); }
};
struct GdiObjectTraits {
  using Handle = HGDIOBJ;
  static void free(HGDIOBJ h) { DeleteObject(h); }
};
struct FontTraits {
  using Handle = HFONT;
  static void free(HFONT h) { DeleteObject(h); }
};
struct BrushTraits {
  using Handle = HBRUSH;
  static void free(HBRUSH h) { DeleteObject(h); }
};
struct BitmapTraits {
  using Handle = HBITMAP;
  static void free(HBITMAP h) { DeleteObject(h); }
};
struct MenuTraits {
  using Handle = HMENU;
  static void free(HMENU h) { DestroyMenu(h); }
};
struct IconTraits {
  using Handle = HICON;
  static void free(HICON h) { DestroyIcon(h); }
};
struct HookTraits {
  using Handle = HHOOK;
  static void free(HHOOK h) { UnhookWindowsHookEx(h); }
};
struct AccelTraits {
  using Handle = HACCEL;
  static void free(HACCEL h) { DestroyAcceleratorTable(h); }
};
struct ImageListTraits {
  using Handle = HIMAGELIST;
  static void free(HIMAGELIST h) { ImageList_Destroy(h); }
};
struct MemoryDcTraits {
  using Handle = HDC;
  static void free(HDC h) { DeleteDC(h); }
};

using WindowHandle = UniqueHandle<WindowTraits>;
using FontHandle = UniqueHandle<FontTraits>;
using BrushHandle = UniqueHandle<BrushTraits>;
using BitmapHandle = UniqueHandle<BitmapTraits>;
using MenuHandle = UniqueHandle<MenuTraits>;
using IconHandle = UniqueHandle<IconTraits>;
using HookHandle = UniqueHandle<HookTraits>;
using AccelHandle = UniqueHandle<AccelTraits>;
using MemoryDc = UniqueHandle<MemoryDcTraits>;
using ImageListHandle = UniqueHandle<ImageListTraits>;

// Selects a GDI object into a device context for one scope.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;
  ~SelectedObject() {
    if (old_) SelectObject(dc_, old_);
  }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace hv::platform::win32::winui
