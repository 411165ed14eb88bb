#pragma once
// A server written "nts://host" or "nts://host:port" in the server box: read
// with NTS, its key exchange on port 4460 unless another is named.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace hv::nts {

struct NtsAddress {
  std::wstring host;  // an IPv6 address keeps its brackets
  std::uint16_t port = 4460;
  friend bool operator==(const NtsAddress&, const NtsAddress&) = default;
};

// nullopt for anything without the scheme (a plain SNTP server), and for a
// written NTS server that names no host or a port outside 1 to 65535: such a
// server is refused, never asked without NTS.
bool IsNtsServer(std::wstring_view server);
std::optional<NtsAddress> ParseNtsAddress(std::wstring_view server);

}  // namespace hv::nts
