// The About window, headless: the rain arithmetic and animation, the Info
// drop-down's second-click rule, dragging, and the links.
#include "about/about_box.h"

#include <gtest/gtest.h>

#include <deque>

#include "about/about_box_layout.h"
#include "about/popup_under_button.h"
#include "app/identity.h"
#include "app/main_form_windows.h"
#include "support/app_harness.h"

namespace hv::about {
namespace {

using test::AppHarness;

TEST(RainArithmetic, TailIsFortyRowsBackWrappedOverTheGrid) {
  EXPECT_EQ(TailRow(10, 33), 4);  // -30, plus 34 once
  EXPECT_EQ(TailRow(3, 33), 31);  // -37, plus 34 twice
  EXPECT_EQ(TailRow(0, 33), 28);
  EXPECT_EQ(TailRow(34, 33), 28);
  EXPECT_EQ(TailRow(40, 33), 0);
  EXPECT_EQ(TailRow(45, 33), 5);
  // A grid too small for one row still ends.
  EXPECT_EQ(TailRow(0, 0), 0);
  EXPECT_EQ(TailRow(5, -1), 0);
}

TEST(RainArithmetic, ColoursByTruncatingDivision) {
  const auto c99 = DropColoursFor(99);
  EXPECT_EQ(c99.bright, (ui::Colour{148, 252, 98}));
  EXPECT_EQ(c99.dim, (ui::Colour{49, 84, 32}));
  const auto c50 = DropColoursFor(50);  // b = 127, d = 42
  EXPECT_EQ(c50.bright, (ui::Colour{74, 127, 49}));
  EXPECT_EQ(c50.dim, (ui::Colour{24, 42, 16}));
  EXPECT_EQ(DropColoursFor(0).bright, (ui::Colour{0, 0, 0}));
  EXPECT_EQ(DropColoursFor(1).bright, (ui::Colour{1, 2, 0}));
}

TEST(RainPicture, CharactersReplaceTheirCellAndBlackRemovesThem) {
  RainPicture p;
  p.drawText(8, 12, L"q", {1, 2, 3}, 12, false);
  p.drawText(8, 12, L"a", {4, 5, 6}, 12, false);
  p.drawText(16, 24, L"q", {7, 8, 9}, 12, false);
  ASSERT_EQ(p.cells().size(), 2u);
  EXPECT_EQ(p.cells().at({8, 12}).text, L"a");
  p.fillRect({8, 12, 8, 12}, {0, 0, 0});
  ASSERT_EQ(p.cells().size(), 1u);
  EXPECT_EQ(p.cells().count({16, 24}), 1u);
  p.fillRect({0, 0, 446, 374}, {0, 0, 0});
  EXPECT_TRUE(p.cells().empty());
}

// A random source that answers from a script, then with 0.
struct ScriptedRandom {
  std::shared_ptr<std::deque<int>> answers = std::make_shared<std::deque<int>>();
  std::shared_ptr<std::vector<int>> asked = std::make_shared<std::vector<int>>();
  RandomFn fn() const {
    return [a = answers, q = asked](int n) {
      q->push_back(n);
      if (a->empty()) return 0;
      const int v = a->front();
      a->pop_front();
      return v;
    };
  }
};

struct AboutWindow : ::testing::Test {
  AboutWindow() {
    app::SetIdentity({L"CALVION", L"Horvane", L"CALVION - Horvane", L"2.2"});
    // The outer size 452 x 403 gives a grid of 56 x 33.
    h.windows.frame = {6, 29};
  }
  TAboutBox& open() {
    form = ui::MakeForm<TAboutBox>(app::AboutServicesOf(h.platform), random.fn());
    return *form;
  }
  AppHarness h;
  ScriptedRandom random;
  ui::FormPtr<TAboutBox> form;
};

TEST_F(AboutWindow, OpeningStartsTheAnimationWithTwoDropsPerColumn) {
  TAboutBox& f = open();
  EXPECT_EQ(f.bitmapWidth(), 452);
  EXPECT_EQ(f.bitmapHeight(), 403);
  EXPECT_EQ(f.matrixWidth(), 56);
  EXPECT_EQ(f.matrixHeight(), 33);
  EXPECT_EQ(f.charWidth(), 8);
  EXPECT_EQ(f.charHeight(), 12);
  EXPECT_EQ(Rain().RainChars, L"qaq");
  EXPECT_EQ(Rain().DropCount, 112);
  EXPECT_EQ(Rain().RainTick, 0);
  // Two drops per column, columns in turn.
  EXPECT_EQ(Rain().Drops[0].column, 0);
  EXPECT_EQ(Rain().Drops[55].column, 55);
  EXPECT_EQ(Rain().Drops[56].column, 0);
  EXPECT_EQ(Rain().Drops[111].column, 55);
  EXPECT_TRUE(f.tmTimer.enabled());
  EXPECT_EQ(f.tmTimer.interval(), 50u);
  // Each drop asks for a row, a speed and a brightness in their ranges.
  ASSERT_GE(random.asked->size(), 3u);
  EXPECT_EQ((*random.asked)[0], 33);
  EXPECT_EQ((*random.asked)[1], 3);
  EXPECT_EQ((*random.asked)[2], 100);
  // The timer moves it.
  h.windows.advance(50);
  EXPECT_EQ(Rain().RainTick, 1);
  EXPECT_FALSE(f.outCanvas().cells().empty());
}

TEST_F(AboutWindow, NeverMoreThanFiveThousandDrops) {
  TAboutBox& f = open();
  for (int i = 0; i < 6000; ++i) f.AddDrop();
  EXPECT_EQ(Rain().DropCount, kMaxDrops);
  f.CreateDrops();
  EXPECT_EQ(Rain().DropCount, 112);
}

TEST_F(AboutWindow, DropDrawsBrightDimAndErasesItsTail) {
  TAboutBox& f = open();
  f.ResetRain();
  ASSERT_TRUE(f.outCanvas().cells().empty());
  const int cw = 8, ch = 12;
  // Something already drawn where the tail of a drop in row 10 of column 3 is.
  f.DrawDropChar({3, 5, 1, 0});  // draws rows 4 and 5
  ASSERT_EQ(f.outCanvas().cells().count({3 * cw, 4 * ch}), 1u);
  random.answers->push_back(1);  // the character "a"
  f.DrawDropChar({3, 10, 1, 99});
  const auto& cells = f.outCanvas().cells();
  EXPECT_EQ(cells.count({3 * cw, 4 * ch}), 0u);  // row 10 erases row 4
  ASSERT_EQ(cells.count({3 * cw, 10 * ch}), 1u);
  EXPECT_EQ(cells.at({3 * cw, 10 * ch}).text, L"a");
  EXPECT_EQ(cells.at({3 * cw, 10 * ch}).colour, (ui::Colour{148, 252, 98}));
  EXPECT_EQ(cells.at({3 * cw, 10 * ch}).fontHeight, 12);
  EXPECT_EQ(cells.at({3 * cw, 9 * ch}).colour, (ui::Colour{49, 84, 32}));
  // Row 3 erases row 31.
  f.DrawDropChar({7, 31, 1, 50});
  ASSERT_EQ(cells.count({7 * cw, 31 * ch}), 1u);
  f.DrawDropChar({7, 3, 1, 50});
  EXPECT_EQ(cells.count({7 * cw, 31 * ch}), 0u);
}

TEST_F(AboutWindow, DropInRowZeroDrawsNoDimCharacterAbove) {
  TAboutBox& f = open();
  f.ResetRain();
  f.DrawDropChar({2, 0, 1, 99});
  ASSERT_EQ(f.outCanvas().cells().size(), 1u);
  EXPECT_EQ(f.outCanvas().cells().begin()->first, (std::pair<int, int>{16, 0}));
}

TEST_F(AboutWindow, DropsMoveEverySpeedthTickAndRestartInTheirColumn) {
  TAboutBox& f = open();
  auto& rain = Rain();
  rain.DropCount = 2;
  rain.Drops[0] = {4, 10, 1, 20};
  rain.Drops[1] = {9, 10, 3, 20};
  rain.RainTick = 0;
  for (int tick = 0; tick < 6; ++tick) f.StepRain();
  EXPECT_EQ(rain.RainTick, 6);
  EXPECT_EQ(rain.Drops[0].row, 16);
  EXPECT_EQ(rain.Drops[1].row, 12);  // ticks 0 and 3
  // Past matrixHeight + 1 = 34 it starts again at row 0, same column.
  rain.Drops[0] = {4, 34, 1, 20};
  random.answers->assign({0, 2, 77});  // character, then speed 1 + 2, brightness 77
  f.StepRain();
  EXPECT_EQ(rain.Drops[0].row, 0);
  EXPECT_EQ(rain.Drops[0].column, 4);
  EXPECT_EQ(rain.Drops[0].speed, 3);
  EXPECT_EQ(rain.Drops[0].brightness, 77);
  rain.Drops[0] = {4, 33, 1, 20};
  f.StepRain();
  EXPECT_EQ(rain.Drops[0].row, 34);  // matrixHeight + 1 is still a row
}

TEST_F(AboutWindow, PaintingShowsWhatTheAnimationDrew) {
  TAboutBox& f = open();
  struct Recorder : ui::Canvas {
    int fills = 0, texts = 0;
    void fillRect(ui::Bounds, ui::Colour) override { ++fills; }
    void drawText(int, int, std::wstring_view, ui::Colour, int, bool) override { ++texts; }
    void drawImage(std::string_view, ui::Bounds) override {}
  } canvas;
  h.windows.advance(100);
  ASSERT_TRUE(f.OnPaint);
  f.OnPaint(canvas);
  EXPECT_EQ(canvas.fills, 1);
  EXPECT_EQ(canvas.texts, static_cast<int>(f.outCanvas().cells().size()));
  // A resize clears the window and makes all drops anew; the grid stays.
  f.FormResize();
  EXPECT_TRUE(f.outCanvas().cells().empty());
  EXPECT_EQ(Rain().DropCount, 112);
}

TEST_F(AboutWindow, SecondClickOnInfoWithinAHundredMillisecondsShowsNothing) {
  TAboutBox& f = open();
  f.moveTo(300, 200);
  h.windows.userClick(f.BitBtn2);
  ASSERT_EQ(h.windows.popups.size(), 1u);
  EXPECT_EQ(h.windows.popups[0].form, &f);
  // Below the button's bottom-left corner.
  EXPECT_EQ(h.windows.popups[0].at, h.windows.bottomLeftOnScreen(f, f.BitBtn2));
  h.windows.advance(99);
  h.windows.userClick(f.BitBtn2);  // the click that closed the menu
  EXPECT_EQ(h.windows.popups.size(), 1u);
  h.windows.userClick(f.BitBtn2);  // the next one opens it again
  EXPECT_EQ(h.windows.popups.size(), 2u);
  h.windows.advance(100);
  h.windows.userClick(f.BitBtn2);
  EXPECT_EQ(h.windows.popups.size(), 3u);
}

TEST_F(AboutWindow, ReopenGuardSurvivesTheTickCounterWrapping) {
  TAboutBox& f = open();
  f.tmTimer.setEnabled(false);          // no rain through 49 days of fake time
  h.windows.advance(0xFFFFFFFFu - 20);  // 20 ms before the counter wraps
  h.windows.userClick(f.BitBtn2);
  h.windows.advance(50);  // past the wrap
  h.windows.userClick(f.BitBtn2);
  EXPECT_EQ(h.windows.popups.size(), 1u);
}

TEST_F(AboutWindow, MenuItemsChosenFromTheDropDownOpenTheirLinks) {
  TAboutBox& f = open();
  h.windows.onPopupMenu = [&](ui::Form& menu) {
    h.windows.userChoose(menu.menuItem(ui::RowOf<ui::MenuItem>(kAboutInfoMenu, "Credits1")));
  };
  h.windows.userClick(f.BitBtn2);
  ASSERT_EQ(h.shell.opened.size(), 1u);
  EXPECT_EQ(h.shell.opened[0].file, CreditsAddress(HORVANE_MAKER_HOST));
  EXPECT_EQ(h.shell.opened[0].show, platform::ShowCommand::Hide);
  h.windows.userChoose(f.Howtouninstall1);
  h.windows.userClick(f.Label5);
  ASSERT_EQ(h.shell.opened.size(), 3u);
  EXPECT_EQ(h.shell.opened[1].file, UninstallAddress(HORVANE_MAKER_HOST));
  EXPECT_EQ(h.shell.opened[2].file, HomePageAddress(HORVANE_MAKER_HOST));
  for (const auto& o : h.shell.opened) EXPECT_TRUE(o.asUser) << "opened elevated";
  EXPECT_EQ(HomePageAddress(L"example.org"), L"http://example.org/");
  EXPECT_EQ(CreditsAddress(L"example.org"),
            L"https://example.org/blog/credits-and-acknowledgements/");
  EXPECT_EQ(UninstallAddress(L"example.org"),
            L"http://example.org/blog/how-to-uninstall-calvion-software/");
}

TEST_F(AboutWindow, LicenseOpensInNotepadOrSaysTheFileIsMissing) {
  TAboutBox& f = open();
  h.windows.userChoose(f.LicensePrivacyPolicy1);
  ASSERT_EQ(h.windows.shownBoxes.size(), 1u);
  EXPECT_EQ(h.windows.shownBoxes[0].caption, L"License");
  EXPECT_EQ(h.windows.shownBoxes[0].text, L"File not found!");
  EXPECT_EQ(h.windows.shownBoxes[0].icon, ui::MessageIcon::Error);
  EXPECT_TRUE(h.shell.opened.empty());
  EXPECT_EQ(f.modalResult(), ui::ModalResult::None);
  h.files.addFile(L"C:\\Tools\\license.txt", "terms");
  h.windows.userChoose(f.LicensePrivacyPolicy1);
  ASSERT_EQ(h.shell.opened.size(), 1u);
  EXPECT_EQ(h.shell.opened[0].file, L"C:\\Windows\\System32\\notepad.exe");
  EXPECT_TRUE(h.shell.opened[0].asUser);
  EXPECT_EQ(h.shell.opened[0].parameters, L"\"C:\\Tools\\license.txt\"");
  EXPECT_EQ(h.shell.opened[0].show, platform::ShowCommand::Normal);
  EXPECT_EQ(f.modalResult(), ui::ModalResult::None);
  EXPECT_EQ(LicenseFilePath(L"C:\\horvane.exe", L'\\'), L"C:\\license.txt");
}

TEST_F(AboutWindow, DraggingWithAnyButtonButTheRight) {
  TAboutBox& f = open();
  f.moveTo(100, 100);
  h.windows.cursor = {150, 120};
  f.Panel1.OnMouseDown(2);  // right button
  EXPECT_FALSE(f.dragging());
  h.windows.cursor = {160, 130};
  f.OnMouseMove(0, 0);
  EXPECT_EQ(f.left(), 100);
  for (int button : {0, 1}) {
    f.moveTo(100, 100);
    h.windows.cursor = {150, 120};
    f.Image1.OnMouseDown(button);
    EXPECT_TRUE(f.dragging());
    h.windows.cursor = {170, 115};
    f.Label2.OnMouseMove();
    EXPECT_EQ(f.left(), 120);
    EXPECT_EQ(f.top(), 95);
    h.windows.cursor = {160, 125};
    f.OnMouseMove(0, 0);
    EXPECT_EQ(f.left(), 110);
    EXPECT_EQ(f.top(), 105);
    f.Image2.OnMouseUp(button);
    EXPECT_FALSE(f.dragging());
    h.windows.cursor = {0, 0};
    f.OnMouseMove(0, 0);
    EXPECT_EQ(f.left(), 110);
  }
}

TEST_F(AboutWindow, TextsAndClosing) {
  TAboutBox& f = open();
  EXPECT_EQ(f.caption(), L"About Horvane");
  EXPECT_EQ(f.Label2.text(), L"Horvane 2.2");
  EXPECT_EQ(f.Label5.fontColour(), (ui::Colour{0, 255, 0}));
  EXPECT_EQ(f.logoSize(), (ui::Size{344, 105}));
  int closes = 0;
  f.OnClose = [&] { ++closes; };
  f.BitBtn1.OnKeyDown(13);
  EXPECT_EQ(closes, 0);
  f.BitBtn1.OnKeyDown(27);
  f.BitBtn2.OnKeyDown(27);
  EXPECT_EQ(closes, 2);
  h.windows.userClick(f.BitBtn1);
  EXPECT_EQ(closes, 3);
  EXPECT_EQ(f.modalResult(), ui::ModalResult::OK);
}

TEST_F(AboutWindow, MonitorDpiChangeReloadsTheLogoAndRestartsTheDrops) {
  TAboutBox& f = open();
  h.windows.advance(200);
  ASSERT_TRUE(f.OnDpiChanged);
  h.windows.monitorDpi = 144;
  h.windows.frame = {678 - 446, 605 - 374};  // the whole window grew by half
  f.OnDpiChanged(144);
  EXPECT_EQ(f.logoSize(), (ui::Size{516, 158}));
  EXPECT_TRUE(f.outCanvas().cells().empty());
  // The grid keeps the size from the opening.
  EXPECT_EQ(f.matrixWidth(), 56);
  EXPECT_EQ(Rain().DropCount, 112);
  // Opened on that monitor, the grid counts in 96-DPI pixels all the same.
  form.reset();
  open();
  EXPECT_EQ(form->bitmapWidth(), 452);
  EXPECT_EQ(form->bitmapHeight(), 403);
}

TEST_F(AboutWindow, ClosingStopsTheAnimation) {
  open();
  const int tick = [&] {
    h.windows.advance(150);
    return Rain().RainTick;
  }();
  form.reset();
  h.windows.advance(500);
  EXPECT_EQ(Rain().RainTick, tick);
}

}  // namespace
}  // namespace hv::about
