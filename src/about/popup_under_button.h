#pragma once
// A drop-down menu under a button. A click on the button while its menu is
// open closes the menu first; that same click must not open it again.
#include <cstdint>

#include "ui/form.h"

namespace hv::ui {
class WindowSystem;
}

namespace hv::about {

inline constexpr unsigned kReopenGuardMs = 100;

// The last drop-down that closed. Owner:
// PopupUnderButton, on the UI thread. Only compared, never followed: the
// button may be gone by the next call.
struct DropDownState {
  const void* button = nullptr;
  const void* menu = nullptr;
  std::uint32_t closedAt = 0;
};

// Shows form's pop-up menu below button, unless the same button and menu
// closed it less than 100 ms ago (which it then forgets).
void PopupUnderButton(ui::WindowSystem& windows, ui::Button& button, ui::Form& menuOwner);
// Tests: as at process start.
void ForgetDropDownForTests();

}  // namespace hv::about
