#pragma once
// The texts of the boxes that tell of a large step of the clock: the
// server's time, how far it lies from the computer's clock, and what was
// or would be done. Every part passes through Translate.
#include <string>
#include <string_view>

#include "time/datetime.h"

namespace hv::app {

// "20 days", or "16 h 5 min" below two days.
std::wstring StepSizeText(double stepSeconds);

// serverTime is the shown server time in the display format.
std::wstring StepWithheldText(std::wstring_view serverTime, double stepSeconds);
std::wstring StepQuestionText(std::wstring_view serverTime, double stepSeconds);

// The pattern with %1 and %2 replaced, in one pass: what goes in is never
// read as a pattern itself.
std::wstring FillIn(std::wstring_view pattern, std::wstring_view first,
                    std::wstring_view second = {});

}  // namespace hv::app
