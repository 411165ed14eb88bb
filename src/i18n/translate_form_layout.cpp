#include "i18n/translate_form_layout.h"

#include <array>

namespace hv::i18n {
namespace {

using ui::ControlKind;
using ui::ControlSpec;

constexpr int kClientWidth = 622;
constexpr int kClientHeight = 227;
constexpr int kBarHeight = 45;
constexpr int kBarTop = kClientHeight - kBarHeight;

const std::array<ControlSpec, 8> kControls{{
    {.name = "Label1", .bounds = {16, 16, 0, 0}, .text = L"User Interface Language:"},
    {.name = "ComboBox1",
     .kind = ControlKind::ComboBox,
     .bounds = {256, 12, 350, 0},
     .tabOrder = 0,
     .sorted = true},
    {.name = "Label2", .bounds = {16, 48, 0, 0}, .text = L"Translated by:"},
    {.name = "RichEdit1",
     .kind = ControlKind::Memo,
     .bounds = {256, 44, 350, 130},
     .tabOrder = 1,
     .readOnly = true,
     .buttonFace = true,
     .scrollBars = true},
    // The one-pixel line above the bottom bar.
    {.name = "Bevel1", .kind = ControlKind::Bevel, .bounds = {0, kBarTop - 1, kClientWidth, 1}},
    {.name = "Label3",
     .bounds = {16, kBarTop + 13, 0, 0},
     .text = L"Contribute Translation",
     .link = true,
     .cursor = ui::Cursor::Hand},
    {.name = "BitBtn1",
     .kind = ControlKind::Button,
     .bounds = {268, kBarTop + 6, 165, 33},
     .text = L"OK",
     .tabOrder = 2,
     .defaultButton = true},
    {.name = "BitBtn2",
     .kind = ControlKind::Button,
     .bounds = {441, kBarTop + 6, 165, 33},
     .text = L"Cancel",
     .tabOrder = 3,
     .cancelButton = true},
}};

}  // namespace

const ui::FormSpec& TranslateFormSpec() {
  static const ui::FormSpec design{
      .name = "TranslateForm",
      .caption = L"Language",
      .clientWidth = kClientWidth,
      .clientHeight = kClientHeight,
      .border = ui::BorderStyle::Dialog,
      .systemMenu = true,
      .minimizeBox = false,
      .maximizeBox = false,
      .position = ui::Position::ScreenCenter,
      .fontName = L"Tahoma",
      .fontHeight = 16,
      .controls = kControls,
  };
  return design;
}

}  // namespace hv::i18n
