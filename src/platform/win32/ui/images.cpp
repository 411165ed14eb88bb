#include "platform/win32/ui/images.h"

#include <algorithm>

namespace hv::platform::win32::winui {
namespace {

// The maker's logo: the maker's name in heavy capitals over a thin bar, on
// whatever lies below (it has no background of its own).
void DrawLogo(HDC dc, const RECT& r) {
  const int width = r.right - r.left, height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return;
  LOGFONTW lf{};
  lf.lfHeight = -std::max(1, height * 11 / 20);
  lf.lfWeight = FW_HEAVY;
  lf.lfQuality = ANTIALIASED_QUALITY;
  wcscpy_s(lf.lfFaceName, L"Tahoma");
  FontHandle font(CreateFontIndirectW(&lf));
  SelectedObject selected(dc, font.get());
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColour = SetTextColor(dc, RGB(60, 200, 80));
  RECT text = r;
  text.bottom = r.top + height * 4 / 5;
  DrawTextW(dc, L"CALVION", -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  SIZE extent{};
  GetTextExtentPoint32W(dc, L"CALVION", 7, &extent);
  const int barWidth = std::min(width, static_cast<int>(extent.cx));
  RECT bar{r.left + (width - barWidth) / 2, text.bottom, r.left + (width + barWidth) / 2,
           text.bottom + std::max(1, height / 30)};
  BrushHandle brush(CreateSolidBrush(RGB(60, 200, 80)));
  FillRect(dc, &bar, brush.get());
  SetTextColor(dc, oldColour);
  SetBkMode(dc, oldMode);
}

}  // namespace

std::wstring ImageLibrary::resourceName(std::string_view name) {
  if (name == "app") return L"APP";
  std::wstring out = L"IMG_";
  for (char c : name) out += static_cast<wchar_t>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  return out;
}

HICON ImageLibrary::icon(std::string_view name, int size) {
  if (name.empty() || size <= 0) return nullptr;
  auto key = std::make_pair(std::string(name), size);
  auto it = icons_.find(key);
  if (it == icons_.end()) {
    // A size the icon file lacks is scaled from the nearest one it has.
    auto* loaded = static_cast<HICON>(
        LoadImageW(instance_, resourceName(name).c_str(), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    it = icons_.emplace(std::move(key), IconHandle(loaded)).first;
  }
  return it->second.get();
}

bool ImageLibrary::draw(HDC dc, std::string_view name, const RECT& r) {
  if (name == "logo") {
    DrawLogo(dc, r);
    return true;
  }
  const int w = r.right - r.left, h = r.bottom - r.top;
  HICON i = icon(name, std::max(w, h));
  if (!i) return false;
  return DrawIconEx(dc, r.left, r.top, i, w, h, 0, nullptr, DI_NORMAL) != FALSE;
}

}  // namespace hv::platform::win32::winui
