#pragma once
// address and port as the system's socket calls take them, for the UDP and
// TCP adapters alike.
#include <sys/socket.h>

#include <cstdint>

#include "platform/udp.h"

namespace hv::platform::posix {

// Returns the length used.
socklen_t SocketAddress(const IpAddress& address, std::uint16_t port, sockaddr_storage& out);

}  // namespace hv::platform::posix
