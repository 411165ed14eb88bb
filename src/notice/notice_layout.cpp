#include "notice/notice_layout.h"

namespace hv::notice {

const ui::FormSpec& NewVerSpec() {
  static const ui::FormSpec design{
      .name = "NewVer",
      .caption = L"UPDATE AVAILABLE",
      .clientWidth = kNoticeWidth,
      .clientHeight = kNoticeHeight,
      .border = ui::BorderStyle::None,
      .systemMenu = false,
      .toolWindow = true,
      .topMost = true,
      .position = ui::Position::Manual,
      .fontName = L"Tahoma",
      .fontHeight = 11,
      .controls = kNoticeControls,
      .timers = kNoticeTimers,
  };
  return design;
}

}  // namespace hv::notice
