// The language window, headless on fakes: the list, the translators box, the
// OK rules and the restart script.
#include "i18n/translate_form.h"

#include <gtest/gtest.h>

#include "app/identity.h"
#include "app/main_form_windows.h"
#include "base/utf8.h"
#include "i18n/catalogue.h"
#include "i18n/translate_form_layout.h"
#include "support/app_harness.h"
#include "support/fake_locale.h"
#include "support/new_run.h"

namespace hv::i18n {
namespace {

using test::AppHarness;

constexpr wchar_t kFolder[] = L"C:\\Tools\\Languages";
constexpr wchar_t kScriptFolder[] = L"C:\\Users\\me\\AppData\\Roaming\\CALVION\\Horvane";

struct LanguageWindow : ::testing::Test {
  LanguageWindow() {
    app::SetIdentity({L"CALVION", L"Horvane", L"CALVION - Horvane", L"2.2"});
    h.files.addFolder(L"C:\\Users\\me\\AppData\\Roaming");
  }
  void languages() {
    h.files.addFolder(kFolder);
    h.files.addFile(std::wstring(kFolder) + L"\\Turkish.lang.txt",
                    "{INFO:Translated By}Ay\xC5\x9F"
                    "e\r\n{OK}Tamam\r\n");
    h.files.addFile(std::wstring(kFolder) + L"\\German.lang.txt",
                    "\xEF\xBB\xBF{INFO:Translated By} Anna Schmidt ,J\xC3\xB6rg Weber,\tLi \r\n"
                    "{Language}Sprache\r\n{User Interface Language:}Sprache:\r\n"
                    "{Translated by:}\xC3\x9C"
                    "bersetzt von:\r\n{OK}OK\r\n{Cancel}Abbrechen\r\n"
                    "{Contribute Translation}Mithelfen\r\n{Restart Application?}Neu starten?\r\n"
                    "{Confirmation}Best\xC3\xA4tigung\r\n{Yes}Ja\r\n{No}Nein\r\n");
    h.files.addFile(std::wstring(kFolder) + L"\\French.lang.txt", "{OK}D'accord\r\n");
    h.files.addFile(std::wstring(kFolder) + L"\\Polish.LANG.TXT", "{OK}Dobrze\r\n");
  }
  void load(const std::wstring& file) { LoadLanguage(h.files, h.locale, h.files.exePath, file); }
  TTranslateForm& open() {
    form =
        ui::MakeForm<TTranslateForm>(app::TranslateServicesOf(h.platform),
                                     [this](const std::wstring& name) { stored.push_back(name); });
    return *form;
  }

