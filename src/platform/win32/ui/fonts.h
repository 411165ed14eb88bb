#pragma once
// The fonts of one window: its face at the heights, weights and underlines
// its controls ask for, made for the window's current DPI. A height is the
// character height in pixels at 96 DPI. Text is measured here too, on a DC
// of its own, so that a control's size is known before its window exists.
#include <windows.h>

#include <map>
#include <string>
#include <string_view>
#include <tuple>

#include "platform/win32/ui/handles.h"

namespace hv::platform::win32::winui {

struct FontKey {
  int height = 11;
  bool bold = false;
  bool underline = false;
  std::wstring face{};  // empty: the window's face
  friend auto operator<=>(const FontKey&, const FontKey&) = default;
};

class FontCache {
 public:
  FontCache(std::wstring face, int dpi) : face_(std::move(face)), dpi_(dpi) {}
  FontCache(const FontCache&) = delete;
  FontCache& operator=(const FontCache&) = delete;
  FontCache(FontCache&&) = default;
  FontCache& operator=(FontCache&&) = default;

  HFONT get(const FontKey& key);
  int dpi() const { return dpi_; }
  // Width and height of text in a font, in physical pixels: the text's
  // bounding box, at least one line high.
  SIZE measure(HFONT font, std::wstring_view text);

 private:
  std::wstring face_;
  int dpi_;
  std::map<FontKey, FontHandle> fonts_;
  MemoryDc measuring_;  // made at the first measure
};

}  // namespace hv::platform::win32::winui
