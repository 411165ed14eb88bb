#pragma once
// Windows Sockets 2 behind the UDP boundary. The library is started once per
// process, at the first resolve or socket, and stays up until the process
// ends: a window that only starts does not load it.
#include <optional>
#include <string>

#include "platform/udp.h"

namespace hv::platform {

class Win32Network : public Network {
 public:
  Resolved resolve(const std::wstring& host) override;
  Opened openUdp(IpFamily family) override;
  WaitedAny waitAnyReadable(std::span<UdpSocket* const> sockets, Deadline until) override;
};

// host in the ASCII form a resolver takes: names outside ASCII through IDNA
// ("bücher.example" is "xn--bcher-kva.example"); nullopt when IDNA refuses it.
std::optional<std::wstring> AsciiHostName(const std::wstring& host);

}  // namespace hv::platform
