#include "app/main_form_layout.h"

namespace hv::app {

const ui::FormSpec& AppFormSpec() {
  static const ui::FormSpec design{
      .name = "AppForm",
      .clientWidth = kAppClientWidth,
      .clientHeight = kAppClientHeight,
      .border = ui::BorderStyle::Single,
      .systemMenu = true,
      .minimizeBox = true,
      .maximizeBox = false,
      .position = ui::Position::ScreenCenter,
      .fontName = L"Tahoma",
      .fontHeight = 11,
      .controls = kAppControls,
      .mainMenu = kAppMainMenu,
      .popupMenu = kAppTrayMenu,
      .timers = kAppTimers,
      .trayIcon = true,
      .trayHint = L"Horvane",
  };
  return design;
}
const std::array<std::wstring_view, 4>& ServerPresets() {
  static const std::array<std::wstring_view, 4> presets{
      L"time.nist.gov",
      L"europe.pool.ntp.org",
      L"time.google.com",
      HORVANE_MAKER_HOST,
  };
  return presets;
}

}  // namespace hv::app