  AppHarness h;
  std::vector<std::wstring> stored;
  ui::FormPtr<TTranslateForm> form;
};

TEST(LookUpEntry, FollowsTheLookupRuleButKeepsAnEmptyValue) {
  const std::vector<std::wstring> lines = {L" {OK}Space", L"{Ok}Wrong case", L"{OK}", L"{OK}Second",
                                           L"{Key}} value }"};
  EXPECT_EQ(LookUpEntry(L"OK", lines), L"");
  EXPECT_EQ(LookUpEntry(L"Key", lines), L"} value }");
  EXPECT_EQ(LookUpEntry(L"Missing", lines), L"Missing");
  EXPECT_EQ(LookUpEntry(L"INFO:Translated By", {}), L"INFO:Translated By");
}

TEST(TranslatorLines, OneTrimmedNamePerComma) {
  EXPECT_EQ(TranslatorLines(L" Anna ,Bo,\tCy \r"),
            (std::vector<std::wstring>{L"Anna", L"Bo", L"Cy"}));
  EXPECT_EQ(TranslatorLines(L"a,,b,"), (std::vector<std::wstring>{L"a", L"", L"b", L""}));
  EXPECT_EQ(TranslatorLines(L"Solo"), std::vector<std::wstring>{L"Solo"});
  EXPECT_TRUE(TranslatorLines(L"").empty());
}

TEST(RestartScript, WritesThePathsAsCmdReadsThemOrNotAtAll) {
  const std::string wait =
      "@ECHO OFF\r\n\"C:\\Windows\\System32\\PING.EXE\" 192.0.2.2 -n 1 -w 1000 > nul\r\n";
  struct Row {
    std::wstring exe;
    std::optional<std::string> script;
  };
  const Row rows[] = {
      {L"C:\\Program Files\\Horvane\\horvane.exe",
       wait + "\"C:\\Program Files\\Horvane\\horvane.exe\"\r\n"},
      // cmd would expand a variable between two "%".
      {L"C:\\100% %USERNAME%\\horvane.exe", wait + "\"C:\\100%% %%USERNAME%%\\horvane.exe\"\r\n"},
      {L"C:\\a&b^c!\\horvane.exe", wait + "\"C:\\a&b^c!\\horvane.exe\"\r\n"},
      {L"C:\\Zeitger\u00e4te\\horvane.exe", wait + "\"C:\\Zeitger\xE4te\\horvane.exe\"\r\n"},
      // Best fit would write "&" and a quote for these: a command of the
      // folder's name.
      {L"C:\\x\uFF06calc\\horvane.exe", std::nullopt},
      {L"C:\\x\uFF02 \uFF06calc \uFF06\uFF02\\horvane.exe", std::nullopt},
      {L"C:\\x\"\\horvane.exe", std::nullopt},
      {L"C:\\x\r\ncalc\\horvane.exe", std::nullopt},
      {L"", std::nullopt},
  };
  test::FakeLocale oem;
  for (const auto& row : rows) {
    SCOPED_TRACE(ToUtf8(row.exe));
    EXPECT_EQ(RestartScriptBytes(oem, row.exe, L"C:\\Windows\\System32"), row.script);
  }
  EXPECT_EQ(RestartScriptBytes(oem, L"C:\\h.exe", L""), std::nullopt);
}

TEST(RestartScript, RunsThroughSystemCmdInTheSystemFolder) {
  constexpr wchar_t kSystem[] = L"C:\\Windows\\System32";
  struct Row {
    std::wstring script, parameters;
  };
  const Row rows[] = {
      {L"C:\\Users\\me\\start.bat", L"/d /v:off /s /c \"\"C:\\Users\\me\\start.bat\"\""},
      {L"D:\\A & B (x)\\start.bat", L"/d /v:off /s /c \"\"D:\\A & B (x)\\start.bat\"\""},
      // cmd's command line can't keep a "%" from being expanded.
      {L"C:\\Users\\%x%\\start.bat", L""},
      {L"C:\\Users\\\"\\start.bat", L""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(ToUtf8(row.script));
    const auto command = RestartCommandFor(row.script, kSystem);
    if (row.parameters.empty()) {
      EXPECT_FALSE(command);
      continue;
    }
    ASSERT_TRUE(command);
    EXPECT_EQ(command->program, L"C:\\Windows\\System32\\cmd.exe");
    EXPECT_EQ(command->parameters, row.parameters);
    EXPECT_EQ(command->directory, kSystem);
  }
}

TEST_F(LanguageWindow, WithoutLanguagesOnlyEnglishByTheMaker) {
  load(L"");
  TTranslateForm& f = open();
  EXPECT_EQ(f.caption(), L"Language");
  EXPECT_EQ(f.ComboBox1.items(), std::vector<std::wstring>{L"English"});
  EXPECT_EQ(f.ComboBox1.itemIndex(), 0);
  EXPECT_EQ(f.RichEdit1.lines(), std::vector<std::wstring>{L"Calvion"});
  EXPECT_EQ(LanguageAtOpen(), L"English");
}

TEST_F(LanguageWindow, ListsTheFilesSortedAroundEnglishAndSelectsTheLoadedOne) {
  languages();
  load(L"German.lang.txt");
  TTranslateForm& f = open();
  // Polish.LANG.TXT has no ".lang.txt" in exact case, so it offers nothing.
  EXPECT_EQ(f.ComboBox1.items(),
            (std::vector<std::wstring>{L"English", L"French", L"German", L"Turkish"}));
  EXPECT_EQ(f.ComboBox1.text(), L"German");
  EXPECT_EQ(LanguageAtOpen(), L"German");
  EXPECT_EQ(f.RichEdit1.lines(),
            (std::vector<std::wstring>{L"Anna Schmidt", L"J\u00f6rg Weber", L"Li"}));
  EXPECT_EQ(f.caption(), L"Sprache");
}

TEST_F(LanguageWindow, TranslatorsBoxFollowsTheSelection) {
  languages();
  load(L"");
  TTranslateForm& f = open();
  auto choose = [&](const wchar_t* name) {
    const auto& items = f.ComboBox1.items();
    const int i = static_cast<int>(std::find(items.begin(), items.end(), name) - items.begin());
    h.windows.dispatch([&] { f.ComboBox1.selectFromUser(i); });
  };
  choose(L"Turkish");
  EXPECT_EQ(f.RichEdit1.lines(), std::vector<std::wstring>{L"Ay\u015fe"});
  // No translator entry: the key itself shows.
  choose(L"French");
  EXPECT_EQ(f.RichEdit1.lines(), std::vector<std::wstring>{L"INFO:Translated By"});
  // An entry with nothing after the brace leaves the box empty.
  h.files.addFile(std::wstring(kFolder) + L"\\French.lang.txt", "{INFO:Translated By}\r\n");
  choose(L"Turkish");
  choose(L"French");
  EXPECT_TRUE(f.RichEdit1.lines().empty());
  EXPECT_EQ(f.RichEdit1.text(), L"");
  // A file that can no longer be read leaves it empty too, without a message.
  h.files.unreadable.insert(std::wstring(kFolder) + L"\\Turkish.lang.txt");
  choose(L"Turkish");
  EXPECT_TRUE(f.RichEdit1.lines().empty());
  choose(L"English");
  EXPECT_EQ(f.RichEdit1.lines(), std::vector<std::wstring>{L"Calvion"});
  EXPECT_TRUE(h.windows.shownBoxes.empty());
}

TEST_F(LanguageWindow, OkWithTheSameSelectionClosesAndStoresNothing) {
  languages();
  load(L"German.lang.txt");
  TTranslateForm& f = open();
  h.windows.userClick(f.BitBtn1);
  EXPECT_EQ(f.modalResult(), ui::ModalResult::Cancel);
  EXPECT_TRUE(stored.empty());
  EXPECT_TRUE(h.windows.shownBoxes.empty());
  EXPECT_FALSE(h.windows.terminated());
}

TEST_F(LanguageWindow, NoInTheQuestionKeepsTheWindowOpenAndStoresNothing) {
  languages();
  load(L"German.lang.txt");
  TTranslateForm& f = open();
  h.windows.dispatch([&] { f.ComboBox1.selectFromUser(0); });  // English
  h.windows.boxAnswers.push_back(ui::ModalResult::No);
  h.windows.userClick(f.BitBtn1);
  ASSERT_EQ(h.windows.shownBoxes.size(), 1u);
  const auto& box = h.windows.shownBoxes[0];
  EXPECT_EQ(box.text, L"Neu starten?");
  EXPECT_EQ(box.caption, L"Best\u00e4tigung");
  EXPECT_EQ(box.icon, ui::MessageIcon::Question);
  EXPECT_EQ(box.buttons, ui::MessageButtons::YesNo);
  EXPECT_EQ(box.buttonCaptions, (std::vector<std::wstring>{L"Ja", L"Nein"}));
  EXPECT_EQ(f.modalResult(), ui::ModalResult::None);
  EXPECT_TRUE(stored.empty());
  EXPECT_FALSE(h.files.fileExists(std::wstring(kScriptFolder) + L"\\start.bat"));
  h.windows.userClick(f.BitBtn2);
  EXPECT_EQ(f.modalResult(), ui::ModalResult::Cancel);
  EXPECT_TRUE(stored.empty());
}

TEST_F(LanguageWindow, ConfirmedChangeStoresWritesTheScriptRunsItAndEnds) {
  languages();
  load(L"German.lang.txt");
  h.files.exePath = L"C:\\Zeitger\u00e4te\\horvane.exe";
  TTranslateForm& f = open();
  h.windows.dispatch([&] { f.ComboBox1.selectFromUser(0); });  // English
  h.windows.boxAnswers.push_back(ui::ModalResult::Yes);
  h.windows.userClick(f.BitBtn1);
  EXPECT_EQ(stored, std::vector<std::wstring>{L"English.lang.txt"});
  // Whatever SettingsFolder is, the script goes to the roaming folder, in
  // the OEM code page, and System32's cmd runs it there.
  const std::wstring script = std::wstring(kScriptFolder) + L"\\start.bat";
  EXPECT_EQ(h.files.contents(script),
            RestartScriptBytes(h.locale, h.files.exePath, h.files.system));
  EXPECT_TRUE(h.shell.opened.empty());
  ASSERT_EQ(h.shell.ran.size(), 1u);
  const auto command = RestartCommandFor(script, h.files.system);
  EXPECT_EQ(h.shell.ran[0].file, command->program);
  EXPECT_EQ(h.shell.ran[0].parameters, command->parameters);
  EXPECT_EQ(h.shell.ran[0].directory, h.files.system);
  EXPECT_EQ(h.shell.ran[0].show, platform::ShowCommand::Hide);
  EXPECT_TRUE(h.windows.terminated());
  EXPECT_GE(h.windows.processMessagesCalls, 3);
  EXPECT_TRUE(h.windows.shownBoxes.size() == 1u);
}

TEST_F(LanguageWindow, ConfirmationGoesThroughTheMainWindowsSetting) {
  languages();
  h.setting(L"LanguageFile", L"German.lang.txt");
  app::TAppForm& main = h.start();
  auto f = ui::MakeForm<TTranslateForm>(app::TranslateServicesOf(h.platform),
                                        [&](const std::wstring& n) { main.SetLanguageFile(n); });
  h.windows.dispatch([&] { f->ComboBox1.selectFromUser(1); });  // French
  h.windows.boxAnswers.push_back(ui::ModalResult::Yes);
  h.windows.userClick(f->BitBtn1);
  EXPECT_EQ(h.stored(L"LanguageFile"), L"French.lang.txt");
}

TEST_F(LanguageWindow, ScriptThatCannotBeWrittenIsReportedAfterTheSettingIsStored) {
  languages();
  load(L"");
  h.files.addFolder(kScriptFolder);
  h.files.addFolder(std::wstring(kScriptFolder) + L"\\start.bat");  // a folder in its way
  TTranslateForm& f = open();
  h.windows.dispatch([&] { f.ComboBox1.selectFromUser(2); });  // German
  h.windows.boxAnswers.push_back(ui::ModalResult::Yes);
  h.windows.userClick(f.BitBtn1);
  EXPECT_EQ(stored, std::vector<std::wstring>{L"German.lang.txt"});
  ASSERT_EQ(h.windows.shownBoxes.size(), 2u);
  EXPECT_EQ(h.windows.shownBoxes[1].caption, L"Horvane");
  EXPECT_EQ(h.windows.shownBoxes[1].icon, ui::MessageIcon::Error);
  EXPECT_NE(h.windows.shownBoxes[1].text.find(L"start.bat"), std::wstring::npos);
  EXPECT_TRUE(h.shell.ran.empty());
  EXPECT_FALSE(h.windows.terminated());
}

TEST_F(LanguageWindow, APathTheScriptCannotHoldKeepsTheChoiceForTheNextStart) {
  languages();
  load(L"German.lang.txt");
  h.files.exePath = L"C:\\Users\\me\\Downloads\\\uFF06calc\\horvane.exe";
  TTranslateForm& f = open();
  h.windows.dispatch([&] { f.ComboBox1.selectFromUser(1); });  // French
  h.windows.boxAnswers.push_back(ui::ModalResult::Yes);
  h.windows.userClick(f.BitBtn1);
  EXPECT_EQ(stored, std::vector<std::wstring>{L"French.lang.txt"});
  ASSERT_EQ(h.windows.shownBoxes.size(), 2u);
  EXPECT_EQ(h.windows.shownBoxes[1].text,
            L"The program cannot restart itself from this folder.\r\r"
            L"The new language takes effect the next time it starts.");
  EXPECT_EQ(h.windows.shownBoxes[1].caption, L"Horvane");
  EXPECT_EQ(h.windows.shownBoxes[1].icon, ui::MessageIcon::Warning);
  EXPECT_FALSE(h.files.fileExists(std::wstring(kScriptFolder) + L"\\start.bat"));
  EXPECT_TRUE(h.shell.ran.empty());
  EXPECT_FALSE(h.windows.terminated());
  EXPECT_EQ(f.modalResult(), ui::ModalResult::OK);
}

TEST_F(LanguageWindow, EachCreationOverwritesLanguageAtOpen) {
  languages();
  load(L"Turkish.lang.txt");
  auto hidden = ui::MakeForm<TTranslateForm>(app::TranslateServicesOf(h.platform),
                                             [](const std::wstring&) {});
  EXPECT_EQ(LanguageAtOpen(), L"Turkish");
  test::BeginNewRun();
  auto later = ui::MakeForm<TTranslateForm>(app::TranslateServicesOf(h.platform),
                                            [](const std::wstring&) {});
  EXPECT_EQ(LanguageAtOpen(), L"English");
}

TEST_F(LanguageWindow, ContributionLinkOpensTheMakersPageHidden) {
  load(L"");
  TTranslateForm& f = open();
  h.windows.userClick(f.Label3);
  ASSERT_EQ(h.shell.opened.size(), 1u);
  EXPECT_EQ(h.shell.opened[0].file, ContributionAddress(HORVANE_MAKER_HOST));
  EXPECT_EQ(h.shell.opened[0].show, platform::ShowCommand::Hide);
  EXPECT_TRUE(h.shell.opened[0].asUser);
  EXPECT_EQ(ContributionAddress(L"example.org"),
            L"https://example.org/blog/multilingual-software/");
  EXPECT_EQ(f.modalResult(), ui::ModalResult::None);
}

}  // namespace
}  // namespace hv::i18n
