#pragma once
// The feedback window's layout at 96 DPI.
#include <array>

#include "ui/form.h"

namespace hv::feedback {

inline constexpr int kFeedbackClientWidth = 525;
inline constexpr int kFeedbackClientHeight = 326;
inline constexpr int kFeedbackOptionStrip = 46;
inline constexpr int kFeedbackDislikeWidth = 256;
inline constexpr int kFeedbackBottomStrip = 40;
inline constexpr int kFeedbackEmailStrip = 30;
inline constexpr int kFeedbackEmailTop =
    kFeedbackClientHeight - kFeedbackBottomStrip - kFeedbackEmailStrip;
inline constexpr int kFeedbackBottomTop = kFeedbackClientHeight - kFeedbackBottomStrip;

inline constexpr std::array<ui::ControlSpec, 10> kFeedbackControls{{
    {.name = "Panel4",
     .kind = ui::ControlKind::Panel,
     .bounds = {0, 0, kFeedbackClientWidth - kFeedbackDislikeWidth, kFeedbackOptionStrip},
     .text = L"I like it!",
     .fontHeight = 16,
     .cursor = ui::Cursor::Hand},
    {.name = "Image1",
     .bounds = {8, 7, 32, 32},
     .parent = "Panel4",
     .cursor = ui::Cursor::Hand,
     .icon = "like"},
    {.name = "Panel5",
     .kind = ui::ControlKind::Panel,
     .bounds = {kFeedbackClientWidth - kFeedbackDislikeWidth, 0, kFeedbackDislikeWidth,
                kFeedbackOptionStrip},
     .text = L"I dislike it!",
     .fontHeight = 16,
     .cursor = ui::Cursor::Hand},
    {.name = "Image2",
     .bounds = {8, 7, 32, 32},
     .parent = "Panel5",
     .cursor = ui::Cursor::Hand,
     .icon = "dislike"},
    {.name = "Label1",
     .bounds = {8, kFeedbackOptionStrip + 8, 0, 0},
     .text = L"We would really appreciate your feedback.",
     .fontHeight = 16},
    {.name = "Label2",
     .bounds = {8, kFeedbackOptionStrip + 32, 0, 0},
     .text = L"What did you like or dislike?",
     .fontHeight = 13,
     .bold = true},
    {.name = "Memo1",
     .kind = ui::ControlKind::Memo,
     .bounds = {8, kFeedbackOptionStrip + 52, kFeedbackClientWidth - 16,
                kFeedbackEmailTop - 6 - (kFeedbackOptionStrip + 52)},
     .fontHeight = 13,
     .tabOrder = 0,
     .maxLength = 10000,
     .verticalScrollBar = true},
    {.name = "Label3",
     .bounds = {8, kFeedbackEmailTop + 7, 0, 0},
     .text = L"Include my e-mail:",
     .fontHeight = 13},
    {.name = "Edit1",
     .kind = ui::ControlKind::Edit,
     .bounds = {150, kFeedbackEmailTop + 4, kFeedbackClientWidth - 8 - 150, 22},
     .fontHeight = 13,
     .tabOrder = 1,
     .maxLength = 100},
    {.name = "BitBtn1",
     .kind = ui::ControlKind::Button,
     .bounds = {kFeedbackClientWidth - 8 - 180, kFeedbackBottomTop + 3, 180, 34},
     .text = L"Send",
     .fontHeight = 13,
     .tabOrder = 2,
     .defaultButton = true,
     .bold = true,
     .icon = "feedback"},
}};

inline constexpr ui::FormSpec kFeedbackForm{
    .name = "FeedbackForm",
    .clientWidth = kFeedbackClientWidth,
    .clientHeight = kFeedbackClientHeight,
    .controls = kFeedbackControls,
};
inline const ui::FormSpec& FeedbackFormSpec() {
  return kFeedbackForm;
}

}  // namespace hv::feedback
