#include "platform/posix/udp_posix.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "base/utf8.h"
#include "platform/posix/socket_address.h"

namespace hv::platform {
namespace {

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  FileDescriptor& operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
      reset();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() { reset(); }
  int get() const { return fd_; }

 private:
  void reset() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }
  int fd_;
};

int LastError() {
  return WsaFromErrno(errno);
}

int WsaFromAddrInfo(int code) {
  switch (code) {
    case EAI_NONAME:
#ifdef EAI_NODATA
    case EAI_NODATA:
#endif
#ifdef EAI_ADDRFAMILY
    case EAI_ADDRFAMILY:
#endif
#ifdef EAI_IDN_ENCODE
    case EAI_IDN_ENCODE:
#endif
      return wsa::kHostNotFound;
    case EAI_AGAIN:
      return wsa::kTryAgain;
    case EAI_FAIL:
      return 11003;  // WSANO_RECOVERY
    case EAI_FAMILY:
      return 10047;  // WSAEAFNOSUPPORT
    case EAI_SOCKTYPE:
      return 10044;  // WSAESOCKTNOSUPPORT
    case EAI_SERVICE:
      return 10109;  // WSATYPE_NOT_FOUND
    case EAI_BADFLAGS:
      return wsa::kInvalidArgument;
    case EAI_MEMORY:
      return 8;  // WSA_NOT_ENOUGH_MEMORY
    case EAI_SYSTEM:
      return LastError();
    default:
      return wsa::kSystemCallFailure;
  }
}

// false for a family that is neither.
bool ReadAddress(const sockaddr_storage& in, IpAddress& address, std::uint16_t& port) {
  if (in.ss_family == AF_INET) {
    const auto& sa = reinterpret_cast<const sockaddr_in&>(in);
    address = Ipv4Address{ntohl(sa.sin_addr.s_addr)};
    port = ntohs(sa.sin_port);
    return true;
  }
  if (in.ss_family == AF_INET6) {
    const auto& sa = reinterpret_cast<const sockaddr_in6&>(in);
    Ipv6Address v6;
    std::copy(sa.sin6_addr.s6_addr, sa.sin6_addr.s6_addr + 16, v6.bytes.begin());
    address = v6;
    port = ntohs(sa.sin6_port);
    return true;
  }
  return false;
}

// poll rather than select: same time-out rules, and no limit on the
// descriptor number. Returns poll's count, 0 once the whole time has passed,
// or -1 with errno for an error other than an interruption.
int PollWithin(std::span<pollfd> polled, Deadline until) {
  for (;;) {
    int wait = -1;
    if (until.limited()) wait = static_cast<int>(std::min<std::int64_t>(until.leftMs(), INT_MAX));
    const int n = ::poll(polled.data(), polled.size(), wait);
    if (n >= 0 || errno != EINTR) return n;
  }
}

class PosixUdpSocket : public UdpSocket {
 public:
  PosixUdpSocket(FileDescriptor fd, IpFamily family) : fd_(std::move(fd)), family_(family) {}

  int bindAnyPort() override {
    const IpAddress any =
        family_ == IpFamily::V4 ? IpAddress(Ipv4Address{INADDR_ANY}) : IpAddress(Ipv6Address{});
    sockaddr_storage sa;
    const socklen_t len = posix::SocketAddress(any, 0, sa);
    if (::bind(fd_.get(), reinterpret_cast<const sockaddr*>(&sa), len) != 0) return LastError();
    return 0;
  }

  std::uint16_t localPort() override {
    sockaddr_storage sa{};
    socklen_t len = sizeof sa;
    if (::getsockname(fd_.get(), reinterpret_cast<sockaddr*>(&sa), &len) != 0) return 0;
    IpAddress ignored;
    std::uint16_t port = 0;
    return ReadAddress(sa, ignored, port) ? port : 0;
  }

