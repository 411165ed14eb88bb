#include "i18n/translate_form_layout.h"

namespace hv::i18n {

const ui::FormSpec& TranslateFormSpec() {
  static const ui::FormSpec design{
      .name = "TranslateForm",
      .caption = L"Language",
      .clientWidth = kTranslateClientWidth,
      .clientHeight = kTranslateClientHeight,
      .border = ui::BorderStyle::Dialog,
      .systemMenu = true,
      .minimizeBox = false,
      .maximizeBox = false,
      .position = ui::Position::ScreenCenter,
      .fontName = L"Tahoma",
      .fontHeight = 16,
      .controls = kTranslateControls,
  };
  return design;
}

}  // namespace hv::i18n
