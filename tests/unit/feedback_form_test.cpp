// The feedback window, headless: the text it builds, the fields it posts,
// when it counts as delivered, and what the user sees.
#include "feedback/feedback_form.h"

#include <gtest/gtest.h>

#include "app/identity.h"
#include "app/main_form_windows.h"
#include "feedback/feedback_form_layout.h"
#include "i18n/catalogue.h"
#include "support/app_harness.h"

namespace hv::feedback {
namespace {

using web::FeedbackChoice;
using web::FeedbackEndpoint;
using web::FeedbackFields;
using web::FeedbackReceived;
using web::FeedbackText;

TEST(FeedbackText, EnglishChoiceThenItsTranslationThenTheTrimmedText) {
  EXPECT_EQ(FeedbackText(FeedbackChoice::Like, L"I like it!", L"I dislike it!", L"  Nice\r\n"),
            L"I like it!\rNice");
  EXPECT_EQ(FeedbackText(FeedbackChoice::Dislike, L"I like it!", L"I dislike it!", L""),
            L"I dislike it!\r");
  EXPECT_EQ(
      FeedbackText(FeedbackChoice::Like, L"Gef\u00e4llt mir!", L"Gef\u00e4llt mir nicht!", L"x"),
      L"I like it! (Gef\u00e4llt mir!)\rx");
  EXPECT_EQ(FeedbackText(FeedbackChoice::Dislike, L"Gef\u00e4llt mir!", L"Gef\u00e4llt mir nicht!",
                         L"\t\r\nLine one\r\n\r\nLine two \x01"),
            L"I dislike it! (Gef\u00e4llt mir nicht!)\rLine one\r\n\r\nLine two");
  EXPECT_EQ(FeedbackText(FeedbackChoice::None, L"a", L"b", L" \r\n\t "), L"");
  EXPECT_EQ(FeedbackText(FeedbackChoice::None, L"a", L"b", L" typed "), L"typed");
}

TEST(FeedbackFields, InWireOrderWithTheAddressOnlyWhenGiven) {
  EXPECT_EQ(FeedbackFields(L"CALVION - Horvane", L"2.2", L"I like it!\r", L""),
            (std::vector<std::wstring>{L"cmd=feedback", L"appname=CALVION - Horvane",
                                       L"version=2.2", L"feedback=I like it!\r"}));
  EXPECT_EQ(FeedbackFields(L"T", L"1.0", L"a=b", L"me@example.com"),
            (std::vector<std::wstring>{L"cmd=feedback", L"appname=T", L"version=1.0",
                                       L"feedback=a=b", L"email=me@example.com"}));
  EXPECT_EQ(FeedbackEndpoint(L"127.0.0.1:18080"), L"127.0.0.1:18080/php/feedback.php");
}

TEST(FeedbackReceived, OnlyAnAnswerThatIsExactlyOkOnceTrimmed) {
  for (const wchar_t* yes : {L"OK", L"OK\r\n", L"\r\n\r\n  OK \r\n\r\n", L"\tOK\n", L"\rOK\r"})
    EXPECT_TRUE(FeedbackReceived(yes)) << yes;
  for (const wchar_t* no : {L"", L"ok", L"Ok", L"OK.", L"O K", L"OK\r\nmore", L"ERROR",
                            L"<html>OK</html>", L"\x00a0OK"})
    EXPECT_FALSE(FeedbackReceived(no)) << no;
}

struct FeedbackWindow : ::testing::Test {
  FeedbackWindow() {
    app::SetIdentity({L"CALVION", L"Horvane", L"CALVION - Horvane", L"2.2"});
    answer("OK");
  }

