#pragma once
// A piece of a hostile answer that is about to be shown to the user: short
// enough to read, and without the characters that could hide or reorder
// what the box says around it.
#include <cstddef>
#include <string>
#include <string_view>

namespace hv::web {

inline constexpr std::size_t kAnswerExcerptChars = 120;

// text without control characters and bidirectional marks, overrides and
// isolates; when still longer than kAnswerExcerptChars, cut to that length
// with an ellipsis as its last character.
std::wstring AnswerExcerpt(std::wstring_view text);

}  // namespace hv::web
