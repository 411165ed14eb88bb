#include "about/popup_under_button.h"

#include <cstdint>

#include "ui/window_system.h"

namespace hv::about {
namespace {

DropDownState& LastClosed() {
  static DropDownState last;
  return last;
}

}  // namespace

void ForgetDropDownForTests() {
  LastClosed() = {};
}

void PopupUnderButton(ui::WindowSystem& windows, ui::Button& button, ui::Form& menuOwner) {
  DropDownState& last = LastClosed();
  if (last.button == &button && last.menu == &menuOwner &&
      static_cast<std::uint32_t>(windows.tickCount() - last.closedAt) < kReopenGuardMs) {
    last = {};
    return;
  }
  windows.popupMenu(menuOwner, windows.bottomLeftOnScreen(menuOwner, button));
  last = {&button, &menuOwner, windows.tickCount()};
}

}  // namespace hv::about
