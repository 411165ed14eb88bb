// The main window's commands for the language, feedback and About windows,
// and the language window that start-up creates hidden.
#include <gtest/gtest.h>

#include "app/identity.h"
#include "feedback/feedback_form.h"
#include "i18n/translate_form.h"
#include "support/app_harness.h"

namespace hv::app {
namespace {

using test::AppHarness;

TEST(MainFormWindows, EachMenuItemOpensItsWindowModallyAndAnewEachTime) {
  AppHarness h;
  TAppForm& f = h.start();
  std::vector<std::string> opened;
  std::vector<std::wstring> captions;
  h.windows.onModal = [&](ui::Form& w) {
    opened.emplace_back(w.design().name);
    captions.push_back(w.caption());
    EXPECT_TRUE(w.visible());
    EXPECT_TRUE(w.inModalLoop());
  };
  for (ui::MenuItem* item :
       {&f.Language1, &f.Language2, &f.SendFeedback1, &f.SendFeedback2, &f.About1, &f.About2})
    h.windows.userChoose(*item);
  EXPECT_EQ(opened, (std::vector<std::string>{"TranslateForm", "TranslateForm", "FeedbackForm",
                                              "FeedbackForm", "AboutBox", "AboutBox"}));
  EXPECT_EQ(captions[0], L"Language");
  EXPECT_EQ(captions[2], L"Horvane feedback");
  EXPECT_EQ(captions[4], L"About Horvane");
  EXPECT_TRUE(h.windows.shownBoxes.empty());
}

TEST(MainFormWindows, FeedbackWindowStartsEmptyAtEveryOpening) {
  AppHarness h;
  TAppForm& f = h.start();
  std::vector<std::wstring> seen;
  h.windows.onModal = [&](ui::Form& w) {
    auto& feedback = dynamic_cast<feedback::TFeedbackForm&>(w);
    seen.push_back(feedback.Memo1.text());
    feedback.Memo1.setTextFromUser(L"typed at this opening");
    feedback.Panel4.click();
  };
  h.windows.userChoose(f.SendFeedback2);
  h.windows.userChoose(f.SendFeedback1);
  EXPECT_EQ(seen, (std::vector<std::wstring>{L"", L""}));
}

TEST(MainFormWindows, ConfirmedLanguageFromTheMenuIsStoredAndEndsTheRun) {
  AppHarness h;
  h.files.addFolder(L"C:\\Tools\\Languages");
  h.files.addFile(L"C:\\Tools\\Languages\\German.lang.txt", "{Language}Sprache\r\n");
  h.files.addFolder(L"C:\\Users\\me\\AppData\\Roaming");
  TAppForm& f = h.start();
  h.windows.onModal = [&](ui::Form& w) {
    auto& language = dynamic_cast<i18n::TTranslateForm&>(w);
    language.ComboBox1.selectFromUser(1);  // German
    h.windows.boxAnswers.push_back(ui::ModalResult::Yes);
    language.BitBtn1.click();
  };
  h.windows.userChoose(f.Language2);
  EXPECT_EQ(h.stored(L"LanguageFile"), L"German.lang.txt");
  EXPECT_TRUE(h.windows.terminated());
  EXPECT_TRUE(h.files.fileExists(L"C:\\Users\\me\\AppData\\Roaming\\CALVION\\Horvane\\start.bat"));
}

TEST(MainFormWindows, StartUpCreatesTheLanguageWindowHiddenBeforeTheLoop) {
  AppHarness h;
  h.files.addFolder(L"C:\\Tools\\Languages");
  h.files.addFile(L"C:\\Tools\\Languages\\German.lang.txt", "{OK}OK\r\n");
  h.setting(L"LanguageFile", L"German.lang.txt");
  std::wstring atLoop;
  int modals = 0;
  h.windows.onModal = [&](ui::Form&) { ++modals; };
  // The first work the loop runs ends it.
  h.windows.post([&] {
    atLoop = i18n::LanguageAtOpen();
    h.windows.terminate();
  });
  EXPECT_EQ(RunApplication(h.platform), 0);
  EXPECT_EQ(atLoop, L"German");
  EXPECT_EQ(modals, 0);
  EXPECT_EQ(h.shell.mutexes, std::vector<std::wstring>{L"CALVION_Horvane"});
}

}  // namespace
}  // namespace hv::app
