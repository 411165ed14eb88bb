#include "platform/win32/ui/fonts.h"

#include <algorithm>

#include "base/error.h"
#include "ui/layout_rules.h"

namespace hv::platform::win32::winui {

HFONT FontCache::get(const FontKey& key) {
  auto it = fonts_.find(key);
  if (it != fonts_.end()) return it->second.get();
  LOGFONTW lf{};
  // Negative: the character height, as the layout gives it, not the cell.
  lf.lfHeight = -ui::layout::Scale(key.height, dpi_);
  lf.lfWeight = key.bold ? FW_BOLD : FW_NORMAL;
  lf.lfUnderline = key.underline ? TRUE : FALSE;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = CLEARTYPE_QUALITY;
  const std::wstring& face = key.face.empty() ? face_ : key.face;
  face.copy(lf.lfFaceName, LF_FACESIZE - 1);
  FontHandle font(CreateFontIndirectW(&lf));
  if (!font) throw Error(L"Unable to create the font " + face);
  return fonts_.emplace(key, std::move(font)).first->second.get();
}

// A memory DC measures as the screen does, and needs no window: a window's
// own DC would cost a visible-region query per control.
SIZE FontCache::measure(HFONT font, std::wstring_view text) {
  if (!measuring_) measuring_.reset(CreateCompatibleDC(nullptr));
  HDC dc = measuring_.get();
  if (!dc) throw Error(L"Unable to make a DC to measure text on");
  SelectedObject selected(dc, font);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  RECT r{0, 0, 0, 0};
  if (!text.empty())
    DrawTextW(dc, text.data(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_EXPANDTABS);
  return {r.right, std::max<LONG>(r.bottom, tm.tmHeight)};
}

}  // namespace hv::platform::win32::winui
