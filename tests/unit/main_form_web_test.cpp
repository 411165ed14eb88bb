// The main window's web side on fakes: Get Server Time for the maker's host,
// the update check's timer, the notice and the "Update Notifications" items.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "app/main_form_layout.h"
#include "notice/notice_window.h"
#include "support/app_harness.h"
#include "web/client_locale.h"
#include "web/maker_date_time.h"
#include "web/update_check.h"

namespace hv::app {
namespace {

using test::AppHarness;

const std::wstring kDateTime = L"https://" + std::wstring(MakerHost()) + web::kDateTimePath;
const std::wstring kDateTimePlain = L"http://" + std::wstring(MakerHost()) + web::kDateTimePath;
const std::wstring kCheck = L"https://" + std::wstring(MakerHost()) + web::kCheckPath;

void ChooseMaker(TAppForm& f) {
  f.ComboBox1.selectFromUser(3);
}

TEST(MakerTime, TheFourthPresetShowsTheSitesGmtInLocalTime) {
  AppHarness h;
  h.clock.setBias(-120);
  h.clock.zone.daylightBias = -60;
  h.http.answer(kDateTime, "24/12/2021 18:05:09\r\n");
  TAppForm& f = h.start();
  ChooseMaker(f);
  h.windows.userClick(f.BitBtn1);
  EXPECT_EQ(f.Label2.text(), L"24/12/2021 20:05:09");
  EXPECT_TRUE(f.BitBtn2.enabled());
  EXPECT_TRUE(f.BitBtn1.enabled());
  EXPECT_TRUE(h.windows.shownBoxes.empty());
  ASSERT_EQ(h.http.sent.size(), 1u);
  EXPECT_EQ(h.http.sent[0].request.body, "cmd=datetime");

  // Ticking the box fetches at once, with the daylight bias read right now.
  h.windows.userToggle(f.CheckBox1);
  EXPECT_EQ(f.Label2.text(), L"24/12/2021 21:05:09");
}

TEST(MakerTime, TheTooltipGivesTheOffsetInWholeSeconds) {
  AppHarness h;
  h.clock.setBias(-120);
  h.clock.set(time::EncodeDateTime(2021, 12, 24, 20, 5, 6, 400));
  h.http.answer(kDateTime, "24/12/2021 18:05:09");
  TAppForm& f = h.start();
  ChooseMaker(f);
  h.windows.userClick(f.BitBtn1);
  EXPECT_EQ(f.Label2.hint(), L"Offset +3 s (web, whole seconds)");
}

TEST(MakerTime, AHalfHourZoneKeepsItsHalfHourBeforeAnyDisplayTick) {
  AppHarness h;
  h.clock.setBias(-330);
  h.http.answer(kDateTime, "24/12/2021 18:05:09");
  TAppForm& f = h.start();
  ChooseMaker(f);
  h.windows.userClick(f.BitBtn1);
  EXPECT_EQ(f.Label2.text(), L"24/12/2021 23:35:09");
  h.windows.advance(5);
  // The offset display keeps whole hours.
  EXPECT_EQ(f.Label6.text(), L"GMT +5");
}

TEST(MakerTime, AnErrorPageReachesTheErrorReportAfterTheButtonIsBack) {
  AppHarness h;
  h.http.answer(kDateTime, "<html><body>Internal error</body></html>", 500);
  TAppForm& f = h.start();
  ChooseMaker(f);
  h.windows.userClick(f.BitBtn1);
  ASSERT_EQ(h.windows.shownBoxes.size(), 1u);
  EXPECT_EQ(h.windows.shownBoxes[0].caption, L"Horvane");
  EXPECT_EQ(h.windows.shownBoxes[0].icon, ui::MessageIcon::Error);
  EXPECT_EQ(h.windows.shownBoxes[0].text,
            L"'<html><body>Internal error</body></html>' is not a valid date and time.");
  EXPECT_TRUE(f.BitBtn1.enabled());
  EXPECT_FALSE(f.BitBtn2.enabled());
  EXPECT_FALSE(f.ServerTimeValid());
}

TEST(MakerTime, AnEmptyAnswerChangesNothingAndSyncLeavesTheClock) {
  AppHarness h;
  h.http.answer(kDateTime, "01/06/2022 12:00:00");
  h.http.answer(kDateTime, "");
  TAppForm& f = h.start();
  ChooseMaker(f);
  h.windows.userClick(f.BitBtn1);
  ASSERT_EQ(f.Label2.text(), L"01/06/2022 12:00:00");
  h.windows.userClick(f.BitBtn2);
  EXPECT_TRUE(h.windows.shownBoxes.empty());
  EXPECT_TRUE(h.clock.setCalls.empty());
  EXPECT_EQ(f.Label2.text(), L"01/06/2022 12:00:00");
}

TEST(MakerTime, SyncWritesTheFetchedTimeAndSkipsTheClockOnAPassedOnFailure) {
  AppHarness h;
  h.clock.set(time::EncodeDateTime(2022, 6, 1, 11, 59, 0, 0));  // close enough to need no yes
  h.http.fail(kDateTime, L"no TLS here");
  h.http.answer(kDateTimePlain, "01/06/2022 12:00:00");
  h.http.answer(kDateTimePlain, "01/06/2022 12:00:00");
  h.http.fail(kDateTimePlain, L"refused");
  TAppForm& f = h.start();
  ChooseMaker(f);
  h.windows.userClick(f.BitBtn1);
  h.windows.userClick(f.BitBtn2);
  ASSERT_EQ(h.clock.setCalls.size(), 1u);
  EXPECT_EQ(h.clock.setCalls[0].hour, 12);
  EXPECT_EQ(h.clock.setCalls[0].day, 1);
  EXPECT_TRUE(h.windows.shownBoxes.empty());

  h.windows.userClick(f.BitBtn2);
  EXPECT_EQ(h.clock.setCalls.size(), 1u);
  ASSERT_EQ(h.windows.shownBoxes.size(), 1u);
  EXPECT_EQ(h.windows.shownBoxes[0].text, L"refused.");
  EXPECT_TRUE(f.BitBtn1.enabled());
  // The display tick runs again after the failed synchronisation.
  EXPECT_TRUE(f.TimerComputerTime.enabled());
}

TEST(MakerTime, ADateOf2000OrEarlierIsAnInvalidServerTimeAndNeverWritten) {
  AppHarness h;
  h.http.answer(kDateTime, "01/06/2022 12:00:00");
  h.http.answer(kDateTime, "31/12/1999 23:59:59");
  TAppForm& f = h.start();
  ChooseMaker(f);
  h.windows.userClick(f.BitBtn1);
  h.windows.userClick(f.BitBtn2);
  ASSERT_EQ(h.windows.shownBoxes.size(), 1u);
  EXPECT_EQ(h.windows.shownBoxes[0].text, L"Invalid Server Time!");
  EXPECT_EQ(h.windows.shownBoxes[0].caption, L"ERROR");
  EXPECT_TRUE(h.clock.setCalls.empty());
}

std::string CheckAnswer(const std::string& version, const std::string& url) {
  return "<version>" + version + "</version>\r\n<url>" + url + "</url>\r\n<price>0</price>\r\n" +
         "<result>1</result>\r\n";
}

// Runs the timers until the check's thread is done and the window took it.
void RunCheck(AppHarness& h) {
  h.windows.advance(1000);
  for (int i = 0; i < 500 && !web::CheckDone(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_TRUE(web::CheckDone()) << std::string(web::CheckErrorLog().begin(),
                                               web::CheckErrorLog().end());
  h.windows.advance(1000);
}

TEST(UpdateCheck, ANewerVersionOpensTheNoticeAndEnablesTheItem) {
  AppHarness h;
  h.http.answer(kCheck, CheckAnswer("2.3", "https://dl.example/h.exe"));
  TAppForm& f = h.start();
  EXPECT_FALSE(f.UpdateNotifications1.enabled());
  EXPECT_TRUE(f.UpdateNotifications1.checked());
  RunCheck(h);
  EXPECT_FALSE(f.TimerChecker.enabled());
  EXPECT_TRUE(f.UpdateNotifications1.enabled());
  EXPECT_TRUE(f.UpdateNotifications1.checked());
  ASSERT_NE(notice::NewVer(), nullptr);
  EXPECT_EQ(notice::NewVer()->Label2.text(), L"Click to download Horvane 2.3");
  const std::string body = h.http.sent.at(0).request.body;
  EXPECT_TRUE(body.starts_with("cmd=check&appname=CALVION+-+Horvane&version=2.2&os=")) << body;
  EXPECT_NE(body.find("&local=en-US&guid=&howmany=1"), std::string::npos) << body;

  notice::NewVer()->Label2.click();
  ASSERT_EQ(h.shell.opened.size(), 1u);
  EXPECT_EQ(h.shell.opened[0].file, L"https://dl.example/h.exe");
}

TEST(UpdateCheck, AnAddressThatIsNoWebPageOpensTheHomePage) {
  AppHarness h;
  h.http.answer(kCheck, CheckAnswer("2.3", "C:\\Windows\\System32\\cmd.exe"));
  h.start();
  RunCheck(h);
  ASSERT_NE(notice::NewVer(), nullptr);
  notice::NewVer()->Label2.click();
  ASSERT_EQ(h.shell.opened.size(), 1u);
  EXPECT_EQ(h.shell.opened[0].file, L"https://" + std::wstring(MakerHost()));
}

TEST(UpdateCheck, ShowUpdateZeroUnticksTheTrayItemAndShowsNoNotice) {
  AppHarness h;
  h.registry.putString(platform::RegistryRoot::CurrentUser, web::kUpdateStoreKey, L"ShowUpdate",
                       L"0");
  h.http.answer(kCheck, CheckAnswer("2.3", "https://dl.example/h.exe"));
  TAppForm& f = h.start();
  RunCheck(h);
  EXPECT_TRUE(f.UpdateNotifications1.enabled());
  EXPECT_FALSE(f.UpdateNotifications1.checked());
  EXPECT_EQ(notice::NewVer(), nullptr);

  // The tray item flips its tick and stores the choice.
  h.windows.userChoose(f.UpdateNotifications1);
  EXPECT_TRUE(f.UpdateNotifications1.checked());
  EXPECT_EQ(
      h.registry.text(platform::RegistryRoot::CurrentUser, web::kUpdateStoreKey, L"ShowUpdate"),
      L"1");
  h.windows.userChoose(f.UpdateNotifications1);
  EXPECT_FALSE(f.UpdateNotifications1.checked());
  EXPECT_EQ(
      h.registry.text(platform::RegistryRoot::CurrentUser, web::kUpdateStoreKey, L"ShowUpdate"),
      L"0");
  // The main menu's item stays disabled and hidden for the whole run.
  EXPECT_FALSE(f.MenuItem4.enabled());
  EXPECT_FALSE(f.MenuItem4.visible());
}

TEST(UpdateCheck, TheItemStaysDisabledWhileTheCheckRuns) {
  AppHarness h;
  TAppForm& f = h.start();
  h.windows.userChoose(f.UpdateNotifications1);
  EXPECT_TRUE(f.UpdateNotifications1.checked());
  EXPECT_FALSE(
      h.registry.text(platform::RegistryRoot::CurrentUser, web::kUpdateStoreKey, L"ShowUpdate"));
}

TEST(Identity, RegionalSettingsChangesRefreshTheLocale) {
  AppHarness h;
  h.localeInfo.thread = 0x0407;
  TAppForm& f = h.start();
  EXPECT_EQ(web::DefaultLocaleId(), 0x0407u);
  h.localeInfo.userDefault = 0x040C;
  f.OnSettingChange(L"Windows");
  EXPECT_EQ(web::DefaultLocaleId(), 0x0407u);
  f.OnSettingChange(L"intl");
  EXPECT_EQ(web::DefaultLocaleId(), 0x040Cu);
  h.localeInfo.userDefault = 0x0409;
  f.OnTaskbarCreated();
  EXPECT_EQ(web::DefaultLocaleId(), 0x0409u);
}

}  // namespace
}  // namespace hv::app
