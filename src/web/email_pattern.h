#pragma once
// The e-mail check of the feedback window.
#include <string>

namespace hv::web {

// The address pattern, matched case-sensitively against the whole text.
inline constexpr char kEmailPattern[] =
    "^[a-zA-Z0-9_.+-]+@[a-zA-Z0-9-]+\\.[a-zA-Z0-9-.]*[a-zA-Z0-9]+$";

// True when the whole of text matches kEmailPattern.
bool IsValidEmail(const std::wstring& text);

}  // namespace hv::web
