#include "feedback/feedback_form.h"

#include "base/error.h"
#include "feedback/feedback_form_layout.h"
#include "i18n/catalogue.h"
#include "ui/window_system.h"
#include "web/email_pattern.h"
#include "web/post_form.h"

namespace hv::feedback {
namespace {

using web::FeedbackChoice;

constexpr unsigned kEscape = 27;
// Two sentences of a message are joined by two carriage returns.
constexpr wchar_t kSentenceBreak[] = L"\r\r";

}  // namespace

TFeedbackForm::TFeedbackForm(FeedbackServices services)
    : ui::Form(services.windows, FeedbackFormSpec()),
      services_(services),
      windows_(services.windows) {
  for (ui::Control* c : {static_cast<ui::Control*>(&BitBtn1), static_cast<ui::Control*>(&Edit1),
                         static_cast<ui::Control*>(&Memo1)})
    c->OnKeyDown = [this](unsigned key) { EscapeKeyDown(key); };
  showLook(Panel4, false);
  showLook(Panel5, false);
}

void TFeedbackForm::FormCreate() {
  using i18n::Translate;
  setCaption(services_.identity.productName + L" " + Translate(L"feedback"));
  Label1.setText(Translate(L"We would really appreciate your feedback."));
  Label2.setText(Translate(L"What did you like or dislike?"));
  Label3.setText(Translate(L"Include my e-mail:"));
  BitBtn1.setText(Translate(L"Send"));
  Panel4.setText(Translate(web::kLikeText));
  Panel5.setText(Translate(web::kDislikeText));
}

void TFeedbackForm::showLook(ui::Panel& panel, bool selected) {
  using ui::SystemColour;
  panel.setBackColour(
      windows_.systemColour(selected ? SystemColour::Highlight : SystemColour::ButtonFace));
  panel.setFontColour(
      windows_.systemColour(selected ? SystemColour::HighlightText : SystemColour::WindowText));
  panel.setLowered(selected);
}

// Once an option is chosen the user may switch, but not go back to none.
void TFeedbackForm::Image1Click() {
  if (choice_ == FeedbackChoice::Like) return;
  choice_ = FeedbackChoice::Like;
  showLook(Panel4, true);
  showLook(Panel5, false);
}

void TFeedbackForm::Image2Click() {
  if (choice_ == FeedbackChoice::Dislike) return;
  choice_ = FeedbackChoice::Dislike;
  showLook(Panel5, true);
  showLook(Panel4, false);
}

void TFeedbackForm::EscapeKeyDown(unsigned key) {
  if (key == kEscape) close();
}

void TFeedbackForm::message(const std::wstring& title, const std::wstring& text,
                            ui::MessageIcon icon) {
  ui::MessageBoxRequest box;
  box.caption = title;
  box.text = text;
  box.icon = icon;
  windows_.messageBox(this, box);
}

void TFeedbackForm::BitBtn1Click() {
  using i18n::Translate;
  const std::wstring text = web::FeedbackText(choice_, Panel4.text(), Panel5.text(), Memo1.text());
  if (text.empty()) {
    windows_.beep();
    return;
  }
  const std::wstring email = i18n::TrimText(Edit1.text());
  if (!email.empty() && !web::IsValidEmail(email)) {
    message(Translate(L"Failure"), Translate(L"Invalid e-mail address!"), ui::MessageIcon::Error);
    return;
  }
  const auto& id = services_.identity;
  const auto fields = web::FeedbackFields(id.appTitle, id.appVersion, text, email);
  bool received = false;
  try {
    // An answer over HTTPS is final, whatever it says; plain HTTP is tried
    // only when the secure attempt raised.
    const auto answer = web::PostSecureFirst(
        services_.http, web::FeedbackEndpoint(HORVANE_MAKER_HOST), fields, web::FormUse::Feedback);
    received = web::FeedbackReceived(answer.text);
  } catch (const Error&) {
    // Both attempts failed: reported below as a failed delivery.
  }
  if (received) {
    message(Translate(L"Success"),
            Translate(L"Your feedback is received.") + kSentenceBreak + Translate(L"Thank you!"),
            ui::MessageIcon::Information);
    setModalResult(ui::ModalResult::OK);
    close();
    return;
  }
  message(Translate(L"Failure"),
          Translate(L"Something went wrong. Your feedback could not be delivered.") +
              kSentenceBreak + Translate(L"Please try again later."),
          ui::MessageIcon::Error);
}

}  // namespace hv::feedback
