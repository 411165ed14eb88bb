#include "platform/win32/ui/gdi_canvas.h"

#include "ui/layout_rules.h"

namespace hv::platform::win32::winui {

RECT GdiCanvas::physical(const hv::ui::Bounds& r) const {
  const auto b = ui::layout::Scale(r, fonts_.dpi());
  return {b.left, b.top, b.left + b.width, b.top + b.height};
}

void GdiCanvas::fillRect(hv::ui::Bounds r, hv::ui::Colour c) {
  const RECT rect = physical(r);
  BrushHandle brush(CreateSolidBrush(RGB(c.r, c.g, c.b)));
  FillRect(dc_, &rect, brush.get());
}

void GdiCanvas::drawText(int x, int y, std::wstring_view text, hv::ui::Colour c, int fontHeight,
                         bool bold) {
  SelectedObject font(dc_, fonts_.get({fontHeight, bold, false}));
  SetBkMode(dc_, OPAQUE);
  SetBkColor(dc_, background_);
  SetTextColor(dc_, RGB(c.r, c.g, c.b));
  const int dpi = fonts_.dpi();
  TextOutW(dc_, ui::layout::Scale(x, dpi), ui::layout::Scale(y, dpi), text.data(),
           static_cast<int>(text.size()));
}

void GdiCanvas::drawImage(std::string_view image, hv::ui::Bounds r) {
  images_.draw(dc_, image, physical(r));
}

}  // namespace hv::platform::win32::winui
