// A form window's menus: the menu bar, rebuilt when an item changes (but
// not while the user is in it), the pop-up menu, their shortcut keys and the
// pictures beside their captions.
#include "platform/win32/ui/form_window.h"
#include "platform/win32/ui/window_system_win32.h"
#include "ui/layout_rules.h"

namespace hv::platform::win32::winui {

// Before the window exists: it is made with its menu bar, which spares a
// change of frame.
void FormWindow::makeMenus() {
  const auto& items = form_->menuItems();
  const std::size_t mainCount = form_->design().mainMenu.size();
  std::vector<hv::ui::MenuItem*> main, popup;
  for (std::size_t i = 0; i < items.size(); ++i)
    (i < mainCount ? main : popup).push_back(items[i].get());
  mainMenu_ = std::make_unique<NativeMenu>(NativeMenu::Kind::Bar, std::move(main), kMenuIdBase);
  popupMenu_ = std::make_unique<NativeMenu>(NativeMenu::Kind::Popup, std::move(popup),
                                            kMenuIdBase + static_cast<UINT>(mainCount));
  if (!mainMenu_->empty()) menuBar_ = mainMenu_->build();
  auto table = mainMenu_->accelerators();
  const auto more = popupMenu_->accelerators();
  table.insert(table.end(), more.begin(), more.end());
  if (!table.empty())
    accelerators_.reset(CreateAcceleratorTableW(table.data(), static_cast<int>(table.size())));
}

// The pop-up menu is built as it opens; the bar is built again now, but
// not while the user is in the menu: then when they leave it. A hidden
// window builds it once as it shows: each build resizes the frame.
void FormWindow::menuChanged(hv::ui::MenuItem& item) {
  if (!mainMenu_->holds(item)) return;
  menuBarStale_ = true;
  if (!inMenuLoop_ && IsWindowVisible(hwnd_)) installMenuBar();
}

void FormWindow::installMenuBar() {
  menuBarStale_ = false;
  if (mainMenu_->empty()) return;
  MenuHandle fresh = mainMenu_->build();
  // SetMenu redraws the frame itself.
  SetMenu(hwnd_, fresh.get());
  menuBar_ = std::move(fresh);
}

void FormWindow::popupMenuAt(int x, int y) {
  HWND h = hwnd_;
  if (popupMenu_->empty()) return;
  MenuHandle menu = popupMenu_->build();
  const UINT id = static_cast<UINT>(
      TrackPopupMenuEx(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, h, nullptr));
  PostMessageW(h, WM_NULL, 0, 0);
  if (auto* item = popupMenu_->itemFor(id)) dispatch([item] { item->click(); });
}

hv::ui::MenuItem* FormWindow::menuItemFor(UINT id) const {
  if (auto* i = mainMenu_->itemFor(id)) return i;
  return popupMenu_->itemFor(id);
}

void FormWindow::measureMenuItem(MEASUREITEMSTRUCT& m) {
  const int size = ui::layout::Scale(16, dpi_);
  // A little room on either side keeps the picture off the caption.
  m.itemWidth = static_cast<UINT>(size + ui::layout::Scale(4, dpi_));
  m.itemHeight = static_cast<UINT>(size);
}

void FormWindow::drawMenuItem(const DRAWITEMSTRUCT& d) {
  auto* item = menuItemFor(d.itemID);
  if (!item) return;
  const int size = ui::layout::Scale(16, dpi_);
  HICON icon = images().icon(item->design().icon, size);
  if (!icon) return;
  const int x = d.rcItem.left + (d.rcItem.right - d.rcItem.left - size) / 2;
  const int y = d.rcItem.top + (d.rcItem.bottom - d.rcItem.top - size) / 2;
  const UINT state = (d.itemState & ODS_GRAYED) ? DSS_DISABLED : DSS_NORMAL;
  DrawStateW(d.hDC, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, x, y, size, size,
             DST_ICON | state);
}

void FormWindow::menuLoop(bool entered) {
  inMenuLoop_ = entered;
  if (!entered && menuBarStale_) installMenuBar();
}

}  // namespace hv::platform::win32::winui
