#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "ui/layout_rules.h"

namespace hv::ui::layout {
namespace {

using hv::ui::Bounds;
using hv::ui::ControlKind;
using hv::ui::ControlSpec;
using hv::ui::Dock;
using hv::ui::MenuSpec;

TEST(UiBackendScale, RoundsToTheNearestPixelWithHalvesAwayFromZero) {
  struct Case {
    int value, dpi, expected;
  };
  const Case cases[] = {
      {8, 96, 8},    {8, 144, 12},    {11, 120, 14}, {1, 120, 1},     {3, 144, 5},
      {-3, 144, -5}, {222, 168, 389}, {0, 192, 0},   {303, 192, 606}, {19, 120, 24},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Scale(c.value, c.dpi), c.expected) << c.value << " at " << c.dpi;
}

TEST(UiBackendPlace, UndockedChildrenScaleAndAutoSizedOnesTakeTheirMeasuredSize) {
  const ChildLayout children[] = {
      {.bounds = {194, 36, 222, 23}},
      {.bounds = {8, 8, 0, 0}, .natural = {57, 23}},
      {.bounds = {8, 8, 100, 0}, .natural = {57, 23}},
  };
  const auto placed = PlaceChildren(children, {636, 455}, 144);
  EXPECT_EQ(placed[0], (Bounds{291, 54, 333, 35}));
  EXPECT_EQ(placed[1], (Bounds{12, 12, 57, 23}));
  EXPECT_EQ(placed[2], (Bounds{12, 12, 150, 23}));
}

TEST(UiBackendPlace, TheHotkeyLabelSitsOnTheBottomEdgeInsideItsMargins) {
  const ChildLayout label[] = {{.bounds = {0, 0, 0, 19}, .dock = Dock::Bottom, .margin = 3}};
  EXPECT_EQ(PlaceChildren(label, {424, 303}, 96)[0], (Bounds{3, 281, 418, 19}));
  // At 150 % the margin is 5 (4.5 rounded up) and the height 29.
  EXPECT_EQ(PlaceChildren(label, {636, 455}, 144)[0], (Bounds{5, 421, 626, 29}));
}

TEST(UiBackendPlace, DockedChildrenShareWhatIsLeftTopThenBottomThenClient) {
  // Listed out of order on purpose: the client child is placed last whatever
  // its row, and two bottom strips stack upwards in table order.
  const ChildLayout children[] = {
      {.bounds = {0, 0, 0, 0}, .dock = Dock::Client, .margin = 2},
      {.bounds = {0, 0, 0, 46}, .dock = Dock::Top},
      {.bounds = {0, 0, 0, 40}, .dock = Dock::Bottom},
      {.bounds = {0, 0, 0, 30}, .dock = Dock::Bottom},
      {.bounds = {0, 0, 0, 0}, .dock = Dock::Top, .natural = {10, 20}},
  };
  const auto placed = PlaceChildren(children, {525, 326}, 96);
  EXPECT_EQ(placed[1], (Bounds{0, 0, 525, 46}));
  EXPECT_EQ(placed[4], (Bounds{0, 46, 525, 20}));
  EXPECT_EQ(placed[2], (Bounds{0, 286, 525, 40}));
  EXPECT_EQ(placed[3], (Bounds{0, 256, 525, 30}));
  EXPECT_EQ(placed[0], (Bounds{2, 68, 521, 186}));
}

TEST(UiBackendPlace, AClientTooSmallForTheMarginsGetsNoNegativeSize) {
  const ChildLayout child[] = {{.dock = Dock::Client, .margin = 10}};
  EXPECT_EQ(PlaceChildren(child, {12, 12}, 96)[0], (Bounds{10, 10, 0, 0}));
}

const std::array<ControlSpec, 8> kPanelled{{
    {.name = "Label1"},
    {.name = "Panel1", .kind = ControlKind::Panel},
    {.name = "Send", .kind = ControlKind::Button, .tabOrder = 2},
    {.name = "Edit1", .kind = ControlKind::Edit, .tabOrder = 1, .parent = "Panel1"},
    {.name = "Memo1", .kind = ControlKind::Memo, .tabOrder = 0},
    {.name = "Label2", .parent = "Panel1"},
    {.name = "Combo", .kind = ControlKind::ComboBox, .tabOrder = 0, .parent = "Panel1"},
    {.name = "Other", .kind = ControlKind::Button, .tabOrder = 2},
}};

TEST(UiBackendOrder, SiblingsGoByTabOrderAndParentsComeBeforeTheirChildren) {
  std::vector<std::string> names;
  for (auto i : CreationOrder(kPanelled)) names.emplace_back(kPanelled[i].name);
  EXPECT_EQ(names, (std::vector<std::string>{"Memo1", "Send", "Other", "Label1", "Panel1", "Combo",
                                             "Edit1", "Label2"}));
  EXPECT_EQ(ControlParents(kPanelled), (std::vector<int>{-1, -1, -1, 1, -1, 1, 1, -1}));
}

TEST(UiBackendOrder, AParentThatIsMissingOrNoPanelIsALayoutError) {
  const ControlSpec missing[] = {{.name = "Label1", .parent = "Panel9"}};
  EXPECT_THROW(CreationOrder(missing), std::logic_error);
  const ControlSpec notPanel[] = {{.name = "Label1"}, {.name = "Label2", .parent = "Label1"}};
  EXPECT_THROW(CreationOrder(notPanel), std::logic_error);
  const ControlSpec self[] = {{.name = "Panel1", .kind = ControlKind::Panel, .parent = "Panel1"}};
  EXPECT_THROW(CreationOrder(self), std::logic_error);
}

const std::array<MenuSpec, 7> kMenu{{
    {.name = "File1", .caption = L"File"},
    {.name = "Exit2", .caption = L"Exit", .parent = "File1"},
    {.name = "Help3", .caption = L"Help"},
    {.name = "Help2", .caption = L"Online Help", .parent = "Help3", .shortcut = L"F1"},
    {.name = "N3", .parent = "Help3", .separator = true},
    {.name = "MenuItem4", .caption = L"Update Notifications", .parent = "Help3", .visible = false},
    {.name = "About2", .caption = L"About", .parent = "Help3"},
}};

TEST(UiBackendMenu, RowsFormATreeByTheirParentNames) {
  const auto parents = MenuParents(kMenu);
  EXPECT_EQ(parents, (std::vector<int>{-1, 0, -1, 2, 2, 2, 2}));
  EXPECT_TRUE(HasChildren(parents, 0));
  EXPECT_TRUE(HasChildren(parents, 2));
  EXPECT_FALSE(HasChildren(parents, 3));
}

TEST(UiBackendMenu, AParentMustBeAnEarlierItemThatIsNoSeparator) {
  const MenuSpec later[] = {{.name = "Exit", .parent = "File"}, {.name = "File"}};
  EXPECT_THROW(MenuParents(later), std::logic_error);
  const MenuSpec separator[] = {{.name = "N1", .separator = true}, {.name = "X", .parent = "N1"}};
  EXPECT_THROW(MenuParents(separator), std::logic_error);
}

TEST(UiBackendMenu, AShownItemGoesAfterItsVisibleSiblingsOnly) {
  const auto parents = MenuParents(kMenu);
  std::vector<bool> visible{true, true, true, true, true, false, true};
  EXPECT_EQ(VisiblePosition(parents, visible, 6), 2);  // Help2, N3; not MenuItem4
  EXPECT_EQ(VisiblePosition(parents, visible, 3), 0);
  EXPECT_EQ(VisiblePosition(parents, visible, 2), 1);  // after File1 in the bar
  visible[5] = true;
  EXPECT_EQ(VisiblePosition(parents, visible, 6), 3);
  EXPECT_EQ(VisiblePosition(parents, visible, 5), 2);
}

TEST(UiBackendMenu, TheShortcutFollowsTheCaptionAfterATab) {
  EXPECT_EQ(MenuText(L"Online Help", L"F1"), L"Online Help\tF1");
  EXPECT_EQ(MenuText(L"E&xit", L""), L"E&xit");
}

TEST(UiBackendShortcut, TextsNameTheirKeyAndModifiers) {
  struct Case {
    const wchar_t* text;
    std::optional<Shortcut> expected;
  };
  const Case cases[] = {
      {L"F1", Shortcut{0x70}},
      {L"F12", Shortcut{0x7B}},
      {L"F24", Shortcut{0x87}},
      {L"Ctrl+Alt+T", Shortcut{'T', true, true, false}},
      {L"ctrl+s", Shortcut{'S', true}},
      {L"Shift+Del", Shortcut{0x2E, false, false, true}},
      {L"Alt+4", Shortcut{'4', false, true}},
      {L"F0", std::nullopt},
      {L"F25", std::nullopt},
      {L"F01", std::nullopt},
      {L"Hyper+X", std::nullopt},
      {L"Ctrl+", std::nullopt},
      {L"", std::nullopt},
      {L"Ctrl+Alt", std::nullopt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ParseShortcut(c.text), c.expected) << std::wstring(c.text).size();
}

TEST(UiBackendEditText, EveryLineBreakBecomesCrLfAndNothingElseChanges) {
  EXPECT_EQ(EditText(L"Ada\r\nGrace"), L"Ada\r\nGrace");
  EXPECT_EQ(EditText(L"one\ntwo\rthree"), L"one\r\ntwo\r\nthree");
  // Two carriage returns, as two-sentence messages are joined: two breaks.
  EXPECT_EQ(EditText(L"a\r\rb"), L"a\r\n\r\nb");
  EXPECT_EQ(EditText(L"\n"), L"\r\n");
  EXPECT_EQ(EditText(L"tab\there"), L"tab\there");
  EXPECT_EQ(EditText(L""), L"");
}

}  // namespace
}  // namespace hv::ui::layout
