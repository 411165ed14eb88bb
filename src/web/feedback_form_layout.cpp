#include "web/feedback_form_layout.h"

#include <array>

namespace hv::web {
namespace {

using ui::ControlKind;
using ui::ControlSpec;

constexpr int kClientWidth = 525;
constexpr int kClientHeight = 326;
constexpr int kOptionStrip = 46;
constexpr int kDislikeWidth = 256;
constexpr int kBottomStrip = 40;
constexpr int kEmailStrip = 30;
constexpr int kEmailTop = kClientHeight - kBottomStrip - kEmailStrip;
constexpr int kBottomTop = kClientHeight - kBottomStrip;

const std::array<ControlSpec, 10> kControls{{
    {.name = "Panel4",
     .kind = ControlKind::Panel,
     .bounds = {0, 0, kClientWidth - kDislikeWidth, kOptionStrip},
     .text = L"I like it!",
     .fontHeight = 16,
     .cursor = ui::Cursor::Hand},
    {.name = "Image1",
     .bounds = {8, 7, 32, 32},
     .parent = "Panel4",
     .cursor = ui::Cursor::Hand,
     .icon = "like"},
    {.name = "Panel5",
     .kind = ControlKind::Panel,
     .bounds = {kClientWidth - kDislikeWidth, 0, kDislikeWidth, kOptionStrip},
     .text = L"I dislike it!",
     .fontHeight = 16,
     .cursor = ui::Cursor::Hand},
    {.name = "Image2",
     .bounds = {8, 7, 32, 32},
     .parent = "Panel5",
     .cursor = ui::Cursor::Hand,
     .icon = "dislike"},
    {.name = "Label1",
     .bounds = {8, kOptionStrip + 8, 0, 0},
     .text = L"We would really appreciate your feedback.",
     .fontHeight = 16},
    {.name = "Label2",
     .bounds = {8, kOptionStrip + 32, 0, 0},
     .text = L"What did you like or dislike?",
     .fontHeight = 13,
     .bold = true},
    {.name = "Memo1",
     .kind = ControlKind::Memo,
     .bounds = {8, kOptionStrip + 52, kClientWidth - 16, kEmailTop - 6 - (kOptionStrip + 52)},
     .fontHeight = 13,
     .tabOrder = 0,
     .maxLength = 10000,
     .verticalScrollBar = true},
    {.name = "Label3",
     .bounds = {8, kEmailTop + 7, 0, 0},
     .text = L"Include my e-mail:",
     .fontHeight = 13},
    {.name = "Edit1",
     .kind = ControlKind::Edit,
     .bounds = {150, kEmailTop + 4, kClientWidth - 8 - 150, 22},
     .fontHeight = 13,
     .tabOrder = 1,
     .maxLength = 100},
    {.name = "BitBtn1",
     .kind = ControlKind::Button,
     .bounds = {kClientWidth - 8 - 180, kBottomTop + 3, 180, 34},
     .text = L"Send",
     .fontHeight = 13,
     .tabOrder = 2,
     .defaultButton = true,
     .bold = true,
     .icon = "feedback"},
}};

}  // namespace

const ui::FormSpec& FeedbackFormSpec() {
  static const ui::FormSpec design{
      .name = "FeedbackForm",
      .clientWidth = kClientWidth,
      .clientHeight = kClientHeight,
      .border = ui::BorderStyle::Single,
      .systemMenu = true,
      .minimizeBox = false,
      .maximizeBox = false,
      .position = ui::Position::ScreenCenter,
      .fontName = L"Tahoma",
      .fontHeight = 11,
      .controls = kControls,
  };
  return design;
}

}  // namespace hv::web
