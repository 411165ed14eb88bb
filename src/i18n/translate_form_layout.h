#pragma once
// The language window's layout at 96 DPI.
#include <array>

#include "ui/form.h"

namespace hv::i18n {

inline constexpr int kTranslateClientWidth = 622;
inline constexpr int kTranslateClientHeight = 227;
inline constexpr int kTranslateBarHeight = 45;
inline constexpr int kTranslateBarTop = kTranslateClientHeight - kTranslateBarHeight;

inline constexpr std::array<ui::ControlSpec, 8> kTranslateControls{{
    {.name = "Label1", .bounds = {16, 16, 0, 0}, .text = L"User Interface Language:"},
    {.name = "ComboBox1",
     .kind = ui::ControlKind::ComboBox,
     .bounds = {256, 12, 350, 0},
     .tabOrder = 0,
     .sorted = true},
    {.name = "Label2", .bounds = {16, 48, 0, 0}, .text = L"Translated by:"},
    {.name = "RichEdit1",
     .kind = ui::ControlKind::Memo,
     .bounds = {256, 44, 350, 130},
     .tabOrder = 1,
     .readOnly = true,
     .buttonFace = true,
     .scrollBars = true},
    // The one-pixel line above the bottom bar.
    {.name = "Bevel1",
     .kind = ui::ControlKind::Bevel,
     .bounds = {0, kTranslateBarTop - 1, kTranslateClientWidth, 1}},
    {.name = "Label3",
     .bounds = {16, kTranslateBarTop + 13, 0, 0},
     .text = L"Contribute Translation",
     .link = true,
     .cursor = ui::Cursor::Hand},
    {.name = "BitBtn1",
     .kind = ui::ControlKind::Button,
     .bounds = {268, kTranslateBarTop + 6, 165, 33},
     .text = L"OK",
     .tabOrder = 2,
     .defaultButton = true},
    {.name = "BitBtn2",
     .kind = ui::ControlKind::Button,
     .bounds = {441, kTranslateBarTop + 6, 165, 33},
     .text = L"Cancel",
     .tabOrder = 3,
     .cancelButton = true},
}};

inline constexpr ui::FormSpec kTranslateForm{
    .name = "TranslateForm",
    .caption = L"Language",
    .clientWidth = kTranslateClientWidth,
    .clientHeight = kTranslateClientHeight,
    .border = ui::BorderStyle::Dialog,
    .fontHeight = 16,
    .controls = kTranslateControls,
};
inline const ui::FormSpec& TranslateFormSpec() {
  return kTranslateForm;
}

}  // namespace hv::i18n
