#pragma once
// Windows Sockets 2 behind the UDP boundary. The library is started once per
// process, by the first Win32Network made, and stays up until the process ends.
#include <optional>
#include <string>

#include "platform/udp.h"

namespace hv::platform {

class Win32Network : public Network {
 public:
  Win32Network();
  Resolved resolve(const std::wstring& host) override;
  Opened openUdp(IpFamily family) override;
  WaitedAny waitAnyReadable(std::span<UdpSocket* const> sockets, Deadline until) override;

 private:
  // What WSAStartup answered; every call fails with it when it is not 0.
  int startup_;
};

// host in the ASCII form a resolver takes: names outside ASCII through IDNA
// ("bücher.example" is "xn--bcher-kva.example"); nullopt when IDNA refuses it.
std::optional<std::wstring> AsciiHostName(const std::wstring& host);

}  // namespace hv::platform
