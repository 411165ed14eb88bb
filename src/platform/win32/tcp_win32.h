#pragma once
// Windows Sockets 2 behind the TCP boundary.
#include "platform/tcp.h"

namespace hv::platform {

class Win32TcpNetwork : public TcpNetwork {
 public:
  Connected connect(const IpAddress& address, std::uint16_t port, Deadline until) override;
};

}  // namespace hv::platform
