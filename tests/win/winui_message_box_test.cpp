// Message boxes as a user sees them: captions, buttons and the default.
#include <thread>

#include "winui_test_fixture.h"
#include "winui_test_forms.h"

namespace hv::platform::win32::winui::uitest {
namespace {

struct SeenBox {
  std::wstring caption;
  std::vector<std::wstring> buttons;
  std::wstring defaultButton;  // the one Enter presses
};

// Finds the box by its caption from another thread, reads its buttons and
// presses the first one.
std::thread AnswerFirstButton(const std::wstring& caption, SeenBox& seen) {
  return std::thread([caption, &seen] {
    for (int i = 0; i < 300; ++i) {
      HWND box = FindWindowW(L"#32770", caption.c_str());
      if (box && IsWindowVisible(box)) {
        seen.caption = TextOf(box);
        HWND first = nullptr;
        for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
          if (_wcsicmp(ClassOf(c).c_str(), L"Button") != 0 || !IsWindowVisible(c)) continue;
          seen.buttons.push_back(TextOf(c));
          if ((GetWindowLongPtrW(c, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            seen.defaultButton = TextOf(c);
          if (!first) first = c;
        }
        if (first) PostMessageW(first, BM_CLICK, 0, 0);
        return;
      }
      Sleep(20);
    }
  });
}

TEST_F(WindowSystemTest, MessageBoxesCarryTheGivenButtonCaptions) {
  Form& form = open(kDialog);
  hv::ui::MessageBoxRequest ask;
  ask.text = L"Restart Application?";
  ask.caption = L"Onay";
  ask.icon = hv::ui::MessageIcon::Question;
  ask.buttons = hv::ui::MessageButtons::YesNo;
  ask.buttonCaptions = {L"Evet", L"Hay\u0131r"};
  SeenBox seen;
  auto answer = AnswerFirstButton(ask.caption, seen);
  const auto result = ws.messageBox(&form, ask);
  answer.join();
  EXPECT_EQ(result, hv::ui::ModalResult::Yes);
  EXPECT_EQ(seen.caption, L"Onay");
  EXPECT_EQ(seen.buttons, (std::vector<std::wstring>{L"Evet", L"Hay\u0131r"}));
  EXPECT_EQ(seen.defaultButton, L"Evet");

  // A question whose safe answer is No makes No the default.
  ask.defaultButton = 1;
  SeenBox seenNo;
  auto answerNo = AnswerFirstButton(ask.caption, seenNo);
  ws.messageBox(&form, ask);
  answerNo.join();
  EXPECT_EQ(seenNo.defaultButton, L"Hay\u0131r");

  // Without captions the box keeps the standard ones.
  hv::ui::MessageBoxRequest plain;
  plain.text = L"Server Error!";
  plain.caption = L"ERROR";
  plain.icon = hv::ui::MessageIcon::Error;
  SeenBox seenPlain;
  auto answerPlain = AnswerFirstButton(plain.caption, seenPlain);
  EXPECT_EQ(ws.messageBox(nullptr, plain), hv::ui::ModalResult::OK);
  answerPlain.join();
  ASSERT_EQ(seenPlain.buttons.size(), 1u);
  EXPECT_NE(seenPlain.buttons[0].find(L"OK"), std::wstring::npos);
}

}  // namespace
}  // namespace hv::platform::win32::winui::uitest
