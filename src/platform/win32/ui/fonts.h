#pragma once
// The fonts of one window: its face at the heights, weights and underlines
// its controls ask for, made for the window's current DPI. A height is the
// character height in pixels at 96 DPI.
#include <windows.h>

#include <map>
#include <string>
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

 private:
  std::wstring face_;
  int dpi_;
  std::map<FontKey, FontHandle> fonts_;
};

}  // namespace hv::platform::win32::winui
