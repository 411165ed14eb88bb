#include "about/popup_under_button.h"

#include <cstdint>

#include "ui/window_system.h"

namespace hv::about {
namespace {

// Owner: PopupUnderButton, on the UI thread. Only compared, never followed:
// the button may be gone by the next call.
struct LastDropDown {
  const void* button = nullptr;
  const void* menu = nullptr;
  std::uint32_t closedAt = 0;
};
LastDropDown gLast;

}  // namespace

void PopupUnderButton(ui::WindowSystem& windows, ui::Button& button, ui::Form& menuOwner) {
  if (gLast.button == &button && gLast.menu == &menuOwner &&
      static_cast<std::uint32_t>(windows.tickCount() - gLast.closedAt) < kReopenGuardMs) {
    gLast = {};
    return;
  }
  windows.popupMenu(menuOwner, windows.bottomLeftOnScreen(menuOwner, button));
  gLast = {&button, &menuOwner, windows.tickCount()};
}

void ResetPopupUnderButtonForTests() {
  gLast = {};
}

}  // namespace hv::about
