// The form window lays its rows out as standard child windows, at their
// places and in their fonts, and again at a new DPI.
#include <iterator>

#include "app/main_form_layout.h"
#include "winui_test_fixture.h"

namespace hv::platform::win32::winui::uitest {
namespace {

TEST_F(WindowSystemTest, TheMainLayoutBecomesStandardChildWindowsAtTheirPlaces) {
  Form& form = open(app::AppFormSpec());
  HWND top = ws.windowOf(form);
  ASSERT_NE(top, nullptr);
  dpi = ws.dpi(form);

  RECT client{};
  GetClientRect(top, &client);
  EXPECT_EQ(client.right, scaled(424));
  EXPECT_EQ(client.bottom, scaled(303));
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(top, GWL_STYLE));
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(IsWindowVisible(top));

  // Tab stops first, by tab order (the dialog manager tabs in z-order),
  // then the labels in table order.
  struct Expected {
    const wchar_t* cls;
    const wchar_t* text;
    bool tabStop;
  };
  const Expected expected[] = {
      {L"ComboBox", L"", true},
      {L"Button", L"Daylight Saving:", true},
      {L"Edit", L"None", true},
      {L"Button", L"Get Server Time", true},
      {L"Button", L"Sync Computer Time", true},
      {L"Button", L"Automatically Synchronize", true},
      {L"Static", L"Server:", false},
      {L"Static", L"Server Time:", false},
      {L"Static", L"01/01/1990 00:00:00", false},
      {L"Static", L"Computer Time:", false},
      {L"Static", L"01/01/1990 00:00:00", false},
      {L"Static", L"Computer Timezone:", false},
      {L"Static", L"GMT +0", false},
      {L"Static", L"Hotkey: CTRL + ALT + T", false},
  };
  const auto children = ChildrenInZOrder(top);
  ASSERT_EQ(children.size(), std::size(expected));
  for (std::size_t i = 0; i < children.size(); ++i) {
    EXPECT_EQ(_wcsicmp(ClassOf(children[i]).c_str(), expected[i].cls), 0) << i;
    EXPECT_EQ(TextOf(children[i]), expected[i].text) << i;
    const bool tab = (GetWindowLongPtrW(children[i], GWL_STYLE) & WS_TABSTOP) != 0;
    EXPECT_EQ(tab, expected[i].tabStop) << i;
  }

  auto at = [&](const char* name) { return ws.windowOf(MadeNamed(form.controls(), name)); };
  EXPECT_EQ(BoundsOf(at("Label2")), (Bounds{scaled(194), scaled(36), scaled(222), scaled(23)}));
  EXPECT_EQ(BoundsOf(at("BitBtn1")), (Bounds{scaled(8), scaled(163), scaled(408), scaled(33)}));
  EXPECT_EQ(BoundsOf(at("CheckBox1")), (Bounds{scaled(8), scaled(122), scaled(180), scaled(27)}));
  EXPECT_EQ(BoundsOf(at("Edit1")), (Bounds{scaled(194), scaled(123), scaled(222), scaled(24)}));
  // Docked to the bottom with 3-pixel margins.
  EXPECT_EQ(BoundsOf(at("Label7")), (Bounds{scaled(3), scaled(281), scaled(418), scaled(19)}));
  const auto combo = BoundsOf(at("ComboBox1"));
  EXPECT_EQ(combo.left, scaled(194));
  EXPECT_EQ(combo.top, scaled(8));
  EXPECT_EQ(combo.width, scaled(222));
  // A label sized by its text: as wide as "Server:" and as high as its font.
  const auto label9 = BoundsOf(at("Label9"));
  EXPECT_EQ(label9.left, scaled(8));
  EXPECT_GT(label9.width, scaled(30));
  EXPECT_LT(label9.width, scaled(120));
  EXPECT_GE(label9.height, scaled(19));

