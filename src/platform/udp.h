#pragma once
// UDP boundary: look a host name up to one IPv4 address, and one datagram
// socket. Every failure is a Windows Sockets error number, on every platform,
// so the callers' error texts are the same everywhere.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace hv::platform {

// The Windows Sockets numbers that callers tell apart by name.
namespace wsa {
inline constexpr int kInterrupted = 10004;
inline constexpr int kInvalidArgument = 10022;
inline constexpr int kWouldBlock = 10035;
inline constexpr int kMessageTooLong = 10040;
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

struct Resolved {
  int error = 0;
  Ipv4Address address;
};

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
  Ipv4Address source;
  std::uint16_t sourcePort = 0;
};

class UdpSocket {
 public:
  UdpSocket() = default;
  UdpSocket(const UdpSocket&) = delete;
  UdpSocket& operator=(const UdpSocket&) = delete;
  virtual ~UdpSocket() = default;

  // The wildcard address and a port the system picks.
  virtual int bindAnyPort() = 0;
  // 0 until bound.
  virtual std::uint16_t localPort() = 0;
  virtual Sent sendTo(Ipv4Address to, std::uint16_t port, std::span<const std::uint8_t> bytes) = 0;
  // timeoutMs 0 waits without limit.
  virtual Waited waitReadable(std::int32_t timeoutMs) = 0;
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

class Network {
 public:
  virtual ~Network() = default;
  // The first IPv4 address of host; names outside ASCII go through IDNA.
  virtual Resolved resolveIpv4(const std::wstring& host) = 0;
  // An IPv4 UDP socket with address reuse switched off, not yet bound.
  virtual Opened openUdp() = 0;
};

}  // namespace hv::platform
