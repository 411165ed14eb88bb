// Each kind of control on its standard window class: clicks, typing, text
// from code, panels and their children, colours, bevel and fonts.
#include <algorithm>

#include "app/main_form_layout.h"
#include "winui_test_fixture.h"
#include "winui_test_forms.h"

namespace hv::platform::win32::winui::uitest {
namespace {

TEST_F(WindowSystemTest, ClicksOnButtonsAndBoxesRunTheirHandlersAndErrorsReachTheReport) {
  Form& form = open(app::AppFormSpec());
  auto& get = MadeNamed<hv::ui::Button>(form.controls(), "BitBtn1");
  auto& sync = MadeNamed<hv::ui::Button>(form.controls(), "BitBtn2");
  auto& daylight = MadeNamed<hv::ui::CheckBox>(form.controls(), "CheckBox1");
  int clicks = 0, boxClicks = 0;
  get.OnClick = [&] {
    ++clicks;
    throw hv::Error(L"Server Error!");
  };
  daylight.OnClick = [&] { ++boxClicks; };

  SendMessageW(ws.windowOf(get), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(errors, (std::vector<std::wstring>{L"Server Error!"}));

  HWND box = ws.windowOf(daylight);
  SendMessageW(box, BM_CLICK, 0, 0);
  EXPECT_TRUE(daylight.checked());
  EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(boxClicks, 1);
  // From code: the tick shows, and the handler runs as for a click.
  daylight.setChecked(false);
  EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(boxClicks, 2);

  // A disabled button's window is disabled; enabling follows the control.
  HWND syncWindow = ws.windowOf(sync);
  EXPECT_FALSE(IsWindowEnabled(syncWindow));
  sync.setEnabled(true);
  EXPECT_TRUE(IsWindowEnabled(syncWindow));
  get.setText(L"Sunucu Saatini Al");
  EXPECT_EQ(TextOf(ws.windowOf(get)), L"Sunucu Saatini Al");
}

TEST_F(WindowSystemTest, TypingIntoTheServerBoxUpdatesItsTextAndRunsOnChange) {
  Form& form = open(app::AppFormSpec());
  auto& combo = MadeNamed<hv::ui::ComboBox>(form.controls(), "ComboBox1");
  for (auto preset : app::ServerPresets()) combo.addItem(std::wstring(preset));
  combo.setItemIndex(0);
  HWND box = ws.windowOf(combo);
  EXPECT_EQ(SendMessageW(box, CB_GETCOUNT, 0, 0), 4);
  EXPECT_EQ(TextOf(box), std::wstring(app::ServerPresets()[0]));

  std::vector<std::wstring> seen;
  combo.OnChange = [&] { seen.push_back(combo.text()); };
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  ASSERT_TRUE(GetComboBoxInfo(box, &info));
  HWND edit = info.hwndItem;
  ASSERT_NE(edit, nullptr);
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
  for (wchar_t ch : std::wstring(L"ntp1")) SendMessageW(edit, WM_CHAR, ch, 0);
  EXPECT_EQ(combo.text(), L"ntp1");
  EXPECT_EQ(combo.itemIndex(), -1);
  ASSERT_GE(seen.size(), 4u);
  EXPECT_EQ(seen.back(), L"ntp1");

  // The user picks the third entry of the list.
  seen.clear();
  SendMessageW(box, CB_SETCURSEL, 2, 0);
  SendMessageW(GetParent(box), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(box));
  EXPECT_EQ(combo.itemIndex(), 2);
  EXPECT_EQ(combo.text(), std::wstring(app::ServerPresets()[2]));
  EXPECT_EQ(seen, (std::vector<std::wstring>{std::wstring(app::ServerPresets()[2])}));

  // Text, lists and selections from code show and run no OnChange; the
  // field keeps the control's text through them.
  combo.setText(L"127.0.0.1");
  EXPECT_EQ(TextOf(box), L"127.0.0.1");
  combo.setItemIndex(-1);
  combo.clearItems();
  for (auto preset : app::ServerPresets()) combo.addItem(std::wstring(preset));
  EXPECT_EQ(TextOf(box), L"127.0.0.1");
  EXPECT_EQ(combo.text(), L"127.0.0.1");
  combo.setItemIndex(1);
  EXPECT_EQ(TextOf(box), std::wstring(app::ServerPresets()[1]));
  EXPECT_EQ(combo.text(), std::wstring(app::ServerPresets()[1]));
  EXPECT_EQ(seen.size(), 1u);
  auto& zone = MadeNamed(form.controls(), "Edit1");
  int zoneChanges = 0;
  zone.OnChange = [&] { ++zoneChanges; };
  zone.setText(L"Central European Summer Time (-60)");
  EXPECT_EQ(TextOf(ws.windowOf(zone)), L"Central European Summer Time (-60)");
  EXPECT_EQ(zoneChanges, 0);
}

TEST_F(WindowSystemTest, PanelsHoldTheirChildrenAndPassTheirClicksOn) {
  Form& form = open(kDialog);
  HWND panel = ws.windowOf(MadeNamed(form.controls(), "Panel1"));
  HWND ok = ws.windowOf(MadeNamed(form.controls(), "OK"));
  EXPECT_EQ(GetParent(ok), panel);
  EXPECT_EQ(_wcsicmp(ClassOf(panel).c_str(), L"Static"), 0);
  dpi = ws.dpi(form);
  EXPECT_EQ(BoundsOf(panel), (Bounds{0, scaled(120), scaled(300), scaled(40)}));
  EXPECT_EQ(BoundsOf(ok), (Bounds{scaled(8), scaled(4), scaled(90), scaled(30)}));
  int clicks = 0;
  MadeNamed(form.controls(), "OK").OnClick = [&] { ++clicks; };
  SendMessageW(ok, BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 1);

  // Memo lines arrive as CR LF, whatever breaks the text came with.
  auto& memo = MadeNamed<hv::ui::Memo>(form.controls(), "Memo1");
  memo.addLine(L"Ada");
  memo.addLine(L"Grace");
  EXPECT_EQ(TextOf(ws.windowOf(memo)), L"Ada\r\nGrace");
  memo.setText(L"one\ntwo");
  EXPECT_EQ(TextOf(ws.windowOf(memo)), L"one\r\ntwo");
  std::wstring typed;
  memo.OnChange = [&] { typed = memo.text(); };
  HWND memoWindow = ws.windowOf(memo);
  SendMessageW(memoWindow, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
  for (wchar_t ch : std::wstring(L"ab\rc")) SendMessageW(memoWindow, WM_CHAR, ch, 0);
  EXPECT_EQ(typed, L"ab\r\nc");
}

// Lets read look at what a control paints of its client area, in a
// bitmap of its own.
template <class Read>
auto Printed(HWND h, LPARAM flags, Read read) {
  RECT r{};
  GetClientRect(h, &r);
  HDC screen = GetDC(h);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, r.right, r.bottom);
  HGDIOBJ old = SelectObject(dc, bitmap);
  SendMessageW(h, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), flags);
  const auto result = read(dc, r);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(h, screen);
  return result;
}

// How far right the text a control paints reaches, in pixels.
int InkWidth(HWND h) {
  return Printed(h, PRF_CLIENT | PRF_ERASEBKGND, [](HDC dc, const RECT& r) {
    const COLORREF back = GetPixel(dc, r.right - 1, r.bottom - 1);
    int right = 0;
    for (int y = 0; y < r.bottom; ++y)
      for (int x = 0; x < r.right; ++x)
        if (GetPixel(dc, x, y) != back) right = std::max(right, x + 1);
    return right;
  });
}

COLORREF PixelOf(HWND h, int x, int y) {
  return Printed(h, PRF_CLIENT, [x, y](HDC dc, const RECT&) { return GetPixel(dc, x, y); });
}

TEST_F(WindowSystemTest, PanelsShowTheirColoursAndBevelAndFieldsTheirLimits) {
  Form& form = open(kOptions);
  auto& panel = MadeNamed<hv::ui::Panel>(form.controls(), "Panel4");
  HWND p = ws.windowOf(panel);
  EXPECT_EQ(TextOf(p), L"I like it!");
  RECT r{};
  GetClientRect(p, &r);
  // Raised: the light edge on top, the shadow at the bottom.
  EXPECT_EQ(PixelOf(p, r.right / 2, 0), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(PixelOf(p, r.right / 2, r.bottom - 1), GetSysColor(COLOR_BTNSHADOW));
  panel.setBackColour({0, 120, 215});
  panel.setFontColour({255, 255, 255});
  panel.setLowered(true);
  EXPECT_EQ(PixelOf(p, 2, r.bottom / 2), RGB(0, 120, 215));
  EXPECT_EQ(PixelOf(p, r.right / 2, 0), GetSysColor(COLOR_BTNSHADOW));

  HWND link = ws.windowOf(MadeNamed(form.controls(), "Label1"));
  EXPECT_EQ(std::wstring(FontOf(link).lfFaceName), L"MS Sans Serif");
  EXPECT_TRUE(FontOf(link).lfUnderline);
  EXPECT_EQ(FontOf(ws.windowOf(MadeNamed(form.controls(), "Label2"))).lfWeight, FW_BOLD);
  EXPECT_EQ(FontOf(link).lfWeight, FW_NORMAL);
  // And it is painted with it.
  const int plain = InkWidth(ws.windowOf(MadeNamed(form.controls(), "Plain")));
  EXPECT_GT(plain, 0);
  EXPECT_GT(InkWidth(ws.windowOf(MadeNamed(form.controls(), "Bold"))), plain);
  EXPECT_EQ(SendMessageW(ws.windowOf(MadeNamed(form.controls(), "Edit1")), EM_GETLIMITTEXT, 0, 0),
            100);

  // The link's tooltip is a tool of a tooltip window the form owns.
  HWND tip = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND h, LPARAM found) {
        if (_wcsicmp(ClassOf(h).c_str(), TOOLTIPS_CLASSW) == 0) *reinterpret_cast<HWND*>(found) = h;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&tip));
  ASSERT_NE(tip, nullptr);
  EXPECT_EQ(GetWindow(tip, GW_OWNER), ws.windowOf(form));
  EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
}

}  // namespace
}  // namespace hv::platform::win32::winui::uitest
