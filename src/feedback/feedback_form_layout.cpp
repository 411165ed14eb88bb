#include "feedback/feedback_form_layout.h"

namespace hv::feedback {

const ui::FormSpec& FeedbackFormSpec() {
  static const ui::FormSpec design{
      .name = "FeedbackForm",
      .clientWidth = kFeedbackClientWidth,
      .clientHeight = kFeedbackClientHeight,
      .border = ui::BorderStyle::Single,
      .systemMenu = true,
      .minimizeBox = false,
      .maximizeBox = false,
      .position = ui::Position::ScreenCenter,
      .fontName = L"Tahoma",
      .fontHeight = 11,
      .controls = kFeedbackControls,
  };
  return design;
}

}  // namespace hv::feedback
