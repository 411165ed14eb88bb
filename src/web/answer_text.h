#pragma once
// Turning an answer body into text by the character set its "Content-Type"
// names.
#include <optional>
#include <string>
#include <string_view>

namespace hv::web {

// The charset parameter of a Content-Type value, in lower case and without
// quotes; nullopt when it names none.
std::optional<std::string> CharsetOf(std::wstring_view contentType);

enum class CharsetDefault { Utf8, OneBytePerChar };

// The body decoded by the named character set; a set that is not named, or
// that this decoder does not know, falls back to fallback. One leading
// byte-order mark is dropped.
std::wstring DecodeAnswer(std::string_view body, std::wstring_view contentType,
                          CharsetDefault fallback);

}  // namespace hv::web
