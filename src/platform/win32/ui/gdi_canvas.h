#pragma once
// A form's painted decoration through GDI. Coordinates and font heights are
// in layout pixels (96 DPI) and scaled to the window's DPI; text is drawn
// opaquely on the window's background colour, so a character replaces what
// was in its cell.
#include <windows.h>

#include "platform/win32/ui/fonts.h"
#include "platform/win32/ui/images.h"
#include "ui/form.h"

namespace hv::platform::win32::winui {

class GdiCanvas : public hv::ui::Canvas {
 public:
  GdiCanvas(HDC dc, FontCache& fonts, ImageLibrary& images, COLORREF background)
      : dc_(dc), fonts_(fonts), images_(images), background_(background) {}

  void fillRect(hv::ui::Bounds r, hv::ui::Colour c) override;
  void drawText(int x, int y, std::wstring_view text, hv::ui::Colour c, int fontHeight,
                bool bold) override;
  void drawImage(std::string_view image, hv::ui::Bounds r) override;

 private:
  RECT physical(const hv::ui::Bounds& r) const;
  HDC dc_;
  FontCache& fonts_;
  ImageLibrary& images_;
  COLORREF background_;
};

}  // namespace hv::platform::win32::winui
