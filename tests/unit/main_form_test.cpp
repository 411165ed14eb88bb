// The main window's start-up, settings, display tick, tray and menus,
// headless on fakes.
#include <gtest/gtest.h>

#include "app/identity.h"
#include "app/main_form_layout.h"
#include "support/app_harness.h"

namespace hv::app {
namespace {

using test::AppHarness;

TEST(MainFormStart, WithoutSettingsFileKeepsTheDefaultsAndCreatesNothing) {
  AppHarness h;
  TAppForm& f = h.start();
  EXPECT_EQ(f.caption(), L"CALVION - Horvane");
  EXPECT_EQ(IdentityOf().appVersion, L"2.2");
  EXPECT_EQ(f.ComboBox1.itemIndex(), 0);
  EXPECT_EQ(f.ComboBox1.text(), ServerPresets()[0]);
  EXPECT_EQ(f.ComboBox1.items().size(), 4u);
  EXPECT_FALSE(f.CheckBox1.checked());
  EXPECT_FALSE(f.CheckBox2.checked());
  EXPECT_FALSE(f.BitBtn2.enabled());
  EXPECT_EQ(f.settingsFolder(), L"C:\\Tools\\");
  EXPECT_FALSE(h.profile.hasFile(AppHarness::kSettings));
  EXPECT_EQ(h.profile.writes, 0);
  EXPECT_TRUE(h.windows.shownBoxes.empty());
  // The hotkey: Ctrl+Alt+T under the atom's value.
  ASSERT_EQ(h.shell.atoms, std::vector<std::wstring>{L"HorvaneHotkey1"});
  ASSERT_EQ(h.windows.hotKeys.size(), 1u);
  EXPECT_EQ(h.windows.hotKeys[0].id, h.shell.atomValue);
  EXPECT_EQ(h.windows.hotKeys[0].modifiers, 3u);
  EXPECT_EQ(h.windows.hotKeys[0].key, 0x54u);
  EXPECT_EQ(f.hotkey1(), h.shell.atomValue);
}

TEST(MainFormStart, RestoresStoredChoicesByTheirExactRules) {
  struct Case {
    const wchar_t* daylight;
    const wchar_t* automatic;
    bool daylightTicked, automaticTicked;
  };
  const Case cases[] = {
      {L"1", L"ON", true, true},     {L"0x1", L"OFF", true, false}, {L"2", L"on", false, false},
      {L"yes", L"On", false, false}, {L"0", L"", false, false},     {L" 1 ", L"ON", true, true},
  };
  for (const Case& c : cases) {
    AppHarness h;
    h.setting(L"Server", L"my.own.host");
    h.setting(L"Daylight", c.daylight);
    h.setting(L"AutomaticallySynchronize", c.automatic);
    TAppForm& f = h.start();
    EXPECT_EQ(f.ComboBox1.text(), L"my.own.host") << c.daylight;
    EXPECT_EQ(f.CheckBox1.checked(), c.daylightTicked) << c.daylight;
    EXPECT_EQ(f.CheckBox2.checked(), c.automaticTicked) << c.automatic;
    // Ticking in code runs the click: the value is written back, and the
    // daylight box fetches at once (the host does not resolve here).
    if (c.daylightTicked) {
      EXPECT_EQ(h.stored(L"Daylight"), L"1");
      ASSERT_EQ(h.windows.shownBoxes.size(), 1u) << c.daylight;
      EXPECT_EQ(h.windows.shownBoxes[0].text, L"Server Error!");
    } else {
      EXPECT_TRUE(h.windows.shownBoxes.empty()) << c.daylight;
    }
    if (c.automaticTicked) {
      EXPECT_EQ(h.stored(L"AutomaticallySynchronize"), L"ON");
    }
  }
}

TEST(MainFormStart, UnreadableVersionBlockStopsTheSequenceAndSettingsStayUnwritten) {
  AppHarness h;
  h.versionInfo.sizeError = 1813;
  TAppForm& f = h.start();
  ASSERT_EQ(h.windows.shownBoxes.size(), 1u);
  EXPECT_EQ(h.windows.shownBoxes[0].caption, L"Horvane");
  EXPECT_EQ(h.windows.shownBoxes[0].icon, ui::MessageIcon::Error);
  EXPECT_EQ(h.windows.shownBoxes[0].text,
            L"System Error.  Code: 1813.\r\n"
            L"The specified resource type cannot be found in the image file.");
  EXPECT_TRUE(h.windows.hotKeys.empty());
  EXPECT_EQ(f.settings(), nullptr);

  // With nowhere to keep them, choices change the window and nothing else.
  h.windows.userToggle(f.CheckBox2);
  h.windows.dispatch([&] { f.ComboBox1.editFromUser(L"typed.host"); });
  h.windows.dispatch([&] { f.SetLanguageFile(L"German.lang.txt"); });
  EXPECT_TRUE(f.CheckBox2.checked());
  EXPECT_EQ(h.profile.writes, 0);
  EXPECT_EQ(h.windows.shownBoxes.size(), 1u);
}

TEST(MainFormSettings, EveryChangeIsWrittenAtOnceAndARefusalIsReported) {
  AppHarness h;
  TAppForm& f = h.start();
  h.windows.dispatch([&] { f.ComboBox1.editFromUser(L"a"); });
  EXPECT_EQ(h.stored(L"Server"), L"a");
  h.windows.dispatch([&] { f.ComboBox1.selectFromUser(2); });
  EXPECT_EQ(h.stored(L"Server"), ServerPresets()[2]);
  h.windows.userToggle(f.CheckBox2);
  EXPECT_EQ(h.stored(L"AutomaticallySynchronize"), L"ON");
  h.windows.userToggle(f.CheckBox2);
  EXPECT_EQ(h.stored(L"AutomaticallySynchronize"), L"OFF");
  f.SetLanguageFile(L"French.lang.txt");
  EXPECT_EQ(h.stored(L"LanguageFile"), L"French.lang.txt");

  // A refused write ends the handler: the daylight box does not fetch.
  h.profile.refuseWrites = true;
  const int sent = h.network.queriesSent;
  // Answered at once: the start-up press, due a second later, stays out of it.
  h.windows.boxOpenMs = 0;
  h.windows.userToggle(f.CheckBox1);
  ASSERT_EQ(h.windows.shownBoxes.size(), 1u);
  EXPECT_EQ(h.windows.shownBoxes[0].text, L"Unable to write to C:\\Tools\\settings.ini.");
  EXPECT_EQ(h.windows.shownBoxes[0].caption, L"Horvane");
  EXPECT_EQ(h.network.queriesSent, sent);
}

TEST(MainFormStart, FallsBackToThePerUserFolderWhenTheProgramFolderIsReadOnly) {
  AppHarness h;
  h.files.readOnlyFolders.insert(L"C:\\Tools");
  h.files.addFolder(h.files.roaming);
  h.profile.put(L"C:\\Users\\me\\AppData\\Roaming\\CALVION\\Horvane\\settings.ini", L"Settings",
                L"Server", L"from.roaming");
  TAppForm& f = h.start();
  EXPECT_EQ(f.settingsFolder(), L"C:\\Users\\me\\AppData\\Roaming\\CALVION\\Horvane\\");
  EXPECT_EQ(f.ComboBox1.text(), L"from.roaming");
}

TEST(MainFormLanguage, CaptionsPassThroughTheLoadedLanguage) {
  AppHarness h;
  h.files.addFolder(L"C:\\Tools\\Languages");
  h.files.addFile(L"C:\\Tools\\Languages\\German.lang.txt",
                  "\xEF\xBB\xBF{File}Datei\r\n{Exit}Beenden\r\n{Hotkey:}Tastenk\xC3\xBCrzel:\r\n"
                  "{Get Server Time}Serverzeit abrufen\r\n{Disabled}Deaktiviert\r\n"
                  "{Update Notifications}Update-Hinweise\r\n");
  h.files.addFile(L"C:\\Tools\\Languages\\LanguageCodes.csv", "1031,German.lang.txt\r\n");
  h.locale.uiLanguage = 1031;
  TAppForm& f = h.start();
  EXPECT_EQ(f.File1.caption(), L"Datei");
  EXPECT_EQ(f.Exit1.caption(), L"Beenden");
  EXPECT_EQ(f.Exit2.caption(), L"Beenden");
  EXPECT_EQ(f.BitBtn1.text(), L"Serverzeit abrufen");
  EXPECT_EQ(f.Label7.text(), L"Tastenk\u00fcrzel: CTRL + ALT + T");
  EXPECT_EQ(f.UpdateNotifications1.caption(), L"Update-Hinweise");
  EXPECT_EQ(f.MenuItem4.caption(), L"Update Notifications");
  // Untranslated keys come back as they are, without the accelerators.
  EXPECT_EQ(f.About1.caption(), L"About");
  EXPECT_EQ(f.SendFeedback2.caption(), L"Send Feedback...");
  EXPECT_EQ(f.Label9.text(), L"Server:");
  h.windows.advance(1);
  EXPECT_EQ(f.Edit1.text(), L"Deaktiviert");
}

class DisplayTick : public ::testing::Test {
 protected:
  DisplayTick() {
    h.clock.set(time::EncodeDateTime(2021, 12, 24, 18, 5, 9, 400));
    h.locale.date = L".";
  }
  AppHarness h;
};

TEST_F(DisplayTick, ShowsComputerTimeAndWholeHoursOfTheOffset) {
  struct Case {
    int bias;
    const wchar_t* shown;
  };
  for (const Case& c : {Case{-330, L"GMT +5"}, Case{210, L"GMT -3"}, Case{-180, L"GMT +3"},
                        Case{0, L"GMT +0"}, Case{300, L"GMT -5"}, Case{-30, L"GMT +0"}}) {
    h.clock.setBias(c.bias);  // the local reading stays
    h.clock.zone.daylightBias = -60;
    auto f = ui::MakeForm<TAppForm>(h.platform);
    h.windows.advance(1);  // TimerStart
    EXPECT_EQ(f->Label6.text(), c.shown) << c.bias;
    EXPECT_EQ(f->GmtOffsetHours(), c.bias / -60);
    EXPECT_EQ(f->Label4.text(), L"24.12.2021 18:05:09");
    EXPECT_EQ(f->Edit1.text(), L"Disabled");
    EXPECT_EQ(f->DaylightBiasMinutes(), 0) << "unticked leaves it alone";
    EXPECT_EQ(f->Label2.text(), L"01/01/1990 00:00:00");
  }
}

TEST_F(DisplayTick, DaylightBoxShowsTheZonesDaylightNameAndBias) {
  h.clock.zone.daylightName = L"GMT Daylight Time";
  h.clock.zone.daylightBias = -60;
  TAppForm& f = h.start();
  h.windows.userToggle(f.CheckBox1);
  h.windows.advance(1);
  EXPECT_EQ(f.Edit1.text(), L"GMT Daylight Time (-60)");
  EXPECT_EQ(f.DaylightBiasMinutes(), -60);

  // A name that fills its whole field, and a zone without daylight saving.
  h.clock.zone.daylightName = std::wstring(40, L'N');
  h.clock.zone.daylightBias = 0;
  h.windows.advance(1000);
  EXPECT_EQ(f.Edit1.text(), std::wstring(32, L'N') + L" (0)");
  EXPECT_EQ(f.DaylightBiasMinutes(), 0);

  h.clock.zone.daylightBias = -60;
  h.windows.userToggle(f.CheckBox1);
  h.windows.advance(1000);
  EXPECT_EQ(f.Edit1.text(), L"Disabled");
  EXPECT_EQ(f.DaylightBiasMinutes(), 0) << "kept from the last ticked tick";
}

TEST_F(DisplayTick, TicksOneSecondAfterEachTickEnds) {
  TAppForm& f = h.start();
  h.windows.advance(1);
  h.clock.advance(1000);
  h.windows.advance(998);
  EXPECT_EQ(f.Label4.text(), L"24.12.2021 18:05:09");
  h.windows.advance(2);
  EXPECT_EQ(f.Label4.text(), L"24.12.2021 18:05:10");
  EXPECT_TRUE(f.TimerComputerTime.enabled());
}

TEST(MainFormTray, MinimiseHidesAndTheTrayBringsTheWindowBack) {
  AppHarness h;
  TAppForm& f = h.start();
  f.show();
  h.windows.dispatch([&] { f.OnMinimize(); });
  EXPECT_FALSE(f.visible());
  EXPECT_EQ(f.windowState(), ui::WindowState::Minimized);
  h.windows.dispatch([&] { f.OnTrayClick(); });
  EXPECT_TRUE(f.visible());
  EXPECT_EQ(f.windowState(), ui::WindowState::Normal);
  h.windows.dispatch([&] { f.OnMinimize(); });
  h.windows.userChoose(f.ShowHorvane1);
  EXPECT_TRUE(f.visible());
}

TEST(MainFormTray, OnlyTheExactAutoSwitchStartsHidden) {
  for (const auto& [argument, hidden] : std::vector<std::pair<std::wstring, bool>>{
           {L"/auto", true}, {L"/AUTO", false}, {L"-auto", false}, {L"", false}}) {
    AppHarness h;
    h.shell.argument = argument;
    TAppForm& f = h.start();
    f.show();
    h.windows.advance(1);
    EXPECT_EQ(f.visible(), !hidden) << std::string(argument.begin(), argument.end());
    EXPECT_FALSE(f.TimerMinimize.enabled());
    // Everything else runs as in a normal start.
    EXPECT_NE(f.Label4.text(), L"01/01/1990 00:00:00");
  }
}

TEST(MainFormMenus, HelpExitAndUpdateNotifications) {
  AppHarness h;
  TAppForm& f = h.start();
  h.windows.userChoose(f.Help2);
  ASSERT_EQ(h.shell.opened.size(), 1u);
  EXPECT_EQ(h.shell.opened[0].file, OnlineHelpAddress(MakerHost(), L"Horvane"));
  EXPECT_EQ(h.shell.opened[0].show, platform::ShowCommand::Hide);
  EXPECT_TRUE(h.shell.opened[0].asUser);
  h.shell.failOpen = true;
  h.windows.userChoose(f.Help1);
  EXPECT_TRUE(h.windows.shownBoxes.empty()) << "a failed help page is not reported";

  EXPECT_TRUE(f.UpdateNotifications1.checked());
  h.windows.dispatch([&] { f.MenuItem4.OnClick(); });
  EXPECT_FALSE(f.UpdateNotifications1.checked());
  EXPECT_TRUE(f.MenuItem4.checked()) << "only the tray item carries the choice";

  h.windows.userChoose(f.Exit1);
  EXPECT_TRUE(h.windows.terminated());
  h.form.reset();
  EXPECT_TRUE(h.windows.hotKeys.empty()) << "destroying the window releases the hotkey";
}

TEST(MainFormMenus, CloseBoxEndsTheApplication) {
  AppHarness h;
  TAppForm& f = h.start();
  f.closeFromUser();
  EXPECT_TRUE(h.windows.terminated());
}

TEST(MainFormHelpers, HelpAddressAndOffsetTexts) {
  EXPECT_EQ(OnlineHelpAddress(L"www.calvion.com", L"Horvane"),
            L"http://www.calvion.com/help/horvane/");
  EXPECT_EQ(OnlineHelpAddress(L"h", L"My Big \u00c4pp"), L"http://h/help/my-big-\u00c4pp/");
  EXPECT_EQ(GmtOffsetText(0), L"GMT +0");
  EXPECT_EQ(GmtOffsetText(-11), L"GMT -11");
  EXPECT_EQ(GmtOffsetText(14), L"GMT +14");
}

}  // namespace
}  // namespace hv::app
