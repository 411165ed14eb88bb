#pragma once
// The host's sockets for the native build, with errno turned into Windows
// Sockets numbers so the same client code and texts run on both.
#include "platform/udp.h"

namespace hv::platform {

class PosixNetwork : public Network {
 public:
  Resolved resolveIpv4(const std::wstring& host) override;
  Opened openUdp() override;
};

// errno as the nearest Windows Sockets number.
int wsaFromErrno(int error);

}  // namespace hv::platform
