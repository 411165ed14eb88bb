#include "web/integer_text.h"

namespace hv::web {

std::optional<std::int32_t> ParseInt32(std::wstring_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == L'+' || text.front() == L'-')) {
    negative = text.front() == L'-';
    text.remove_prefix(1);
  }
  unsigned base = 10;
  if (text.starts_with(L"$")) {
    base = 16;
    text.remove_prefix(1);
  } else if (text.starts_with(L"0x") || text.starts_with(L"0X")) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return std::nullopt;
  std::int64_t value = 0;
  for (wchar_t c : text) {
    unsigned d;
    if (c >= L'0' && c <= L'9')
      d = static_cast<unsigned>(c - L'0');
    else if (base == 16 && c >= L'a' && c <= L'f')
      d = static_cast<unsigned>(c - L'a' + 10);
    else if (base == 16 && c >= L'A' && c <= L'F')
      d = static_cast<unsigned>(c - L'A' + 10);
    else
      return std::nullopt;
    value = value * base + d;
    if (value > 0x80000000ll) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > 0x7FFFFFFFll || value < -0x80000000ll) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

}  // namespace hv::web
