#pragma once
// The language window's layout at 96 DPI.
#include "ui/form.h"

namespace hv::i18n {

const ui::FormSpec& TranslateFormSpec();

}  // namespace hv::i18n
