#pragma once
// Windows Sockets 2 behind the TCP boundary.
#include "platform/tcp.h"

namespace hv::platform {

class Win32TcpNetwork : public TcpNetwork {
 public:
  Win32TcpNetwork();
  ~Win32TcpNetwork() override;
  Win32TcpNetwork(const Win32TcpNetwork&) = delete;
  Win32TcpNetwork& operator=(const Win32TcpNetwork&) = delete;
  Connected connect(const IpAddress& address, std::uint16_t port, Deadline until) override;

 private:
  int startup_;
};

}  // namespace hv::platform
