#pragma once
// Whole numbers read from stored or received text.
#include <cstdint>
#include <optional>
#include <string_view>

namespace hv::web {

// An optional sign, then decimal digits, or "$" or "0x" and hexadecimal
// digits; nothing else, not even blanks. nullopt beyond 32 signed bits.
std::optional<std::int32_t> ParseInt32(std::wstring_view text);

}  // namespace hv::web
