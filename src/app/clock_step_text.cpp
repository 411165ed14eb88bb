#include "app/clock_step_text.h"

#include <cmath>

#include "i18n/catalogue.h"

namespace hv::app {
namespace {

using i18n::Translate;

// Two sentences of one message are joined by two carriage returns.
constexpr wchar_t kSentenceBreak[] = L"\r\r";

std::wstring ServerSentence(std::wstring_view serverTime, double stepSeconds) {
  const std::wstring pattern =
      stepSeconds >= 0 ? Translate(L"The server's time is %1, %2 ahead of this computer's clock.")
                       : Translate(L"The server's time is %1, %2 behind this computer's clock.");
  return FillIn(pattern, serverTime, StepSizeText(stepSeconds));
}

}  // namespace

std::wstring FillIn(std::wstring_view pattern, std::wstring_view first, std::wstring_view second) {
  std::wstring out;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == L'%' && i + 1 < pattern.size() &&
        (pattern[i + 1] == L'1' || pattern[i + 1] == L'2')) {
      out += pattern[i + 1] == L'1' ? first : second;
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

std::wstring StepSizeText(double stepSeconds) {
  const long long minutes = std::llround(std::fabs(stepSeconds) / 60.0);
  if (minutes >= 2 * 24 * 60) return FillIn(Translate(L"%1 days"), std::to_wstring(minutes / 1440));
  return FillIn(Translate(L"%1 h %2 min"), std::to_wstring(minutes / 60),
                std::to_wstring(minutes % 60));
}

std::wstring StepWithheldText(std::wstring_view serverTime, double stepSeconds) {
  const std::wstring why =
      Translate(L"The clock was not set: automatic synchronisation moves it 15 hours at most.");
  const std::wstring how = Translate(L"Press %1 to set it by hand.");
  return ServerSentence(serverTime, stepSeconds) + kSentenceBreak + why + L" " +
         FillIn(how, Translate(L"Sync Computer Time"));
}

std::wstring StepQuestionText(std::wstring_view serverTime, double stepSeconds) {
  return ServerSentence(serverTime, stepSeconds) + kSentenceBreak +
         Translate(L"Set the computer's clock to the server's time?");
}

}  // namespace hv::app
