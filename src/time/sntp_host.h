#pragma once
// Host names the client reads without a look-up.
#include <optional>
#include <string_view>

#include "platform/udp.h"

namespace hv::time::sntp {

// "LOCALHOST" in any letter case, or exactly four dot-separated decimal
// numbers of 0 to 255; anything else is for the resolver.
std::optional<platform::Ipv4Address> addressWithoutLookup(std::wstring_view host);

}  // namespace hv::time::sntp
