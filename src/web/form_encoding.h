#pragma once
// The body of a form post: name=value pairs joined by "&", each side sent as
// UTF-8 with everything but letters, digits and "*-._" escaped.
#include <string>
#include <string_view>
#include <vector>

namespace hv::web {

// Text as UTF-8 bytes; a lone surrogate becomes U+FFFD.
std::string EncodeUtf8(std::wstring_view text);

// One name or value: ASCII letters, digits and "*", "-", ".", "_" as they
// are, a space as "+", every other byte as "%" and two upper-case hex digits.
std::string EncodeFormComponent(std::wstring_view text);

// Each field is split at its first "=": the name before it, the value after
// it (which may hold "=" itself, or be empty). A field without "=" is a name
// with an empty value.
std::string EncodeFormBody(const std::vector<std::wstring>& fields);

}  // namespace hv::web
