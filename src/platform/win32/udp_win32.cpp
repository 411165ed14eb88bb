#include "platform/win32/udp_win32.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "platform/win32/winsock.h"

namespace hv::platform {
namespace {

using win32::SocketAddress;
using win32::SocketHandle;
using win32::StartWinsock;

// false for what is neither family, or too short to be one.
bool ReadAddress(const SOCKADDR_STORAGE& in, int length, IpAddress& address, std::uint16_t& port) {
  if (in.ss_family == AF_INET && length >= static_cast<int>(sizeof(sockaddr_in))) {
    const auto& sa = reinterpret_cast<const sockaddr_in&>(in);
    address = Ipv4Address{ntohl(sa.sin_addr.s_addr)};
    port = ntohs(sa.sin_port);
    return true;
  }
  if (in.ss_family == AF_INET6 && length >= static_cast<int>(sizeof(sockaddr_in6))) {
    const auto& sa = reinterpret_cast<const sockaddr_in6&>(in);
    Ipv6Address v6;
    std::copy(sa.sin6_addr.s6_addr, sa.sin6_addr.s6_addr + 16, v6.bytes.begin());
    address = v6;
    port = ntohs(sa.sin6_port);
    return true;
  }
  return false;
}

struct AddrInfoFree {
  void operator()(ADDRINFOW* p) const { FreeAddrInfoW(p); }
};

// Errors that stand for one queued datagram or one queued report of an
// unreachable peer: Windows hands ICMP errors on UDP to the next receive.
bool ConsumesOneEntry(int error) {
  return error == WSAEMSGSIZE || error == WSAECONNRESET || error == WSAENETRESET ||
         error == WSAENETUNREACH || error == WSAEHOSTUNREACH;
}

// select may come back a little early on a coarse system timer, so the wait
// goes on until the whole time has passed; readable is left as select left
// it. Returns select's count, 0 once the time is up, or SOCKET_ERROR for an
// error other than an interruption.
int SelectWithin(std::span<const SOCKET> handles, fd_set& readable, Deadline until) {
  for (;;) {
    timeval limit{};
    timeval* wait = nullptr;
    if (until.limited()) {
      const std::int64_t left = until.leftMs();
      if (left <= 0) return 0;
      limit.tv_sec = static_cast<long>(left / 1000);
      limit.tv_usec = static_cast<long>(left % 1000 * 1000);
      wait = &limit;
    }
    FD_ZERO(&readable);
    for (const SOCKET h : handles) FD_SET(h, &readable);
    const int n = select(0, &readable, nullptr, nullptr, wait);
    if (n > 0) return n;
    if (n == SOCKET_ERROR && WSAGetLastError() != WSAEINTR) return SOCKET_ERROR;
  }
}

class Win32UdpSocket : public UdpSocket {
 public:
  Win32UdpSocket(SocketHandle s, IpFamily family) : s_(std::move(s)), family_(family) {}

  int bindAnyPort() override {
    const IpAddress any =
        family_ == IpFamily::V4 ? IpAddress(Ipv4Address{INADDR_ANY}) : IpAddress(Ipv6Address{});
    SOCKADDR_STORAGE sa;
    const int len = SocketAddress(any, 0, sa);
    if (bind(s_.get(), reinterpret_cast<const sockaddr*>(&sa), len) == SOCKET_ERROR) {
      return WSAGetLastError();
    }
    return 0;
  }

  std::uint16_t localPort() override {
    SOCKADDR_STORAGE sa{};
    int len = sizeof sa;
    if (getsockname(s_.get(), reinterpret_cast<sockaddr*>(&sa), &len) == SOCKET_ERROR) return 0;
    IpAddress ignored;
    std::uint16_t port = 0;
    return ReadAddress(sa, len, ignored, port) ? port : 0;
  }

