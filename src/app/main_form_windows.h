#pragma once
// The language window that exists, hidden, from start-up to the end.
#include <memory>

namespace hv::i18n {
class TTranslateForm;
}

namespace hv::app {

class TAppForm;

std::unique_ptr<i18n::TTranslateForm> CreateHiddenLanguageWindow(TAppForm& main);

}  // namespace hv::app
