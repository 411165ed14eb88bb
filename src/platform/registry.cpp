#include "platform/registry.h"

namespace hv::platform {
namespace {

void PutUnit(std::vector<std::uint8_t>& out, std::uint32_t u) {
  out.push_back(static_cast<std::uint8_t>(u & 0xFF));
  out.push_back(static_cast<std::uint8_t>((u >> 8) & 0xFF));
}

}  // namespace

RegistryValue StringValue(const std::wstring& text) {
  // The registry keeps text as UTF-16 little-endian with a terminating NUL,
  // whatever the width of wchar_t here.
  RegistryValue v;
  v.type = reg::kString;
  for (wchar_t c : text) {
    const auto cp = static_cast<std::uint32_t>(c);
    if (cp > 0xFFFF) {
      PutUnit(v.data, 0xD800 + ((cp - 0x10000) >> 10));
      PutUnit(v.data, 0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      PutUnit(v.data, cp);
    }
  }
  PutUnit(v.data, 0);
  return v;
}

std::wstring StringOf(const RegistryValue& value) {
  std::wstring text;
  const auto& d = value.data;
  for (std::size_t i = 0; i + 1 < d.size(); i += 2) {
    std::uint32_t u = d[i] | (static_cast<std::uint32_t>(d[i + 1]) << 8);
    if (u == 0) break;
    if constexpr (sizeof(wchar_t) == 4) {
      if (u >= 0xD800 && u < 0xDC00 && i + 3 < d.size()) {
        const std::uint32_t lo = d[i + 2] | (static_cast<std::uint32_t>(d[i + 3]) << 8);
        if (lo >= 0xDC00 && lo < 0xE000) {
          u = 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00);
          i += 2;
        }
      }
    }
    text.push_back(static_cast<wchar_t>(u));
  }
  return text;
}

}  // namespace hv::platform
