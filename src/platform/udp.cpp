#include "platform/udp.h"

#include <algorithm>

namespace hv::platform {

std::wstring Ipv6Address::text() const {
  std::array<unsigned, 8> groups{};
  for (std::size_t i = 0; i < 8; ++i) groups[i] = bytes[2 * i] << 8 | bytes[2 * i + 1];
  // The longest run of two or more zero groups, the first of equals, is "::".
  std::size_t runStart = 8, runLength = 0;
  for (std::size_t i = 0; i < 8;) {
    if (groups[i] != 0) {
      ++i;
      continue;
    }
    std::size_t j = i;
    while (j < 8 && groups[j] == 0) ++j;
    if (j - i > runLength && j - i >= 2) {
      runStart = i;
      runLength = j - i;
    }
    i = j;
  }
  static constexpr wchar_t kHex[] = L"0123456789abcdef";
  std::wstring text;
  for (std::size_t i = 0; i < 8; ++i) {
    if (i == runStart) {
      text += L"::";
      i += runLength - 1;
      continue;
    }
    if (!text.empty() && text.back() != L':') text += L':';
    bool digits = false;
    for (int shift = 12; shift >= 0; shift -= 4) {
      const unsigned nibble = groups[i] >> shift & 0xF;
      if (nibble == 0 && !digits && shift > 0) continue;
      digits = true;
      text += kHex[nibble];
    }
  }
  return text;
}

IpAddress WithoutIpv4Mapping(const Ipv6Address& a) {
  const auto& b = a.bytes;
  const bool mapped =
      std::all_of(b.begin(), b.begin() + 10, [](std::uint8_t x) { return x == 0; }) &&
      b[10] == 0xFF && b[11] == 0xFF;
  if (!mapped) return a;
  return Ipv4Address::fromOctets(b[12], b[13], b[14], b[15]);
}

bool IsAsciiName(std::wstring_view host) {
  return std::all_of(host.begin(), host.end(),
                     [](wchar_t c) { return static_cast<std::uint32_t>(c) <= 0x7F; });
}

Resolved OrderedAddresses(std::vector<IpAddress> v4, const std::vector<IpAddress>& v6) {
  v4.insert(v4.end(), v6.begin(), v6.end());
  Resolved r;
  for (const IpAddress& a : v4) {
    if (r.addresses.size() == kMostAddresses) break;
    if (std::find(r.addresses.begin(), r.addresses.end(), a) == r.addresses.end()) {
      r.addresses.push_back(a);
    }
  }
  if (r.addresses.empty()) r.error = wsa::kHostNotFound;
  return r;
}

WaitedAny Network::waitAnyReadable(std::span<UdpSocket* const> sockets, Deadline until) {
  if (sockets.empty()) return {wsa::kInvalidArgument, Readiness::TimedOut, 0};
  if (sockets.size() == 1) {
    const Waited w = sockets[0]->waitReadable(until);
    return {w.error, w.readiness, 0};
  }
  for (;;) {
    for (std::size_t i = 0; i < sockets.size(); ++i) {
      const Waited w = sockets[i]->waitReadable(Deadline::after(until.clock(), 1));
      if (w.error != 0 || w.readiness == Readiness::Readable) return {w.error, w.readiness, i};
    }
    if (until.passed()) return {0, Readiness::TimedOut, 0};
  }
}

}  // namespace hv::platform
