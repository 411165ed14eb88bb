#pragma once
// The host's TCP streams for the native build.
#include "platform/tcp.h"

namespace hv::platform {

class PosixTcpNetwork : public TcpNetwork {
 public:
  Connected connect(const IpAddress& address, std::uint16_t port, Deadline until) override;
};

}  // namespace hv::platform
