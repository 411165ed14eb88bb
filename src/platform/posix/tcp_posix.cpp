#include "platform/posix/tcp_posix.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <utility>

#include "platform/posix/socket_address.h"
#include "platform/posix/udp_posix.h"

namespace hv::platform {
namespace {

// 0 when ready, kTimedOut when until came first, else the error.
int AwaitEvent(int fd, short events, Deadline until) {
  for (;;) {
    if (until.passed()) return kTimedOut;
    int wait = -1;
    if (until.limited()) wait = static_cast<int>(std::min<std::int64_t>(until.leftMs(), INT_MAX));
    pollfd p{fd, events, 0};
    const int n = ::poll(&p, 1, wait);
    if (n > 0) return 0;
    if (n < 0 && errno != EINTR) return WsaFromErrno(errno);
  }
}

class PosixTcpStream : public TcpStream {
 public:
  explicit PosixTcpStream(int fd) : fd_(fd) {}
  ~PosixTcpStream() override { ::close(fd_); }

  int sendAll(std::span<const std::uint8_t> bytes, Deadline until) override {
    while (!bytes.empty()) {
      if (const int e = AwaitEvent(fd_, POLLOUT, until)) return e;
      const ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
      if (n < 0) {
        if (errno == EAGAIN || errno == EINTR) continue;
        return WsaFromErrno(errno);
      }
      bytes = bytes.subspan(static_cast<std::size_t>(n));
    }
    return 0;
  }

  Read receive(std::span<std::uint8_t> buffer, Deadline until) override {
    for (;;) {
      if (const int e = AwaitEvent(fd_, POLLIN, until)) return {e, 0};
      const ssize_t n = ::recv(fd_, buffer.data(), buffer.size(), 0);
      if (n >= 0) return {0, static_cast<std::size_t>(n)};
      if (errno != EAGAIN && errno != EINTR) return {WsaFromErrno(errno), 0};
    }
  }

 private:
  int fd_;
};

}  // namespace

Connected PosixTcpNetwork::connect(const IpAddress& address, std::uint16_t port, Deadline until) {
  const int fd = ::socket(address.family == IpFamily::V4 ? AF_INET : AF_INET6,
                          SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return {WsaFromErrno(errno), nullptr};
  auto stream = std::make_unique<PosixTcpStream>(fd);
  sockaddr_storage sa;
  const socklen_t len = posix::SocketAddress(address, port, sa);
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&sa), len) != 0) {
    if (errno != EINPROGRESS) return {WsaFromErrno(errno), nullptr};
    if (const int e = AwaitEvent(fd, POLLOUT, until)) return {e, nullptr};
    int error = 0;
    socklen_t size = sizeof error;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0) error = errno;
    if (error != 0) return {WsaFromErrno(error), nullptr};
  }
  return {0, std::move(stream)};
}

}  // namespace hv::platform