  // The maker's answer over HTTPS.
  void answer(std::string body) {
    h.http.clear();
    h.http.answer(kHttps, std::move(body));
  }
  TFeedbackForm& open() {
    form = ui::MakeForm<TFeedbackForm>(app::FeedbackServicesOf(h.platform));
    form->OnClose = [this] { ++closes; };
    return *form;
  }
  void type(TFeedbackForm& f, const std::wstring& text, const std::wstring& email) {
    f.Memo1.setTextFromUser(text);
    f.Edit1.setTextFromUser(email);
  }
  const ui::MessageBoxRequest& onlyBox() {
    EXPECT_EQ(h.windows.shownBoxes.size(), 1u);
    return h.windows.shownBoxes.back();
  }
  std::vector<std::string> bodies() const {
    std::vector<std::string> out;
    for (const auto& s : h.http.sent) out.push_back(s.request.body);
    return out;
  }

  const std::wstring kHttps = L"https://" + FeedbackEndpoint(HORVANE_MAKER_HOST);
  const std::wstring kHttp = L"http://" + FeedbackEndpoint(HORVANE_MAKER_HOST);
  test::AppHarness h;
  ui::FormPtr<TFeedbackForm> form;
  int closes = 0;
};

TEST_F(FeedbackWindow, OpensEmptyWithNothingChosen) {
  TFeedbackForm& f = open();
  EXPECT_EQ(f.caption(), L"Horvane feedback");
  EXPECT_EQ(f.choice(), FeedbackChoice::None);
  EXPECT_FALSE(f.Panel4.lowered());
  EXPECT_FALSE(f.Panel5.lowered());
}

TEST_F(FeedbackWindow, NothingToSayOnlyBeeps) {
  TFeedbackForm& f = open();
  type(f, L"  \r\n ", L"not an address");
  h.windows.userClick(f.BitBtn1);
  EXPECT_EQ(h.windows.beeps, 1);
  EXPECT_TRUE(h.windows.shownBoxes.empty());
  EXPECT_TRUE(h.http.sent.empty());
}

TEST_F(FeedbackWindow, ChoosingSwitchesBetweenOptionsButNeverBackToNone) {
  TFeedbackForm& f = open();
  auto& ws = h.windows;
  const auto highlight = ws.systemColour(ui::SystemColour::Highlight);
  const auto face = ws.systemColour(ui::SystemColour::ButtonFace);
  ws.userClick(f.Image1);
  EXPECT_EQ(f.choice(), FeedbackChoice::Like);
  EXPECT_TRUE(f.Panel4.lowered());
  EXPECT_EQ(f.Panel4.backColour(), highlight);
  EXPECT_EQ(f.Panel4.fontColour(), ws.systemColour(ui::SystemColour::HighlightText));
  EXPECT_FALSE(f.Panel5.lowered());
  EXPECT_EQ(f.Panel5.backColour(), face);
  ws.userClick(f.Panel4);  // the selected one again: no change
  EXPECT_EQ(f.choice(), FeedbackChoice::Like);
  EXPECT_TRUE(f.Panel4.lowered());
  ws.userClick(f.Panel5);
  EXPECT_EQ(f.choice(), FeedbackChoice::Dislike);
  EXPECT_TRUE(f.Panel5.lowered());
  EXPECT_EQ(f.Panel5.backColour(), highlight);
  EXPECT_FALSE(f.Panel4.lowered());
  EXPECT_EQ(f.Panel4.backColour(), face);
  EXPECT_EQ(f.Panel4.fontColour(), ws.systemColour(ui::SystemColour::WindowText));
  ws.userClick(f.Image1);
  EXPECT_EQ(f.choice(), FeedbackChoice::Like);
}

TEST_F(FeedbackWindow, OptionWithoutTextSendsTheOptionLineAndNoAddress) {
  TFeedbackForm& f = open();
  h.windows.userClick(f.Panel4);
  type(f, L"", L"   ");
  h.windows.userClick(f.BitBtn1);
  ASSERT_EQ(h.http.sent.size(), 1u);
  const auto& sent = h.http.sent[0];
  EXPECT_EQ(sent.request.url, kHttps);
  EXPECT_EQ(sent.request.body,
            "cmd=feedback&appname=CALVION+-+Horvane&version=2.2&feedback=I+like+it%21%0D");
  // The feedback use: 3000 ms and "Connection: close".
  EXPECT_EQ(sent.request.timeoutMs, 3000u);
  EXPECT_EQ(sent.header(L"Connection"), L"close");
  const auto& box = onlyBox();
  EXPECT_EQ(box.caption, L"Success");
  EXPECT_EQ(box.text, L"Your feedback is received.\r\rThank you!");
  EXPECT_EQ(box.icon, ui::MessageIcon::Information);
  EXPECT_EQ(box.buttons, ui::MessageButtons::OK);
  EXPECT_EQ(f.modalResult(), ui::ModalResult::OK);
}

TEST_F(FeedbackWindow, AddressIsTrimmedCheckedAndSentTrimmed) {
  TFeedbackForm& f = open();
  type(f, L"Works well", L"  me.too+x@mail.example.org \t");
  h.windows.userClick(f.BitBtn1);
  EXPECT_EQ(bodies(), std::vector<std::string>{
                          "cmd=feedback&appname=CALVION+-+Horvane&version=2.2&feedback=Works+well"
                          "&email=me.too%2Bx%40mail.example.org"});
}

TEST_F(FeedbackWindow, InvalidAddressStopsBeforeAnyNetworkAndKeepsEverything) {
  TFeedbackForm& f = open();
  h.windows.userClick(f.Panel5);
  type(f, L"Too slow", L"me@localhost");
  h.windows.userClick(f.BitBtn1);
  EXPECT_TRUE(h.http.sent.empty());
  EXPECT_EQ(h.http.clientsCreated, 0);
  const auto& box = onlyBox();
  EXPECT_EQ(box.caption, L"Failure");
  EXPECT_EQ(box.text, L"Invalid e-mail address!");
  EXPECT_EQ(box.icon, ui::MessageIcon::Error);
  EXPECT_EQ(f.modalResult(), ui::ModalResult::None);
  EXPECT_EQ(f.Memo1.text(), L"Too slow");
  EXPECT_EQ(f.Edit1.text(), L"me@localhost");
  EXPECT_EQ(f.choice(), FeedbackChoice::Dislike);
}

TEST_F(FeedbackWindow, SecureAnswerOtherThanOkIsFinalAndAFailedDelivery) {
  for (const char* reply : {"ok", "OK.", "ERROR: database", ""}) {
    h.windows.shownBoxes.clear();
    answer(reply);
    h.http.answer(kHttp, "OK");  // must not be asked
    TFeedbackForm& f = open();
    h.windows.userClick(f.Panel4);
    type(f, L"Hello", L"a@b.c");
    h.windows.userClick(f.BitBtn1);
    ASSERT_EQ(h.http.sent.size(), 1u) << reply;
    EXPECT_EQ(h.http.sent[0].request.url, kHttps);
    const auto& box = onlyBox();
    EXPECT_EQ(box.caption, L"Failure");
    EXPECT_EQ(box.text,
              L"Something went wrong. Your feedback could not be delivered.\r\r"
              L"Please try again later.");
    EXPECT_EQ(box.icon, ui::MessageIcon::Error);
    EXPECT_EQ(f.modalResult(), ui::ModalResult::None);
    EXPECT_EQ(f.choice(), FeedbackChoice::Like);
    EXPECT_EQ(f.Memo1.text(), L"Hello");
    EXPECT_EQ(f.Edit1.text(), L"a@b.c");
  }
}

TEST_F(FeedbackWindow, FailedSecureAttemptFallsBackToPlainHttp) {
  h.http.clear();
  h.http.fail(kHttps, L"The certificate authority is invalid or incorrect");
  h.http.answer(kHttp, "\r\n  OK  \r\n");
  TFeedbackForm& f = open();
  type(f, L"Hello", L"");
  h.windows.userClick(f.BitBtn1);
  ASSERT_EQ(h.http.sent.size(), 2u);
  EXPECT_EQ(h.http.sent[1].request.url, kHttp);
  EXPECT_EQ(h.http.sent[1].kind, test::FakeHttp::Kind::Plain);
  EXPECT_EQ(h.http.sent[1].request.body, h.http.sent[0].request.body);
  EXPECT_EQ(onlyBox().caption, L"Success");
}

TEST_F(FeedbackWindow, FailureOfBothAttemptsIsReportedNotRaisedAndSendWorksAgain) {
  h.http.clear();
  h.http.fail(kHttps, L"refused");
  h.http.answer(kHttp, "Not Found", 404);
  TFeedbackForm& f = open();
  type(f, L"Hello", L"");
  bool escaped = false;
  h.windows.setErrorHandler([&](std::exception_ptr) { escaped = true; });
  h.windows.userClick(f.BitBtn1);
  EXPECT_FALSE(escaped);
  EXPECT_EQ(h.http.sent.size(), 2u);
  EXPECT_EQ(onlyBox().caption, L"Failure");
  EXPECT_EQ(f.modalResult(), ui::ModalResult::None);
  answer("OK");
  h.windows.userClick(f.BitBtn1);
  EXPECT_EQ(h.http.sent.size(), 1u);
  EXPECT_EQ(h.windows.shownBoxes.back().caption, L"Success");
  EXPECT_EQ(h.http.clientsAlive, 0);
}

TEST_F(FeedbackWindow, EscapeInTheThreeControlsCloses) {
  TFeedbackForm& f = open();
  f.Memo1.OnKeyDown(13);
  f.Edit1.OnKeyDown(65);
  EXPECT_EQ(closes, 0);
  f.BitBtn1.OnKeyDown(27);
  f.Edit1.OnKeyDown(27);
  f.Memo1.OnKeyDown(27);
  EXPECT_EQ(closes, 3);
  EXPECT_FALSE(f.Panel4.OnKeyDown);
}

TEST_F(FeedbackWindow, TranslatedInterfaceSendsTheEnglishChoiceWithItsTranslation) {
  h.files.addFolder(L"C:\\Tools\\Languages");
  h.files.addFile(L"C:\\Tools\\Languages\\German.lang.txt",
                  "{feedback}Feedback\r\n{I like it!}Gef\xC3\xA4llt mir!\r\n"
                  "{I dislike it!}Gef\xC3\xA4llt mir nicht!\r\n{Send}Senden\r\n"
                  "{Success}Erfolg\r\n{Your feedback is received.}Angekommen.\r\n"
                  "{Thank you!}Danke!\r\n{Include my e-mail:}Meine E-Mail:\r\n");
  i18n::LoadLanguage(h.files, h.locale, L"C:\\Tools\\horvane.exe", L"German.lang.txt");
  TFeedbackForm& f = open();
  EXPECT_EQ(f.caption(), L"Horvane Feedback");
  EXPECT_EQ(f.Panel4.text(), L"Gef\u00e4llt mir!");
  EXPECT_EQ(f.BitBtn1.text(), L"Senden");
  EXPECT_EQ(f.Label3.text(), L"Meine E-Mail:");
  // Untranslated texts stay English.
  EXPECT_EQ(f.Label2.text(), L"What did you like or dislike?");
  h.windows.userClick(f.Panel5);
  type(f, L"Zu langsam", L"");
  h.windows.userClick(f.BitBtn1);
  EXPECT_EQ(bodies(), std::vector<std::string>{
                          "cmd=feedback&appname=CALVION+-+Horvane&version=2.2&feedback=I+dislike+"
                          "it%21+%28Gef%C3%A4llt+mir+nicht%21%29%0DZu+langsam"});
  EXPECT_EQ(onlyBox().caption, L"Erfolg");
  EXPECT_EQ(onlyBox().text, L"Angekommen.\r\rDanke!");
}

}  // namespace
}  // namespace hv::feedback
