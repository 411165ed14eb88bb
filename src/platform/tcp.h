#pragma once
// TCP boundary: one connected stream, for the key exchange of authenticated
// time. Errors are Windows Sockets numbers on every platform, as for UDP.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "platform/deadline.h"
#include "platform/udp.h"

namespace hv::platform {

// Bytes read from a stream: 0 bytes without an error is the peer's end.
struct Read {
  int error = 0;
  std::size_t bytes = 0;
};

class TcpStream {
 public:
  TcpStream() = default;
  TcpStream(const TcpStream&) = delete;
  TcpStream& operator=(const TcpStream&) = delete;
  virtual ~TcpStream() = default;

  // All of bytes, or an error; gives up when until comes (error 10060).
  virtual int sendAll(std::span<const std::uint8_t> bytes, Deadline until) = 0;
  // What has arrived, at most buffer's size, waiting until some has or
  // until comes (error 10060).
  virtual Read receive(std::span<std::uint8_t> buffer, Deadline until) = 0;
};

struct Connected {
  int error = 0;
  std::unique_ptr<TcpStream> stream;
};

inline constexpr int kTimedOut = 10060;  // WSAETIMEDOUT

class TcpNetwork {
 public:
  virtual ~TcpNetwork() = default;
  // A stream to address and port, or error kTimedOut when until comes first.
  virtual Connected connect(const IpAddress& address, std::uint16_t port, Deadline until) = 0;
};

}  // namespace hv::platform
