#include "platform/posix/socket_address.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <algorithm>

namespace hv::platform::posix {

socklen_t SocketAddress(const IpAddress& address, std::uint16_t port, sockaddr_storage& out) {
  out = {};
  if (address.family == IpFamily::V4) {
    auto& sa = reinterpret_cast<sockaddr_in&>(out);
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    sa.sin_addr.s_addr = htonl(address.v4.value);
    return sizeof sa;
  }
  auto& sa = reinterpret_cast<sockaddr_in6&>(out);
  sa.sin6_family = AF_INET6;
  sa.sin6_port = htons(port);
  std::copy(address.v6.bytes.begin(), address.v6.bytes.end(), sa.sin6_addr.s6_addr);
  return sizeof sa;
}

}  // namespace hv::platform::posix