  Sent sendTo(const IpAddress& to, std::uint16_t port,
              std::span<const std::uint8_t> bytes) override {
    if (to.family != family_) return {wsa::kFamilyNotSupported, 0};
    sockaddr_storage sa;
    const socklen_t len = posix::SocketAddress(to, port, sa);
    const ssize_t n = ::sendto(fd_.get(), bytes.data(), bytes.size(), 0,
                               reinterpret_cast<const sockaddr*>(&sa), len);
    if (n < 0) return {LastError(), 0};
    return {0, static_cast<std::size_t>(n)};
  }

  int fd() const { return fd_.get(); }

  Waited waitReadable(Deadline until) override {
    pollfd p{fd_.get(), POLLIN, 0};
    const int n = PollWithin({&p, 1}, until);
    if (n > 0) return {0, Readiness::Readable};
    if (n == 0) return {0, Readiness::TimedOut};
    return {LastError(), Readiness::TimedOut};
  }

  // MSG_TRUNC makes the call return the datagram's real length, so an
  // over-long one is reported instead of silently cut.
  Received receive(std::span<std::uint8_t> buffer) override {
    sockaddr_storage from{};
    iovec io{buffer.data(), buffer.size()};
    msghdr msg{};
    msg.msg_name = &from;
    msg.msg_namelen = sizeof from;
    msg.msg_iov = &io;
    msg.msg_iovlen = 1;
    ssize_t n;
    do {
      n = ::recvmsg(fd_.get(), &msg, MSG_DONTWAIT | MSG_TRUNC);
    } while (n < 0 && errno == EINTR);
    if (n < 0) return {LastError(), 0, {}, 0};
    Received r;
    ReadAddress(from, r.source, r.sourcePort);
    const auto size = static_cast<std::size_t>(n);
    if (size > buffer.size() || (msg.msg_flags & MSG_TRUNC) != 0) {
      r.error = wsa::kMessageTooLong;
      r.bytes = buffer.size();
    } else {
      r.bytes = size;
    }
    return r;
  }

  int drain() override {
    std::uint8_t scratch[64];
    int count = 0;
    // Bounded, so a flood cannot keep a query from ever being sent.
    for (int i = 0; i < 1024; ++i) {
      const ssize_t n = ::recv(fd_.get(), scratch, sizeof scratch, MSG_DONTWAIT | MSG_TRUNC);
      if (n < 0 && errno == EINTR) continue;
      // Queued reports of unreachable peers go too; anything else ends it.
      if (n < 0 && errno != ECONNREFUSED && errno != ECONNRESET && errno != EHOSTUNREACH &&
          errno != ENETUNREACH) {
        break;
      }
      ++count;
    }
    return count;
  }

 private:
  FileDescriptor fd_;
  IpFamily family_;
};

}  // namespace

int WsaFromErrno(int error) {
  switch (error) {
    case 0:
      return 0;
    case EINTR:
      return wsa::kInterrupted;
    case EBADF:
      return 10009;
    case EACCES:
    case EPERM:
      return 10013;
    case EFAULT:
      return 10014;
    case EINVAL:
      return wsa::kInvalidArgument;
    case EMFILE:
    case ENFILE:
      return 10024;
    case EAGAIN:
#if EWOULDBLOCK != EAGAIN
    case EWOULDBLOCK:
#endif
      return wsa::kWouldBlock;
    case EINPROGRESS:
      return 10036;
    case EALREADY:
      return 10037;
    case ENOTSOCK:
      return 10038;
    case EDESTADDRREQ:
      return 10039;
    case EMSGSIZE:
      return wsa::kMessageTooLong;
    case EPROTOTYPE:
      return 10041;
    case ENOPROTOOPT:
      return 10042;
    case EPROTONOSUPPORT:
      return 10043;
    case EOPNOTSUPP:
      return 10045;
    case EAFNOSUPPORT:
      return 10047;
    case EADDRINUSE:
      return wsa::kAddressInUse;
    case EADDRNOTAVAIL:
      return 10049;
    case ENETDOWN:
      return 10050;
    case ENETUNREACH:
      return 10051;
    case ENETRESET:
      return 10052;
    case ECONNABORTED:
      return 10053;
    case ECONNRESET:
      return wsa::kConnectionReset;
    case ENOBUFS:
    case ENOMEM:
      return 10055;
    case EISCONN:
      return 10056;
    case ENOTCONN:
      return 10057;
    case ETIMEDOUT:
      return 10060;
    case ECONNREFUSED:
      return wsa::kConnectionRefused;
    case EHOSTDOWN:
      return 10064;
    case EHOSTUNREACH:
      return 10065;
    default:
      return wsa::kSystemCallFailure;
  }
}

