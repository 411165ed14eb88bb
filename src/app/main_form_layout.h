#pragma once
// The main window's layout: controls, menus and timers at 96 DPI.
#include <array>
#include <string_view>

#include "ui/form.h"

namespace hv::app {

const ui::FormSpec& AppFormSpec();
// The server box's list; the fourth entry is the maker's own web host.
const std::array<std::wstring_view, 4>& ServerPresets();
inline std::wstring_view MakerHost() {
  return ServerPresets()[3];
}

}  // namespace hv::app
