#pragma once
// UDP boundary: look a host name up to its addresses, and datagram sockets
// of either IP family. Every failure is a Windows Sockets error number, on
// every platform, so the callers' error texts are the same everywhere.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/deadline.h"

namespace hv::platform {

// The Windows Sockets numbers that callers tell apart by name.
namespace wsa {
inline constexpr int kInterrupted = 10004;
inline constexpr int kInvalidArgument = 10022;
inline constexpr int kWouldBlock = 10035;
inline constexpr int kMessageTooLong = 10040;
inline constexpr int kFamilyNotSupported = 10047;
inline constexpr int kAddressInUse = 10048;
inline constexpr int kConnectionReset = 10054;
inline constexpr int kConnectionRefused = 10061;
inline constexpr int kSystemCallFailure = 10107;
inline constexpr int kHostNotFound = 11001;
inline constexpr int kTryAgain = 11002;
}  // namespace wsa

// Host byte order: 127.0.0.1 is 0x7F000001.
struct Ipv4Address {
  std::uint32_t value = 0;
  static constexpr Ipv4Address fromOctets(std::uint8_t a, std::uint8_t b, std::uint8_t c,
                                          std::uint8_t d) {
    return {static_cast<std::uint32_t>(a) << 24 | static_cast<std::uint32_t>(b) << 16 |
            static_cast<std::uint32_t>(c) << 8 | d};
  }
  friend bool operator==(const Ipv4Address&, const Ipv4Address&) = default;
  // "162.159.200.1".
  std::wstring dotted() const {
    return std::to_wstring(value >> 24) + L'.' + std::to_wstring(value >> 16 & 0xFF) + L'.' +
           std::to_wstring(value >> 8 & 0xFF) + L'.' + std::to_wstring(value & 0xFF);
  }
};

inline constexpr Ipv4Address kLoopback = Ipv4Address::fromOctets(127, 0, 0, 1);

// Network byte order, as written: ::1 ends in 1.
struct Ipv6Address {
  std::array<std::uint8_t, 16> bytes{};
  friend bool operator==(const Ipv6Address&, const Ipv6Address&) = default;
  // The short form of RFC 5952: "2001:db8::1".
  std::wstring text() const;
};

inline constexpr Ipv6Address kLoopback6{{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}};

enum class IpFamily { V4, V6 };

// An address of either family; every IPv4 address is one.
struct IpAddress {
  IpFamily family = IpFamily::V4;
  Ipv4Address v4;
  Ipv6Address v6;

  IpAddress() = default;
  // Implicit, so that an address of either family goes wherever an address does.
  // cppcheck-suppress noExplicitConstructor
  IpAddress(Ipv4Address a) : v4(a) {}
  // cppcheck-suppress noExplicitConstructor
  IpAddress(const Ipv6Address& a) : family(IpFamily::V6), v6(a) {}
  friend bool operator==(const IpAddress&, const IpAddress&) = default;
  std::wstring text() const { return family == IpFamily::V4 ? v4.dotted() : v6.text(); }
};

// ::ffff:a.b.c.d is the IPv4 address a.b.c.d; a socket of one family
// reaches it only in its own form.
IpAddress WithoutIpv4Mapping(const Ipv6Address& a);

// A name the resolvers take as it is; any other goes through IDNA first.
bool IsAsciiName(std::wstring_view host);

// Enough for any pool name; more would only lengthen a query that cannot
// reach them within its wait.
inline constexpr std::size_t kMostAddresses = 16;

struct Resolved {
  int error = 0;
  // IPv4 first, then IPv6, each family in the resolver's order, without
  // repeats; never empty when error is 0.
  std::vector<IpAddress> addresses;
};

// What the adapters hand back from a look-up: IPv4 before IPv6, repeats and
// what lies beyond kMostAddresses dropped, host not found when none is left.
Resolved OrderedAddresses(std::vector<IpAddress> v4, const std::vector<IpAddress>& v6);

struct Sent {
  int error = 0;
  std::size_t bytes = 0;
};

enum class Readiness { Readable, TimedOut };

struct Waited {
  int error = 0;
  Readiness readiness = Readiness::TimedOut;
};

// One datagram. A datagram longer than the buffer is error kMessageTooLong,
// never a silent truncation; the buffer then holds its first bytes and the
// source is still reported. Nothing queued is error kWouldBlock.
struct Received {
  int error = 0;
  std::size_t bytes = 0;
  IpAddress source;
  std::uint16_t sourcePort = 0;
};

class UdpSocket {
 public:
  UdpSocket() = default;
  UdpSocket(const UdpSocket&) = delete;
  UdpSocket& operator=(const UdpSocket&) = delete;
  virtual ~UdpSocket() = default;

  // The wildcard address of the socket's family and a port the system picks.
  virtual int bindAnyPort() = 0;
  // 0 until bound.
  virtual std::uint16_t localPort() = 0;
  // An address of the other family is error kFamilyNotSupported.
  virtual Sent sendTo(const IpAddress& to, std::uint16_t port,
                      std::span<const std::uint8_t> bytes) = 0;
  // Until a datagram or error report is queued, or until comes.
  virtual Waited waitReadable(Deadline until) = 0;
  // Never waits: call it once waitReadable reports a datagram.
  virtual Received receive(std::span<std::uint8_t> buffer) = 0;
  // Throws away what is already queued (datagrams and error reports) without
  // waiting; returns how many went.
  virtual int drain() = 0;
};

struct Opened {
  int error = 0;
  std::unique_ptr<UdpSocket> socket;
};

struct WaitedAny {
  int error = 0;
  Readiness readiness = Readiness::TimedOut;
  std::size_t index = 0;  // of a readable socket
};

class Network {
 public:
  virtual ~Network() = default;
  // The addresses of host; names outside ASCII go through IDNA.
  virtual Resolved resolve(const std::wstring& host) = 0;
  // A UDP socket of the family, not yet bound, with address reuse switched
  // off; an IPv6 one carries IPv6 only.
  virtual Opened openUdp(IpFamily family) = 0;
  // Until one of the sockets is readable, or until comes. The adapters wait
  // on their own sockets together; this fallback takes turns a millisecond
  // at a time, for sockets that share no wait.
  virtual WaitedAny waitAnyReadable(std::span<UdpSocket* const> sockets, Deadline until);
};

}  // namespace hv::platform
