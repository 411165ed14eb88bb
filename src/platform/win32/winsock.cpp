#include "platform/win32/winsock.h"

#include <algorithm>

namespace hv::platform::win32 {
namespace {

// WSAStartup once for the process; WSACleanup when the process ends.
class WinsockLibrary {
 public:
  WinsockLibrary() {
    WSADATA data{};
    error_ = WSAStartup(MAKEWORD(2, 2), &data);
  }
  WinsockLibrary(const WinsockLibrary&) = delete;
  WinsockLibrary& operator=(const WinsockLibrary&) = delete;
  ~WinsockLibrary() {
    if (error_ == 0) WSACleanup();
  }
  int error() const { return error_; }

 private:
  int error_ = 0;
};

}  // namespace

int StartWinsock() {
  static const WinsockLibrary library;
  return library.error();
}

int SocketAddress(const IpAddress& address, std::uint16_t port, SOCKADDR_STORAGE& out) {
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

}  // namespace hv::platform::win32
