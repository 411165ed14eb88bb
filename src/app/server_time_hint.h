#pragma once
// The server time display's tooltip: how good the last accepted answer was,
// so the user sees without a console what Windows' own time service shows
// in its stripchart. "Offset +3.215 s · round trip 12 ms · stratum 2 ·
// 162.159.200.1", or "Offset +3 s (web, whole seconds)" for the maker's host.
#include <string>
#include <string_view>

namespace hv::app {

struct AnswerFigures {
  enum class Source { Sntp, Web };
  Source source = Source::Sntp;
  double offsetSeconds = 0;  // how far the server is ahead of this computer
  // SNTP only.
  double delaySeconds = 0;
  int stratum = 0;
  std::wstring server;   // the address that answered
  bool reliable = true;  // a round trip below zero or beyond the wait is not
};

// In the user's language, with their decimal separator.
std::wstring ServerTimeHint(const AnswerFigures& figures, std::wstring_view decimalSeparator);

}  // namespace hv::app
