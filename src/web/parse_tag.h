#pragma once
// Tagged answer lines: "<tag>value</tag>", nothing before or after.
#include <string>
#include <string_view>

namespace hv::web {

// The value between "<tag>" and "</tag>" (tag in lower case, compared
// exactly); empty when the line is not such a line, or line or tag is empty.
std::wstring ParseTag(std::wstring_view line, std::wstring_view tag);

}  // namespace hv::web
