#pragma once
// The secondary windows' services, taken from the application's platform,
// and the language window that exists, hidden, from start-up to the end.
#include "about/about_box.h"
#include "app/app_platform.h"
#include "feedback/feedback_form.h"
#include "i18n/translate_form.h"
#include "ui/form.h"

namespace hv::app {

class TAppForm;

about::AboutServices AboutServicesOf(AppPlatform& platform);
feedback::FeedbackServices FeedbackServicesOf(AppPlatform& platform);
i18n::TranslateServices TranslateServicesOf(AppPlatform& platform);

ui::FormPtr<i18n::TTranslateForm> CreateHiddenLanguageWindow(TAppForm& main);

}  // namespace hv::app
