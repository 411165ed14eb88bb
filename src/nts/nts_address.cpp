#include "nts/nts_address.h"

namespace hv::nts {
namespace {

constexpr std::wstring_view kScheme = L"nts://";

bool StartsWithScheme(std::wstring_view s) {
  if (s.size() < kScheme.size()) return false;
  for (std::size_t i = 0; i < kScheme.size(); ++i) {
    const wchar_t c =
        s[i] >= L'A' && s[i] <= L'Z' ? static_cast<wchar_t>(s[i] - L'A' + L'a') : s[i];
    if (c != kScheme[i]) return false;
  }
  return true;
}

}  // namespace

bool IsNtsServer(std::wstring_view server) {
  return StartsWithScheme(server);
}

std::optional<NtsAddress> ParseNtsAddress(std::wstring_view server) {
  if (!StartsWithScheme(server)) return std::nullopt;
  std::wstring_view rest = server.substr(kScheme.size());
  if (!rest.empty() && rest.back() == L'/') rest.remove_suffix(1);
  NtsAddress a;
  std::size_t hostEnd = rest.size();
  if (rest.starts_with(L'[')) {
    const std::size_t close = rest.find(L']');
    if (close == std::wstring_view::npos) return std::nullopt;
    hostEnd = close + 1;
    if (hostEnd < rest.size() && rest[hostEnd] != L':') return std::nullopt;
  } else if (const std::size_t colon = rest.find(L':'); colon != std::wstring_view::npos) {
    hostEnd = colon;
  }
  a.host = std::wstring(rest.substr(0, hostEnd));
  if (a.host.empty() || a.host == L"[]" || a.host.find_first_of(L"/@ ") != std::wstring::npos)
    return std::nullopt;
  if (hostEnd < rest.size()) {
    const std::wstring_view digits = rest.substr(hostEnd + 1);
    if (digits.empty() || digits.size() > 5) return std::nullopt;
    std::uint32_t port = 0;
    for (const wchar_t c : digits) {
      if (c < L'0' || c > L'9') return std::nullopt;
      port = port * 10 + static_cast<std::uint32_t>(c - L'0');
    }
    if (port == 0 || port > 65535) return std::nullopt;
    a.port = static_cast<std::uint16_t>(port);
  }
  return a;
}

}  // namespace hv::nts
