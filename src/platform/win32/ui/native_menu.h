#pragma once
// A window's main menu or pop-up menu as the platform shows it, built from
// the menu items' current state: hidden items are left out, checked and
// disabled ones marked, shortcuts right-aligned after a tab, pictures drawn
// by the owner window (WM_MEASUREITEM / WM_DRAWITEM) beside the captions.
// Menus are small, so a change builds the whole menu again.
#include <windows.h>

#include <functional>
#include <span>
#include <string_view>
#include <vector>

#include "platform/win32/ui/handles.h"
#include "ui/form.h"

namespace hv::platform::win32::winui {

class NativeMenu {
 public:
  enum class Kind { Bar, Popup };
  // items: the form's items of this menu, one per row; row i has the
  // command id firstId + i.
  NativeMenu(Kind kind, std::vector<hv::ui::MenuItem*> items, UINT firstId);
  NativeMenu(const NativeMenu&) = delete;
  NativeMenu& operator=(const NativeMenu&) = delete;

  bool empty() const { return items_.empty(); }
  MenuHandle build() const;
  // The item of a command id, or null when the id is not this menu's.
  hv::ui::MenuItem* itemFor(UINT id) const;
  bool holds(const hv::ui::MenuItem& item) const;
  // The shortcut keys of the items, pointing at their command ids; empty
  // when no item has one.
  std::vector<ACCEL> accelerators() const;

 private:
  Kind kind_;
  std::vector<hv::ui::MenuItem*> items_;
  std::vector<int> parents_;
  UINT firstId_;
};

}  // namespace hv::platform::win32::winui