  Sent sendTo(const IpAddress& to, std::uint16_t port,
              std::span<const std::uint8_t> bytes) override {
    if (to.family != family_) return {WSAEAFNOSUPPORT, 0};
    if (bytes.size() > static_cast<std::size_t>(INT_MAX)) return {WSAEMSGSIZE, 0};
    SOCKADDR_STORAGE sa;
    const int len = SocketAddress(to, port, sa);
    const int n =
        sendto(s_.get(), reinterpret_cast<const char*>(bytes.data()),
               static_cast<int>(bytes.size()), 0, reinterpret_cast<const sockaddr*>(&sa), len);
    if (n == SOCKET_ERROR) return {WSAGetLastError(), 0};
    return {0, static_cast<std::size_t>(n)};
  }

  SOCKET handle() const { return s_.get(); }

  Waited waitReadable(Deadline until) override {
    const SOCKET handles[] = {s_.get()};
    fd_set readable;
    const int n = SelectWithin(handles, readable, until);
    if (n > 0) return {0, Readiness::Readable};
    if (n == SOCKET_ERROR) return {WSAGetLastError(), Readiness::TimedOut};
    return {0, Readiness::TimedOut};
  }

  // The socket blocks, so a receive only goes ahead when select says a
  // datagram or error report is there. Windows fills the buffer with the
  // first bytes of a longer datagram, drops the rest and reports WSAEMSGSIZE.
  Received receive(std::span<std::uint8_t> buffer) override {
    timeval now{};
    const int ready = selectReadable(&now);
    if (ready == SOCKET_ERROR) return {WSAGetLastError(), 0, {}, 0};
    if (ready == 0) return {wsa::kWouldBlock, 0, {}, 0};
    SOCKADDR_STORAGE from{};
    int fromLen = sizeof from;
    const int size = buffer.size() > static_cast<std::size_t>(INT_MAX)
                         ? INT_MAX
                         : static_cast<int>(buffer.size());
    const int n = recvfrom(s_.get(), reinterpret_cast<char*>(buffer.data()), size, 0,
                           reinterpret_cast<sockaddr*>(&from), &fromLen);
    Received r;
    if (n == SOCKET_ERROR) {
      r.error = WSAGetLastError();
      if (r.error != WSAEMSGSIZE) return {r.error, 0, {}, 0};
      r.bytes = static_cast<std::size_t>(size);
    } else {
      r.bytes = static_cast<std::size_t>(n);
    }
    ReadAddress(from, fromLen, r.source, r.sourcePort);
    return r;
  }

  int drain() override {
    char scratch[64];
    int count = 0;
    // Bounded, so a flood cannot keep a query from ever being sent.
    for (int i = 0; i < 1024; ++i) {
      timeval now{};
      if (selectReadable(&now) <= 0) break;
      if (recv(s_.get(), scratch, sizeof scratch, 0) == SOCKET_ERROR) {
        const int error = WSAGetLastError();
        if (error == WSAEINTR) continue;
        if (!ConsumesOneEntry(error)) break;
      }
      ++count;
    }
    return count;
  }

 private:
  int selectReadable(timeval* limit) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(s_.get(), &readable);
    return select(0, &readable, nullptr, nullptr, limit);
  }

  SocketHandle s_;
  IpFamily family_;
};

}  // namespace

std::optional<std::wstring> AsciiHostName(const std::wstring& host) {
  if (IsAsciiName(host)) return host;
  if (host.size() > static_cast<std::size_t>(INT_MAX)) return std::nullopt;
  const int length = static_cast<int>(host.size());
  const int needed = IdnToAscii(0, host.c_str(), length, nullptr, 0);
  if (needed <= 0) return std::nullopt;
  std::wstring ascii(static_cast<std::size_t>(needed), L'\0');
  const int n = IdnToAscii(0, host.c_str(), length, ascii.data(), needed);
  if (n <= 0) return std::nullopt;
  ascii.resize(static_cast<std::size_t>(n));
  return ascii;
}

