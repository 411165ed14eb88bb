#include "app/main_form_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

namespace hv::app {
namespace {

struct Expected {
  const char* name;
  ui::ControlKind kind;
  ui::Bounds bounds;
  const wchar_t* text;
  int font;
  int tab;
};

// The window as a user sees it at 96 DPI.
const Expected kExpected[] = {
    {"Label9", ui::ControlKind::Label, {8, 8, 0, 0}, L"Server:", 19, -1},
    {"ComboBox1", ui::ControlKind::ComboBox, {194, 8, 222, 0}, L"", 16, 0},
    {"Label1", ui::ControlKind::Label, {8, 36, 0, 0}, L"Server Time:", 19, -1},
    {"Label2", ui::ControlKind::Label, {194, 36, 222, 23}, L"01/01/1990 00:00:00", 19, -1},
    {"Label3", ui::ControlKind::Label, {8, 65, 0, 0}, L"Computer Time:", 19, -1},
    {"Label4", ui::ControlKind::Label, {194, 65, 222, 23}, L"01/01/1990 00:00:00", 19, -1},
    {"Label5", ui::ControlKind::Label, {8, 94, 0, 0}, L"Computer Timezone:", 19, -1},
    {"Label6", ui::ControlKind::Label, {194, 94, 222, 23}, L"GMT +0", 19, -1},
    {"CheckBox1", ui::ControlKind::CheckBox, {8, 122, 180, 27}, L"Daylight Saving:", 13, 1},
    {"Edit1", ui::ControlKind::Edit, {194, 123, 222, 24}, L"None", 13, 2},
    {"BitBtn1", ui::ControlKind::Button, {8, 163, 408, 33}, L"Get Server Time", 19, 3},
    {"BitBtn2", ui::ControlKind::Button, {8, 202, 408, 33}, L"Sync Computer Time", 19, 4},
    {"CheckBox2",
     ui::ControlKind::CheckBox,
     {8, 241, 408, 24},
     L"Automatically Synchronize",
     19,
     5},
    {"Label7", ui::ControlKind::Label, {3, 281, 418, 19}, L"Hotkey: CTRL + ALT + T", 16, -1},
};

TEST(MainFormLayout, ControlsHaveTheirBoundsTextsFontsAndTabOrder) {
  const auto& design = AppFormSpec();
  ASSERT_EQ(design.controls.size(), std::size(kExpected));
  for (const auto& e : kExpected) {
    auto it = std::find_if(design.controls.begin(), design.controls.end(),
                           [&](const ui::ControlSpec& c) { return c.name == e.name; });
    ASSERT_NE(it, design.controls.end()) << e.name;
    EXPECT_EQ(it->kind, e.kind) << e.name;
    EXPECT_EQ(it->bounds, e.bounds) << e.name;
    EXPECT_EQ(std::wstring(it->text), e.text) << e.name;
    EXPECT_EQ(it->fontHeight, e.font) << e.name;
    EXPECT_EQ(it->tabOrder, e.tab) << e.name;
  }
}

TEST(MainFormLayout, WindowAndSpecialControls) {
  const auto& design = AppFormSpec();
  EXPECT_EQ(design.clientWidth, 424);
  EXPECT_EQ(design.clientHeight, 303);
  EXPECT_EQ(std::wstring(design.fontName), L"Tahoma");
  EXPECT_EQ(design.fontHeight, 11);
  EXPECT_TRUE(design.minimizeBox);
  EXPECT_FALSE(design.maximizeBox);
  EXPECT_EQ(design.border, ui::BorderStyle::Single);
  EXPECT_TRUE(design.trayIcon);
  auto find = [&](std::string_view n) {
    return *std::find_if(design.controls.begin(), design.controls.end(),
                         [&](const ui::ControlSpec& c) { return c.name == n; });
  };
  EXPECT_TRUE(find("ComboBox1").editable);
  EXPECT_TRUE(find("BitBtn1").defaultButton);
  EXPECT_FALSE(find("BitBtn2").enabled);
  EXPECT_TRUE(find("Edit1").readOnly);
  EXPECT_TRUE(find("Edit1").buttonFace);
  EXPECT_EQ(find("Edit1").align, ui::Align::Right);
  for (const char* n : {"Label2", "Label4", "Label6"}) EXPECT_EQ(find(n).align, ui::Align::Right);
  // Docked to the bottom edge with 3-pixel margins, 19 high.
  const auto& l7 = find("Label7");
  EXPECT_EQ(l7.dock, ui::Dock::Bottom);
  EXPECT_EQ(l7.dockMargin, 3);
  EXPECT_EQ(l7.bounds.top + l7.bounds.height + 3, design.clientHeight);
  EXPECT_EQ(l7.align, ui::Align::Center);
  // Tab stops run 0..5 without gaps.
  std::set<int> tabs;
  for (const auto& c : design.controls)
    if (c.tabOrder >= 0) tabs.insert(c.tabOrder);
  EXPECT_EQ(tabs, (std::set<int>{0, 1, 2, 3, 4, 5}));
}

TEST(MainFormLayout, MenusInOrderWithTheirStates) {
  const auto& design = AppFormSpec();
  std::vector<std::string> main, tray;
  for (const auto& m : design.mainMenu) main.emplace_back(m.name);
  for (const auto& m : design.popupMenu) tray.emplace_back(m.name);
  EXPECT_EQ(main, (std::vector<std::string>{"File1", "Exit2", "Help3", "Help2", "N3", "MenuItem4",
                                            "MenuItem5", "Language2", "SendFeedback2", "About2"}));
  EXPECT_EQ(tray, (std::vector<std::string>{"ShowHorvane1", "N1", "UpdateNotifications1",
                                            "UpdateNotificationsBar", "Help1", "Language1",
                                            "SendFeedback1", "About1", "N2", "Exit1"}));
  auto item = [&](std::span<const ui::MenuSpec> menu, std::string_view n) {
    return *std::find_if(menu.begin(), menu.end(),
                         [&](const ui::MenuSpec& m) { return m.name == n; });
  };
  const auto& m4 = item(design.mainMenu, "MenuItem4");
  EXPECT_TRUE(m4.checked);
  EXPECT_FALSE(m4.enabled);
  EXPECT_FALSE(m4.visible);
  EXPECT_FALSE(item(design.mainMenu, "MenuItem5").visible);
  EXPECT_EQ(std::wstring(item(design.mainMenu, "Help2").shortcut), L"F1");
  EXPECT_EQ(std::wstring(item(design.mainMenu, "SendFeedback2").caption), L"Send &Feedback...");
  EXPECT_EQ(std::wstring(item(design.mainMenu, "About2").caption), L"&About...");
  const auto& u1 = item(design.popupMenu, "UpdateNotifications1");
  EXPECT_TRUE(u1.checked);
  EXPECT_FALSE(u1.enabled);
  EXPECT_TRUE(u1.visible);
  EXPECT_FALSE(item(design.popupMenu, "UpdateNotificationsBar").visible);
  EXPECT_EQ(std::wstring(item(design.popupMenu, "Exit1").caption), L"E&xit");
}

TEST(MainFormLayout, TimersAndPresets) {
  const auto& design = AppFormSpec();
  std::vector<std::pair<std::string, unsigned>> timers;
  for (const auto& t : design.timers) {
    timers.emplace_back(t.name, t.interval);
    EXPECT_TRUE(t.enabled) << t.name;
  }
  EXPECT_EQ(timers, (std::vector<std::pair<std::string, unsigned>>{{"TimerStart", 1},
                                                                   {"TimerMinimize", 1},
                                                                   {"TimerComputerTime", 1000},
                                                                   {"Timer1", 1000},
                                                                   {"TimerChecker", 1000},
                                                                   {"TimerAutomatic", 10000}}));
  EXPECT_EQ(ServerPresets().size(), 4u);
  EXPECT_EQ(MakerHost(), std::wstring_view(HORVANE_MAKER_HOST));
}

}  // namespace
}  // namespace hv::app