  EXPECT_EQ(FontOf(at("Label2")).lfHeight, -scaled(19));
  EXPECT_EQ(std::wstring(FontOf(at("Label2")).lfFaceName), L"Tahoma");
  EXPECT_EQ(FontOf(at("Edit1")).lfHeight, -scaled(13));
  EXPECT_EQ(FontOf(at("ComboBox1")).lfHeight, -scaled(16));

  const auto editStyle = GetWindowLongPtrW(at("Edit1"), GWL_STYLE);
  EXPECT_TRUE(editStyle & ES_READONLY);
  EXPECT_TRUE(editStyle & ES_RIGHT);
  EXPECT_FALSE(IsWindowEnabled(at("BitBtn2")));
  EXPECT_EQ(GetWindowLongPtrW(at("BitBtn1"), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(GetWindowLongPtrW(at("Label2"), GWL_STYLE) & SS_TYPEMASK, SS_RIGHT);
}

// Sizes are measured before the windows exist; each must still fit its text
// as the window's own DC draws it, and follow a new text.
TEST_F(WindowSystemTest, ControlsSizedByTheirContentFitItAsTheirWindowsDrawIt) {
  Form& form = open(app::AppFormSpec());
  auto at = [&](const char* name) { return ws.windowOf(MadeNamed(form.controls(), name)); };
  auto drawn = [](HWND h) {
    HDC dc = GetDC(h);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(h, WM_GETFONT, 0, 0)));
    const std::wstring text = TextOf(h);
    RECT r{};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_EXPANDTABS);
    SelectObject(dc, old);
    ReleaseDC(h, dc);
    return r.right;
  };
  for (const char* name : {"Label9", "Label1", "Label3", "Label5"})
    EXPECT_EQ(BoundsOf(at(name)).width, drawn(at(name))) << name;
  const auto before = BoundsOf(at("Label9"));
  MadeNamed(form.controls(), "Label9").setText(L"Server of the time, chosen by you:");
  EXPECT_EQ(BoundsOf(at("Label9")).width, drawn(at("Label9")));
  EXPECT_GT(BoundsOf(at("Label9")).width, before.width);
  EXPECT_EQ(BoundsOf(at("Label9")).left, before.left);
  // The box is as high as its font makes it, and its list drops below it.
  HWND combo = at("ComboBox1");
  EXPECT_GT(BoundsOf(combo).height, scaled(16));
  RECT dropped{};
  SendMessageW(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
  EXPECT_GT(dropped.bottom - dropped.top, 4 * BoundsOf(combo).height);
}

TEST_F(WindowSystemTest, ADpiChangeScalesTheLayoutAndTellsTheForm) {
  Form& form = open(app::AppFormSpec());
  std::vector<int> told;
  form.OnDpiChanged = [&](int d) { told.push_back(d); };
  HWND top = ws.windowOf(form);
  RECT suggested{100, 50, 800, 600};
  // What the system sends when the window moves to a monitor at 150 %.
  SendMessageW(top, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(told, (std::vector<int>{144}));
  EXPECT_EQ(ws.dpi(form), 144);
  RECT client{};
  GetClientRect(top, &client);
  EXPECT_EQ(client.right, 636);
  EXPECT_EQ(client.bottom, 455);
  RECT outer{};
  GetWindowRect(top, &outer);
  EXPECT_EQ(outer.left, 100);
  EXPECT_EQ(outer.top, 50);
  auto at = [&](const char* name) { return ws.windowOf(MadeNamed(form.controls(), name)); };
  EXPECT_EQ(BoundsOf(at("BitBtn1")), (Bounds{12, 245, 612, 50}));
  EXPECT_EQ(BoundsOf(at("Label7")), (Bounds{5, 421, 626, 29}));
  EXPECT_EQ(FontOf(at("Label2")).lfHeight, -29);
  EXPECT_EQ(FontOf(at("Edit1")).lfHeight, -20);
  // Labels sized by their text grow with the font.
  EXPECT_GT(BoundsOf(at("Label9")).height, 28);
}

}  // namespace
}  // namespace hv::platform::win32::winui::uitest
