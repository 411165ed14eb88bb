#pragma once
// What the UDP and TCP adapters share of Winsock: one start for the
// process, at first use, so the first window never waits for ws2_32.
// winsock2.h brings windows.h in after itself, so the old winsock.h stays out.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdint>

#include "platform/udp.h"
#include "platform/win32/unique_handle.h"

namespace hv::platform::win32 {

// What WSAStartup answered; every socket call fails with it when it is not 0.
int StartWinsock();

struct SocketTraits {
  using Handle = SOCKET;
  static SOCKET empty() { return INVALID_SOCKET; }
  static void free(SOCKET s) { closesocket(s); }
};
using SocketHandle = UniqueHandle<SocketTraits>;

// address and port as Winsock takes them; returns the length used.
int SocketAddress(const IpAddress& address, std::uint16_t port, SOCKADDR_STORAGE& out);

}  // namespace hv::platform::win32
