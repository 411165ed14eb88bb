#pragma once
// TFeedbackForm: the feedback window. The user rates the program, writes a
// text and may leave an e-mail address; Send posts it to the maker and says
// whether it arrived.
#include <string>

#include "base/identity.h"
#include "feedback/feedback_form_layout.h"
#include "ui/form.h"
#include "ui/window_system.h"
#include "web/feedback_request.h"

namespace hv::platform {
class Http;
}

namespace hv::feedback {

// What the window uses of the platform, and the identity it sends.
struct FeedbackServices {
  ui::WindowSystem& windows;
  platform::Http& http;
  const Identity& identity;
};

class TFeedbackForm : public ui::Form {
 public:
  explicit TFeedbackForm(FeedbackServices services);

  ui::Panel& Panel4 =
      bind(ui::RowOf<ui::Panel>(kFeedbackControls, "Panel4"), &TFeedbackForm::Image1Click);
  ui::Label& Image1 =
      bind(ui::RowOf<ui::Label>(kFeedbackControls, "Image1"), &TFeedbackForm::Image1Click);
  ui::Panel& Panel5 =
      bind(ui::RowOf<ui::Panel>(kFeedbackControls, "Panel5"), &TFeedbackForm::Image2Click);
  ui::Label& Image2 =
      bind(ui::RowOf<ui::Label>(kFeedbackControls, "Image2"), &TFeedbackForm::Image2Click);
  ui::Label& Label1 = control(ui::RowOf<ui::Label>(kFeedbackControls, "Label1"));
  ui::Label& Label2 = control(ui::RowOf<ui::Label>(kFeedbackControls, "Label2"));
  ui::Memo& Memo1 = control(ui::RowOf<ui::Memo>(kFeedbackControls, "Memo1"));
  ui::Label& Label3 = control(ui::RowOf<ui::Label>(kFeedbackControls, "Label3"));
  ui::Edit& Edit1 = control(ui::RowOf<ui::Edit>(kFeedbackControls, "Edit1"));
  ui::Button& BitBtn1 =
      bind(ui::RowOf<ui::Button>(kFeedbackControls, "BitBtn1"), &TFeedbackForm::BitBtn1Click);

  void FormCreate() override;
  void Image1Click();
  void Image2Click();
  void BitBtn1Click();
  // Escape (virtual key 27) in the Send button, the e-mail field or the text.
  void EscapeKeyDown(unsigned key);

  web::FeedbackChoice choice() const { return choice_; }

 private:
  void showLook(ui::Panel& panel, bool selected);
  void message(const std::wstring& title, const std::wstring& text, ui::MessageIcon icon);

  FeedbackServices services_;
  ui::WindowSystem& windows_;
  web::FeedbackChoice choice_ = web::FeedbackChoice::None;
};

}  // namespace hv::feedback
