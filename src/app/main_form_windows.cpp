// The main window's commands that open the secondary windows, and the
// language window that start-up creates and never shows.
#include "app/main_form_windows.h"

#include "about/about_box.h"
#include "app/main_form.h"
#include "feedback/feedback_form.h"
#include "i18n/translate_form.h"

namespace hv::app {

void TAppForm::wireWindowEvents() {
  Language1.OnClick = [this] { Language1Click(); };
  Language2.OnClick = [this] { Language1Click(); };
  SendFeedback1.OnClick = [this] { SendFeedback1Click(); };
  SendFeedback2.OnClick = [this] { SendFeedback1Click(); };
  About1.OnClick = [this] { About1Click(); };
  About2.OnClick = [this] { About1Click(); };
}

void TAppForm::Language1Click() {
  ui::makeForm<i18n::TTranslateForm>(platform_, [this](const std::wstring& name) {
    SetLanguageFile(name);
  })->showModal();
}

void TAppForm::SendFeedback1Click() {
  ui::makeForm<feedback::TFeedbackForm>(platform_)->showModal();
}

void TAppForm::About1Click() {
  ui::makeForm<about::TAboutBox>(platform_)->showModal();
}

ui::FormPtr<i18n::TTranslateForm> CreateHiddenLanguageWindow(TAppForm& main) {
  return ui::makeForm<i18n::TTranslateForm>(
      main.platform(), [&main](const std::wstring& name) { main.SetLanguageFile(name); });
}

}  // namespace hv::app
