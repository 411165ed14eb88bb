// The main window's commands that open the secondary windows, and the
// language window that start-up creates and never shows.
#include "app/main_form_windows.h"

#include "app/identity.h"
#include "app/main_form.h"

namespace hv::app {

about::AboutServices AboutServicesOf(AppPlatform& platform) {
  return {platform.windows, platform.shell, platform.files, IdentityOf()};
}

feedback::FeedbackServices FeedbackServicesOf(AppPlatform& platform) {
  return {platform.windows, platform.http, IdentityOf()};
}

i18n::TranslateServices TranslateServicesOf(AppPlatform& platform) {
  return {platform.windows, platform.files, platform.locale, platform.shell, IdentityOf()};
}

void TAppForm::Language1Click() {
  ui::MakeForm<i18n::TTranslateForm>(TranslateServicesOf(platform_), [this](
                                                                         const std::wstring& name) {
    SetLanguageFile(name);
  })->showModal();
}

void TAppForm::SendFeedback1Click() {
  ui::MakeForm<feedback::TFeedbackForm>(FeedbackServicesOf(platform_))->showModal();
}

void TAppForm::About1Click() {
  ui::MakeForm<about::TAboutBox>(AboutServicesOf(platform_))->showModal();
}

ui::FormPtr<i18n::TTranslateForm> CreateHiddenLanguageWindow(TAppForm& main) {
  return ui::MakeForm<i18n::TTranslateForm>(
      TranslateServicesOf(main.platform()),
      [&main](const std::wstring& name) { main.SetLanguageFile(name); });
}

}  // namespace hv::app
