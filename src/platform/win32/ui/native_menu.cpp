#include "platform/win32/ui/native_menu.h"

#include <algorithm>

#include "base/error.h"
#include "ui/layout_rules.h"

namespace hv::platform::win32::winui {
namespace {

std::vector<hv::ui::MenuSpec> SpecsOf(const std::vector<hv::ui::MenuItem*>& items) {
  std::vector<hv::ui::MenuSpec> specs;
  for (auto* i : items) specs.push_back(i->design());
  return specs;
}

MenuHandle NewMenu(bool bar) {
  MenuHandle m(bar ? CreateMenu() : CreatePopupMenu());
  if (!m) throw Error(L"Unable to create a menu");
  if (!bar) {
    // One column for either the tick or the picture, as the items have
    // at most one of the two.
    MENUINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = MIM_STYLE;
    info.dwStyle = MNS_CHECKORBMP;
    SetMenuInfo(m.get(), &info);
  }
  return m;
}

}  // namespace

NativeMenu::NativeMenu(Kind kind, std::vector<hv::ui::MenuItem*> items, UINT firstId)
    : kind_(kind),
      items_(std::move(items)),
      parents_(ui::layout::MenuParents(SpecsOf(items_))),
      firstId_(firstId) {}

bool NativeMenu::holds(const hv::ui::MenuItem& item) const {
  return std::find(items_.begin(), items_.end(), &item) != items_.end();
}

hv::ui::MenuItem* NativeMenu::itemFor(UINT id) const {
  if (id < firstId_ || id - firstId_ >= items_.size()) return nullptr;
  return items_[id - firstId_];
}

MenuHandle NativeMenu::build() const {
  MenuHandle root = NewMenu(kind_ == Kind::Bar);
  // Submenus belong to their parent menu once inserted; until then to us.
  std::vector<HMENU> menus(items_.size(), nullptr);
  std::vector<MenuHandle> pending;
  for (std::size_t i = 0; i < items_.size(); ++i) {
    const auto& item = *items_[i];
    if (!item.visible()) continue;
    HMENU parent = parents_[i] < 0 ? root.get() : menus[static_cast<std::size_t>(parents_[i])];
    if (!parent) continue;  // its parent is hidden
    const auto& design = item.design();
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    std::wstring text;
    if (design.separator) {
      info.fMask = MIIM_FTYPE;
      info.fType = MFT_SEPARATOR;
    } else {
      text = ui::layout::MenuText(item.caption(), design.shortcut);
      info.fMask = MIIM_STRING | MIIM_ID | MIIM_STATE;
      info.wID = firstId_ + static_cast<UINT>(i);
      info.dwTypeData = text.data();
      info.fState = (item.checked() ? MFS_CHECKED : 0u) | (item.enabled() ? 0u : MFS_DISABLED);
      if (!design.icon.empty()) {
        info.fMask |= MIIM_BITMAP;
        info.hbmpItem = HBMMENU_CALLBACK;
      }
      if (ui::layout::HasChildren(parents_, i)) {
        pending.push_back(NewMenu(false));
        menus[i] = pending.back().get();
        info.fMask |= MIIM_SUBMENU;
        info.hSubMenu = menus[i];
      }
    }
    if (!InsertMenuItemW(parent, GetMenuItemCount(parent), TRUE, &info))
      throw Error(L"Unable to build the menu");
    if (info.hSubMenu) pending.back().release();
  }
  return root;
}

std::vector<ACCEL> NativeMenu::accelerators() const {
  std::vector<ACCEL> table;
  for (std::size_t i = 0; i < items_.size(); ++i) {
    const auto shortcut = ui::layout::ParseShortcut(items_[i]->design().shortcut);
    if (!shortcut) continue;
    ACCEL a{};
    a.fVirt = static_cast<BYTE>(FVIRTKEY | (shortcut->ctrl ? FCONTROL : 0) |
                                (shortcut->alt ? FALT : 0) | (shortcut->shift ? FSHIFT : 0));
    a.key = static_cast<WORD>(shortcut->key);
    a.cmd = static_cast<WORD>(firstId_ + i);
    table.push_back(a);
  }
  return table;
}

}  // namespace hv::platform::win32::winui
