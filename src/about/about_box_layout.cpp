#include "about/about_box_layout.h"

namespace hv::about {

const ui::FormSpec& AboutBoxSpec() {
  static const ui::FormSpec design{
      .name = "AboutBox",
      .clientWidth = 446,
      .clientHeight = 374,
      .border = ui::BorderStyle::Single,
      .systemMenu = true,
      .minimizeBox = false,
      .maximizeBox = false,
      .toolWindow = true,
      .position = ui::Position::ScreenCenter,
      .background = {0, 0, 0},
      .hasBackground = true,
      .controls = kAboutControls,
      .popupMenu = kAboutInfoMenu,
      .timers = kAboutTimers,
  };
  return design;
}

}  // namespace hv::about
