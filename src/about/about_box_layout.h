#pragma once
// The About window's layout at 96 DPI.
#include "ui/form.h"

namespace hv::about {

const ui::FormSpec& AboutBoxSpec();

inline constexpr int kLogoWidth = 344;
inline constexpr int kLogoHeight = 105;

}  // namespace hv::about
