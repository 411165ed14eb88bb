// Keys the form handles: Enter and Escape, Tab, and the global hotkey.
#include "winui_test_fixture.h"
#include "winui_test_forms.h"

namespace hv::platform::win32::winui::uitest {
namespace {

TEST_F(WindowSystemTest, EnterPressesTheDefaultButtonAndEscapeTheCancelButton) {
  Form& form = open(kDialog);
  int ok = 0, cancel = 0;
  std::vector<unsigned> keys;
  MadeNamed(form.controls(), "OK").OnClick = [&] { ++ok; };
  MadeNamed(form.controls(), "Cancel").OnClick = [&] { ++cancel; };
  MadeNamed(form.controls(), "Edit1").OnKeyDown = [&](unsigned k) { keys.push_back(k); };
  form.show();
  HWND edit = ws.windowOf(MadeNamed(form.controls(), "Edit1"));
  SetForegroundWindow(ws.windowOf(form));
  SetFocus(edit);
  PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
  PostMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(PumpUntil(ws, [&] { return ok == 1 && cancel == 1; }));
  EXPECT_EQ(keys, (std::vector<unsigned>{VK_RETURN, VK_ESCAPE}));

  // Enter in the memo is a new line, not the default button.
  HWND memo = ws.windowOf(MadeNamed(form.controls(), "Memo1"));
  SetFocus(memo);
  PostMessageW(memo, WM_KEYDOWN, VK_RETURN, 0);
  ws.processMessages();
  EXPECT_EQ(ok, 1);
  // Tab goes on in tab order.
  SetFocus(edit);
  PostMessageW(edit, WM_KEYDOWN, VK_TAB, 0);
  EXPECT_TRUE(PumpUntil(ws, [&] { return GetFocus() == memo; }));

  // Enter in an open list closes the list and presses nothing.
  auto& list = MadeNamed<hv::ui::ComboBox>(form.controls(), "ComboBox1");
  list.addItem(L"English");
  list.addItem(L"German");
  list.setItemIndex(0);
  HWND box = ws.windowOf(list);
  SetFocus(box);
  SendMessageW(box, CB_SHOWDROPDOWN, TRUE, 0);
  ASSERT_TRUE(SendMessageW(box, CB_GETDROPPEDSTATE, 0, 0));
  PostMessageW(box, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_TRUE(PumpUntil(ws, [&] { return !SendMessageW(box, CB_GETDROPPEDSTATE, 0, 0); }));
  ws.processMessages();
  EXPECT_EQ(ok, 1);
}

TEST_F(WindowSystemTest, AHotKeyIsHeldUntilItIsReleased) {
  Form& form = open(kDialog);
  // A combination nothing else on the test desktop uses.
  const UINT mods = MOD_CONTROL | MOD_ALT | MOD_SHIFT;
  ws.registerHotKey(form, 0xC001, mods, VK_F11);
  EXPECT_FALSE(RegisterHotKey(nullptr, 0x51, mods, VK_F11));
  ws.unregisterHotKey(form, 0xC001);
  ASSERT_TRUE(RegisterHotKey(nullptr, 0x51, mods, VK_F11));
  UnregisterHotKey(nullptr, 0x51);
}

}  // namespace
}  // namespace hv::platform::win32::winui::uitest
