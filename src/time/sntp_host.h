#pragma once
// Host names the client reads without a look-up.
#include <optional>
#include <string_view>

#include "platform/udp.h"

namespace hv::time::sntp {

// "LOCALHOST" in any letter case, exactly four dot-separated decimal numbers
// of 0 to 255, or an IPv6 address in hex groups, bare or in brackets
// ("::1", "[2001:db8::1]"); anything else is for the resolver.
std::optional<platform::IpAddress> AddressWithoutLookup(std::wstring_view host);

}  // namespace hv::time::sntp
