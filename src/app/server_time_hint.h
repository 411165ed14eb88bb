#pragma once
// The server time display's tooltip: how good the last accepted answer was,
// so the user sees without a console what Windows' own time service shows
// in its stripchart. "Offset +3.215 s · round trip 12 ms · stratum 2 ·
// 162.159.200.1", or "Offset +3 s (web, whole seconds)" for the maker's host.
#include <string>
#include <string_view>

#include "time/answer_figures.h"

namespace hv::app {

// In the user's language, with their decimal separator. An answer that NTS
// authenticated says so after the server's name and address.
std::wstring ServerTimeHint(const time::AnswerFigures& figures, std::wstring_view decimalSeparator);

// Why an NTS server gave no time, from the client's few words: one of a
// handful of reasons a person can act on, in their language.
std::wstring NtsFailureHint(std::string_view why);

}  // namespace hv::app
