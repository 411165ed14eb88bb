// The update notice, headless: where it opens, how it shows and closes
// itself, the link's hover colour and address, and dragging.
#include "notice/notice_window.h"

#include <gtest/gtest.h>

#include "support/fake_desktop.h"
#include "support/fake_shell.h"
#include "support/new_run.h"
#include "ui/headless.h"
#include "web/update_check.h"

namespace hv::notice {
namespace {

using platform::animate::kCenter;
using platform::animate::kHide;
using platform::animate::kHorNegative;
using platform::animate::kHorPositive;

struct MainStub : ui::Form {
  explicit MainStub(ui::WindowSystem& ws) : ui::Form(ws, layout) {}
  static inline const ui::FormSpec layout{.name = "Main", .clientWidth = 100, .clientHeight = 100};
};

struct Notice : ::testing::Test {
  Notice() { test::BeginNewRun(); }
  ~Notice() override { test::BeginNewRun(); }
  TNewVer& open() {
    ShowNewVer({windows, shell, desktop, main, L"127.0.0.1:18080", L"Horvane"});
    return *NewVer();
  }

  ui::HeadlessWindowSystem windows;
  test::FakeShell shell;
  test::FakeDesktop desktop;
  MainStub main{windows};
};

TEST_F(Notice, OpensInTheTopRightCornerAndShowsItselfAMomentLater) {
  auto& n = open();
  EXPECT_EQ(n.left(), 1280 - 320 - 5);
  EXPECT_EQ(n.top(), 5);
  EXPECT_FALSE(n.visible());
  EXPECT_EQ(n.Label1.text(), L"UPDATE AVAILABLE");
  windows.advance(1);
  EXPECT_TRUE(n.visible());
  ASSERT_EQ(desktop.animations.size(), 1u);
  EXPECT_EQ(desktop.animations[0].ms, 100u);
  EXPECT_EQ(desktop.animations[0].flags, kCenter | kHorPositive | kHorNegative);
  ASSERT_EQ(desktop.focused.size(), 1u);
  EXPECT_EQ(desktop.focused[0], &main);
}

TEST_F(Notice, AHiddenMainWindowThatRefusesTheFocusChangesNothing) {
  desktop.focusRefused = true;
  auto& n = open();
  windows.advance(1);
  EXPECT_TRUE(n.visible());
}

TEST_F(Notice, ClosesItselfAfterElevenTicks) {
  open();
  windows.advance(10'500);
  ASSERT_NE(NewVer(), nullptr);
  EXPECT_EQ(CloseCountdown(), 1);
  windows.advance(600);
  EXPECT_EQ(CloseCountdown(), 0);
  EXPECT_EQ(NewVer(), nullptr);
  ASSERT_EQ(desktop.animations.size(), 2u);
  EXPECT_EQ(desktop.animations[1].flags, kHide | kCenter);
}

TEST_F(Notice, OnlyOnceARun) {
  open();
  NewVer()->Button1.click();
  windows.drain();
  EXPECT_EQ(NewVer(), nullptr);
  ShowNewVer({windows, shell, desktop, main, L"h", L"Horvane"});
  EXPECT_EQ(NewVer(), nullptr);
}

TEST_F(Notice, TheLinkNamesTheProductAndVersionAndGlowsUnderThePointer) {
  // Filled by the check before the notice is made.
  ASSERT_EQ(web::LatestVersion(), L"");
  auto& n = open();
  EXPECT_EQ(n.Label2.text(), L"Click to download Horvane ");
  // Label2 spans x 68..298 and y 22..64 of the window.
  desktop.pointer = {n.left() + 100, n.top() + 30};
  windows.advance(100);
  EXPECT_EQ(n.Label2.fontColour(), (ui::Colour{51, 153, 255}));
  desktop.pointer = {n.left() + 20, n.top() + 30};
  windows.advance(100);
  EXPECT_EQ(n.Label2.fontColour(), (ui::Colour{0, 0, 0}));
  desktop.pointer = {n.left() + 300, n.top() + 30};
  windows.advance(100);
  EXPECT_EQ(n.Label2.fontColour(), (ui::Colour{0, 0, 0}));
}

TEST_F(Notice, TheLinkOpensTheDownloadPageHiddenAndCloses) {
  auto& n = open();
  n.Label2.click();
  ASSERT_EQ(shell.opened.size(), 1u);
  EXPECT_EQ(shell.opened[0].file, L"https://127.0.0.1:18080");
  EXPECT_EQ(shell.opened[0].show, platform::ShowCommand::Hide);
  EXPECT_TRUE(shell.opened[0].asUser);
  windows.drain();
  EXPECT_EQ(NewVer(), nullptr);
}

TEST_F(Notice, AShellThatFailsStillClosesTheNotice) {
  shell.failOpen = true;
  open().Label2.click();
  windows.drain();
  EXPECT_EQ(NewVer(), nullptr);
}

TEST(DownloadAddress, OnlySafeWebAddressesAreOpenedElseTheSecureHomePage) {
  const wchar_t* host = L"www.calvion.com";
  EXPECT_EQ(DownloadAddress(L"https://dl.calvion.com/x.exe", host),
            L"https://dl.calvion.com/x.exe");
  EXPECT_EQ(DownloadAddress(L"HTTP://Example.com/", host), L"HTTP://Example.com/");
  EXPECT_EQ(DownloadAddress(L"Https://a", host), L"Https://a");
  const std::wstring tooLong = L"https://a/" + std::wstring(2039, L'x');
  for (const std::wstring& other :
       {std::wstring(), std::wstring(L"C:\\Windows\\System32\\cmd.exe"),
        std::wstring(L"file:///C:/x.exe"), std::wstring(L"\\\\server\\share\\setup.exe"),
        std::wstring(L"ftp://x"), std::wstring(L" http://x"), std::wstring(L"http:/x"),
        std::wstring(L"javascript:alert(1)"), std::wstring(L"calc"), std::wstring(L"https://"),
        std::wstring(L"https:///x"), std::wstring(L"https://a/b c"), std::wstring(L"https://a/\"x"),
        std::wstring(L"https://a/'x"), std::wstring(L"https://a/\tx"),
        std::wstring(L"https://a/\x7fx"), std::wstring(L"https://a/\u00e9"),
        std::wstring(L"https://a/\u202ex"), tooLong}) {
    EXPECT_EQ(DownloadAddress(other, host), L"https://www.calvion.com")
        << std::string(other.begin(), other.begin() + std::min<std::size_t>(other.size(), 40));
  }
  const std::wstring longest = tooLong.substr(0, 2048);
  EXPECT_EQ(DownloadAddress(longest, host), longest);
}

TEST_F(Notice, DragsWithAnyButtonButTheRightOne) {
  auto& n = open();
  const int left = n.left(), top = n.top();
  desktop.pointer = {1000, 20};
  n.Label1.OnMouseDown(2);
  EXPECT_FALSE(n.dragging());
  EXPECT_EQ(desktop.captures, 0);

  n.Panel1.OnMouseDown(1);
  EXPECT_TRUE(n.dragging());
  desktop.moveTo({990, 30});
  desktop.moveTo({900, 130});
  EXPECT_EQ(n.left(), left - 100);
  EXPECT_EQ(n.top(), top + 110);
  desktop.release();
  EXPECT_FALSE(n.dragging());
  n.FormMouseMove({0, 0});
  EXPECT_EQ(n.left(), left - 100);

  n.OnMouseDown(3, 5, 5);
  EXPECT_TRUE(n.dragging());
  desktop.release();
}

TEST_F(Notice, TheLinkItsPanelAndTheCloseButtonStartNoDrag) {
  auto& n = open();
  EXPECT_FALSE(n.Label2.OnMouseDown);
  EXPECT_FALSE(n.Panel2.OnMouseDown);
  EXPECT_FALSE(n.Button1.OnMouseDown);
  EXPECT_TRUE(n.Image1.OnMouseDown);
  EXPECT_TRUE(n.Panel3.OnMouseDown);
}

}  // namespace
}  // namespace hv::notice
