#include "time/sntp_host.h"

#include <array>

namespace hv::time::sntp {
namespace {

bool IsLocalhost(std::wstring_view host) {
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
std::optional<platform::Ipv4Address> DottedQuad(std::wstring_view host) {
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

int HexDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

// Groups of one to four hex digits, separated by ':', with at most one "::"
// for a run of zero groups. Forms with a dotted tail or a zone are left to
// the resolver.
std::optional<platform::Ipv6Address> Ipv6Literal(std::wstring_view host) {
  if (host.size() >= 2 && host.front() == L'[' && host.back() == L']') {
    host = host.substr(1, host.size() - 2);
  }
  if (host.find(L':') == std::wstring_view::npos) return std::nullopt;
  std::array<std::uint16_t, 8> groups{};
  std::size_t count = 0;
  std::optional<std::size_t> gap;  // where "::" stands, in groups
  std::size_t pos = 0;
  if (host.substr(0, 2) == L"::") {
    gap = 0;
    pos = 2;
  }
  while (pos < host.size()) {
    std::uint32_t value = 0;
    std::size_t digits = 0;
    for (int d; pos < host.size() && (d = HexDigit(host[pos])) >= 0 && digits < 5; ++pos) {
      value = value << 4 | static_cast<std::uint32_t>(d);
      ++digits;
    }
    if (digits == 0 || digits > 4 || count == 8) return std::nullopt;
    groups[count++] = static_cast<std::uint16_t>(value);
    if (pos == host.size()) break;
    if (host[pos] != L':') return std::nullopt;
    ++pos;
    if (pos < host.size() && host[pos] == L':') {
      if (gap) return std::nullopt;
      gap = count;
      ++pos;
    } else if (pos == host.size()) {
      return std::nullopt;  // a lone ':' at the end
    }
  }
  if (gap ? count > 7 : count != 8) return std::nullopt;
  platform::Ipv6Address a;
  const std::size_t zeros = 8 - count;
  for (std::size_t i = 0, g = 0; i < 8; ++i) {
    std::uint16_t v = 0;
    if (gap && i >= *gap && i < *gap + zeros) {
      v = 0;
    } else {
      v = groups[g++];
    }
    a.bytes[2 * i] = static_cast<std::uint8_t>(v >> 8);
    a.bytes[2 * i + 1] = static_cast<std::uint8_t>(v);
  }
  return a;
}

}  // namespace

std::optional<platform::IpAddress> AddressWithoutLookup(std::wstring_view host) {
  if (IsLocalhost(host)) return platform::kLoopback;
  if (const auto v4 = DottedQuad(host)) return *v4;
  if (const auto v6 = Ipv6Literal(host)) return platform::WithoutIpv4Mapping(*v6);
  return std::nullopt;
}

}  // namespace hv::time::sntp