Resolved PosixNetwork::resolve(const std::wstring& host) {
  // An empty name would stand for this computer, and a NUL would cut the
  // name short: neither is a server's name.
  if (host.empty() || host.find(L'\0') != std::wstring::npos) return {wsa::kHostNotFound, {}};
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_DGRAM;
  hints.ai_protocol = IPPROTO_UDP;
#ifdef AI_IDN
  if (!IsAsciiName(host)) hints.ai_flags |= AI_IDN;
#endif
  addrinfo* raw = nullptr;
  const int rc = ::getaddrinfo(ToUtf8(host).c_str(), nullptr, &hints, &raw);
  if (rc != 0) return {WsaFromAddrInfo(rc), {}};
  const std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> found(raw, &::freeaddrinfo);
  std::vector<IpAddress> v4, v6;
  for (const addrinfo* p = found.get(); p != nullptr; p = p->ai_next) {
    if (p->ai_addr == nullptr || p->ai_addrlen > sizeof(sockaddr_storage)) continue;
    sockaddr_storage sa{};
    std::memcpy(&sa, p->ai_addr, p->ai_addrlen);
    IpAddress a;
    std::uint16_t ignored = 0;
    if (!ReadAddress(sa, a, ignored)) continue;
    if (a.family == IpFamily::V6) a = WithoutIpv4Mapping(a.v6);
    (a.family == IpFamily::V4 ? v4 : v6).push_back(a);
  }
  return OrderedAddresses(std::move(v4), v6);
}

Opened PosixNetwork::openUdp(IpFamily family) {
  const int domain = family == IpFamily::V4 ? AF_INET : AF_INET6;
  FileDescriptor fd(::socket(domain, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP));
  if (fd.get() < 0) return {LastError(), nullptr};
  const int off = 0;
  if (::setsockopt(fd.get(), SOL_SOCKET, SO_REUSEADDR, &off, sizeof off) != 0) {
    return {LastError(), nullptr};
  }
  const int on = 1;
  if (family == IpFamily::V6 &&
      ::setsockopt(fd.get(), IPPROTO_IPV6, IPV6_V6ONLY, &on, sizeof on) != 0) {
    return {LastError(), nullptr};
  }
  return {0, std::make_unique<PosixUdpSocket>(std::move(fd), family)};
}

WaitedAny PosixNetwork::waitAnyReadable(std::span<UdpSocket* const> sockets, Deadline until) {
  std::vector<pollfd> polled;
  for (UdpSocket* s : sockets) {
    const auto* own = dynamic_cast<const PosixUdpSocket*>(s);
    if (own == nullptr) return Network::waitAnyReadable(sockets, until);
    polled.push_back({own->fd(), POLLIN, 0});
  }
  const int n = PollWithin(polled, until);
  if (n < 0) return {LastError(), Readiness::TimedOut, 0};
  // poll counts the entries it marked, so a count finds one.
  for (std::size_t i = 0; n > 0 && i < polled.size(); ++i) {
    if (polled[i].revents != 0) return {0, Readiness::Readable, i};
  }
  return {0, Readiness::TimedOut, 0};
}

}  // namespace hv::platform
