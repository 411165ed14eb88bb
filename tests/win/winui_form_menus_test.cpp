// The menu bar and the popup menu: what they show and what choosing runs.
#include <thread>

#include "app/main_form_layout.h"
#include "winui_test_fixture.h"
#include "winui_test_forms.h"

namespace hv::platform::win32::winui::uitest {
namespace {

TEST_F(WindowSystemTest, TheMenuBarShowsTheVisibleItemsAndFollowsTheirState) {
  Form& form = open(app::AppFormSpec());
  HMENU bar = GetMenu(ws.windowOf(form));
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(GetMenuItemCount(bar), 2);
  EXPECT_EQ(MenuText(bar, 0), L"File");
  EXPECT_EQ(MenuText(bar, 1), L"Help");
  HMENU help = GetSubMenu(bar, 1);
  // MenuItem4 and the separator after it are hidden.
  ASSERT_EQ(GetMenuItemCount(help), 5);
  EXPECT_EQ(MenuText(help, 0), L"Online Help\tF1");
  EXPECT_EQ(GetMenuState(help, 1, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
  EXPECT_EQ(MenuText(help, 2), L"Language...");
  EXPECT_EQ(MenuText(help, 3), L"Send &Feedback...");
  EXPECT_EQ(MenuText(help, 4), L"&About...");

  // A hidden window's bar catches up as it shows; a shown one's at once.
  MadeNamed(form.menuItems(), "About2").setCaption(L"About");
  form.show();
  MadeNamed(form.menuItems(), "MenuItem4").setVisible(true);
  bar = GetMenu(ws.windowOf(form));
  help = GetSubMenu(bar, 1);
  ASSERT_EQ(GetMenuItemCount(help), 6);
  EXPECT_EQ(MenuText(help, 2), L"Update Notifications");
  const UINT state = GetMenuState(help, 2, MF_BYPOSITION);
  EXPECT_TRUE(state & MF_CHECKED);
  EXPECT_TRUE(state & MF_GRAYED);
  EXPECT_EQ(MenuText(help, 5), L"About");
}

TEST_F(WindowSystemTest, ChoosingAMenuItemOrItsShortcutRunsItsClick) {
  Form& form = open(app::AppFormSpec());
  int help = 0, exits = 0;
  MadeNamed(form.menuItems(), "Help2").OnClick = [&] { ++help; };
  MadeNamed(form.menuItems(), "Exit2").OnClick = [&] { ++exits; };
  HWND top = ws.windowOf(form);
  HMENU file = GetSubMenu(GetMenu(top), 0);
  SendMessageW(top, WM_COMMAND, MAKEWPARAM(GetMenuItemID(file, 0), 0), 0);
  EXPECT_EQ(exits, 1);

  form.show();
  SetForegroundWindow(top);
  SetFocus(ws.windowOf(MadeNamed(form.controls(), "BitBtn1")));
  PostMessageW(ws.windowOf(MadeNamed(form.controls(), "BitBtn1")), WM_KEYDOWN, VK_F1, 0);
  EXPECT_TRUE(PumpUntil(ws, [&] { return help == 1; }));
}

TEST_F(WindowSystemTest, APopupMenuRunsTheChosenItem) {
  Form& form = open(kOptions);
  form.show();
  int credits = 0, uninstall = 0;
  MadeNamed(form.menuItems(), "Credits1").OnClick = [&] { ++credits; };
  MadeNamed(form.menuItems(), "Howtouninstall1").OnClick = [&] { ++uninstall; };
  // The menu's own loop runs while it is open; the keys choose the second item.
  std::thread chooser([] {
    for (int i = 0; i < 200; ++i) {
      HWND menu = FindWindowW(L"#32768", nullptr);
      if (menu && IsWindowVisible(menu)) {
        PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
        return;
      }
      Sleep(20);
    }
  });
  ws.popupMenu(form, ws.bottomLeftOnScreen(form, MadeNamed(form.controls(), "Button1")));
  chooser.join();
  EXPECT_EQ(credits, 0);
  EXPECT_EQ(uninstall, 1);
}

}  // namespace
}  // namespace hv::platform::win32::winui::uitest
