#pragma once
// The host's sockets for the native build, with errno turned into Windows
// Sockets numbers so the same client code and texts run on both.
#include "platform/udp.h"

namespace hv::platform {

class PosixNetwork : public Network {
 public:
  Resolved resolve(const std::wstring& host) override;
  Opened openUdp(IpFamily family) override;
  WaitedAny waitAnyReadable(std::span<UdpSocket* const> sockets, Deadline until) override;
};

// errno as the nearest Windows Sockets number.
int WsaFromErrno(int error);

}  // namespace hv::platform
