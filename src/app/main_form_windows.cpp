// The main window's commands that open the secondary windows, and the
// language window that start-up creates and never shows.
#include "app/main_form_windows.h"

#include "about/about_box.h"
#include "app/main_form.h"
#include "i18n/translate_form.h"
#include "web/feedback_form.h"

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
  i18n::TTranslateForm window(platform_,
                              [this](const std::wstring& name) { SetLanguageFile(name); });
  window.showModal();
}

void TAppForm::SendFeedback1Click() {
  web::TFeedbackForm window(platform_);
  window.showModal();
}

void TAppForm::About1Click() {
  about::TAboutBox window(platform_);
  window.showModal();
}

std::unique_ptr<i18n::TTranslateForm> CreateHiddenLanguageWindow(TAppForm& main) {
  return std::make_unique<i18n::TTranslateForm>(
      main.platform(), [&main](const std::wstring& name) { main.SetLanguageFile(name); });
}

}  // namespace hv::app