// IDNA is done here rather than left to GetAddrInfoW, which does it itself
// only from Windows 8 on. AI_DISABLE_IDN_ENCODING stays off, so a system
// that converts again finds nothing left to convert.
Resolved Win32Network::resolve(const std::wstring& host) {
  // What WSAStartup answered; every call fails with it when it is not 0.
  if (const int startup = StartWinsock(); startup != 0) return {startup, {}};
  // An empty name would stand for this computer, and a NUL would cut the
  // name short: neither is a server's name.
  if (host.empty() || host.find(L'\0') != std::wstring::npos) return {wsa::kHostNotFound, {}};
  const std::optional<std::wstring> ascii = AsciiHostName(host);
  if (!ascii) return {wsa::kHostNotFound, {}};
  ADDRINFOW hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_DGRAM;
  hints.ai_protocol = IPPROTO_UDP;
  ADDRINFOW* raw = nullptr;
  const int rc = GetAddrInfoW(ascii->c_str(), nullptr, &hints, &raw);
  if (rc != 0) return {rc, {}};
  const std::unique_ptr<ADDRINFOW, AddrInfoFree> found(raw);
  std::vector<IpAddress> v4, v6;
  for (const ADDRINFOW* p = found.get(); p != nullptr; p = p->ai_next) {
    if (p->ai_addr == nullptr || p->ai_addrlen > sizeof(SOCKADDR_STORAGE)) continue;
    SOCKADDR_STORAGE sa{};
    std::memcpy(&sa, p->ai_addr, p->ai_addrlen);
    IpAddress a;
    std::uint16_t ignored = 0;
    if (!ReadAddress(sa, static_cast<int>(p->ai_addrlen), a, ignored)) continue;
    if (a.family == IpFamily::V6) a = WithoutIpv4Mapping(a.v6);
    (a.family == IpFamily::V4 ? v4 : v6).push_back(a);
  }
  return OrderedAddresses(std::move(v4), v6);
}

Opened Win32Network::openUdp(IpFamily family) {
  if (const int startup = StartWinsock(); startup != 0) return {startup, nullptr};
  SocketHandle s(socket(family == IpFamily::V4 ? AF_INET : AF_INET6, SOCK_DGRAM, IPPROTO_UDP));
  if (!s) return {WSAGetLastError(), nullptr};
  const BOOL off = FALSE;
  if (setsockopt(s.get(), SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&off),
                 sizeof off) == SOCKET_ERROR) {
    return {WSAGetLastError(), nullptr};
  }
  // No other socket may bind over this one's port and read its replies.
  const BOOL on = TRUE;
  if (setsockopt(s.get(), SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&on),
                 sizeof on) == SOCKET_ERROR) {
    return {WSAGetLastError(), nullptr};
  }
  // One socket per family: IPv4 never arrives here mapped.
  const DWORD v6Only = 1;
  if (family == IpFamily::V6 &&
      setsockopt(s.get(), IPPROTO_IPV6, IPV6_V6ONLY, reinterpret_cast<const char*>(&v6Only),
                 sizeof v6Only) == SOCKET_ERROR) {
    return {WSAGetLastError(), nullptr};
  }
  return {0, std::make_unique<Win32UdpSocket>(std::move(s), family)};
}

// select over the sockets together.
WaitedAny Win32Network::waitAnyReadable(std::span<UdpSocket* const> sockets, Deadline until) {
  std::vector<SOCKET> handles;
  for (UdpSocket* s : sockets) {
    const auto* own = dynamic_cast<const Win32UdpSocket*>(s);
    if (own == nullptr || handles.size() == FD_SETSIZE) {
      return Network::waitAnyReadable(sockets, until);
    }
    handles.push_back(own->handle());
  }
  fd_set readable;
  const int n = SelectWithin(handles, readable, until);
  if (n == SOCKET_ERROR) return {WSAGetLastError(), Readiness::TimedOut, 0};
  // select counts the sockets it left in the set, so a count finds one.
  for (std::size_t i = 0; n > 0 && i < handles.size(); ++i) {
    if (FD_ISSET(handles[i], &readable)) return {0, Readiness::Readable, i};
  }
  return {0, Readiness::TimedOut, 0};
}

}  // namespace hv::platform
