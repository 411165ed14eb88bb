#include "platform/win32/tcp_win32.h"

#include <algorithm>
#include <utility>

#include "platform/win32/winsock.h"

namespace hv::platform {
namespace {

using win32::SocketAddress;
using win32::SocketHandle;

// 0 when the socket is ready, kTimedOut when until came first, else the
// error. A failed connect shows in the exception set.
int AwaitReady(SOCKET s, bool write, Deadline until) {
  for (;;) {
    timeval limit{};
    timeval* wait = nullptr;
    if (until.limited()) {
      const std::int64_t left = until.leftMs();
      if (left <= 0) return kTimedOut;
      limit.tv_sec = static_cast<long>(left / 1000);
      limit.tv_usec = static_cast<long>(left % 1000 * 1000);
      wait = &limit;
    }
    fd_set ready;
    fd_set failed;
    FD_ZERO(&ready);
    FD_ZERO(&failed);
    FD_SET(s, &ready);
    FD_SET(s, &failed);
    const int n = select(0, write ? nullptr : &ready, write ? &ready : nullptr, &failed, wait);
    if (n == SOCKET_ERROR && WSAGetLastError() != WSAEINTR) return WSAGetLastError();
    if (n > 0 && FD_ISSET(s, &failed)) {
      int error = 0;
      int size = sizeof error;
      getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size);
      return error != 0 ? error : wsa::kConnectionRefused;
    }
    if (n > 0) return 0;
  }
}

class Win32TcpStream : public TcpStream {
 public:
  explicit Win32TcpStream(SocketHandle s) : s_(std::move(s)) {}

  int sendAll(std::span<const std::uint8_t> bytes, Deadline until) override {
    while (!bytes.empty()) {
      if (const int e = AwaitReady(s_.get(), true, until)) return e;
      const int n = send(s_.get(), reinterpret_cast<const char*>(bytes.data()),
                         static_cast<int>(std::min<std::size_t>(bytes.size(), 1 << 16)), 0);
      if (n == SOCKET_ERROR) {
        if (WSAGetLastError() == WSAEWOULDBLOCK) continue;
        return WSAGetLastError();
      }
      bytes = bytes.subspan(static_cast<std::size_t>(n));
    }
    return 0;
  }

  Read receive(std::span<std::uint8_t> buffer, Deadline until) override {
    for (;;) {
      if (const int e = AwaitReady(s_.get(), false, until)) return {e, 0};
      const int n = recv(s_.get(), reinterpret_cast<char*>(buffer.data()),
                         static_cast<int>(std::min<std::size_t>(buffer.size(), 1 << 16)), 0);
      if (n >= 0) return {0, static_cast<std::size_t>(n)};
      if (WSAGetLastError() != WSAEWOULDBLOCK) return {WSAGetLastError(), 0};
    }
  }

 private:
  SocketHandle s_;
};

}  // namespace

Connected Win32TcpNetwork::connect(const IpAddress& address, std::uint16_t port, Deadline until) {
  if (const int startup = win32::StartWinsock(); startup != 0) return {startup, nullptr};
  SocketHandle s(WSASocketW(address.family == IpFamily::V4 ? AF_INET : AF_INET6, SOCK_STREAM,
                            IPPROTO_TCP, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT));
  if (!s) return {WSAGetLastError(), nullptr};
  u_long nonBlocking = 1;
  if (ioctlsocket(s.get(), FIONBIO, &nonBlocking) != 0) return {WSAGetLastError(), nullptr};
  SOCKADDR_STORAGE sa;
  const int length = SocketAddress(address, port, sa);
  if (::connect(s.get(), reinterpret_cast<const sockaddr*>(&sa), length) != 0) {
    if (WSAGetLastError() != WSAEWOULDBLOCK) return {WSAGetLastError(), nullptr};
    if (const int e = AwaitReady(s.get(), true, until)) return {e, nullptr};
  }
  return {0, std::make_unique<Win32TcpStream>(std::move(s))};
}

}  // namespace hv::platform
