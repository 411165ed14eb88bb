#pragma once
// The language window that exists, hidden, from start-up to the end.
#include "ui/form.h"

namespace hv::i18n {
class TTranslateForm;
}

namespace hv::app {

class TAppForm;

ui::FormPtr<i18n::TTranslateForm> CreateHiddenLanguageWindow(TAppForm& main);

}  // namespace hv::app
