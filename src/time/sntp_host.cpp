#include "time/sntp_host.h"

namespace hv::time::sntp {
namespace {

bool isLocalhost(std::wstring_view host) {
  constexpr std::wstring_view kName = L"LOCALHOST";
  if (host.size() != kName.size()) return false;
  for (std::size_t i = 0; i < host.size(); ++i) {
    wchar_t c = host[i];
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    if (c != kName[i]) return false;
  }
  return true;
}

// One to three digits per part keeps "0001" and friends for the resolver,
// whose reading of them (octal, say) this client does not second-guess.
std::optional<platform::Ipv4Address> dottedQuad(std::wstring_view host) {
  std::uint32_t value = 0;
  std::size_t pos = 0;
  for (int part = 0; part < 4; ++part) {
    if (part > 0) {
      if (pos >= host.size() || host[pos] != L'.') return std::nullopt;
      ++pos;
    }
    std::uint32_t number = 0;
    std::size_t digits = 0;
    while (pos < host.size() && host[pos] >= L'0' && host[pos] <= L'9' && digits < 4) {
      number = number * 10 + static_cast<std::uint32_t>(host[pos] - L'0');
      ++pos;
      ++digits;
    }
    if (digits == 0 || digits > 3 || number > 255) return std::nullopt;
    value = value << 8 | number;
  }
  if (pos != host.size()) return std::nullopt;
  return platform::Ipv4Address{value};
}

}  // namespace

std::optional<platform::Ipv4Address> addressWithoutLookup(std::wstring_view host) {
  if (isLocalhost(host)) return platform::kLoopback;
  return dottedQuad(host);
}

}  // namespace hv::time::sntp
