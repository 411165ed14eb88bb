#pragma once
// SNTP requests as a test's peer receives them and the replies it crafts:
// the bad replies no real time server sends.
#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace hv::test {

struct PeerRequest {
  std::vector<std::uint8_t> bytes;
  std::uint16_t sourcePort = 0;
};

struct PeerDatagram {
  std::vector<std::uint8_t> bytes;
  bool fromOtherPort = false;          // from the peer's second port
  std::chrono::milliseconds delay{0};  // after the one before, or the request
};

// Called with every request the peer has had so far, newest last.
using Responder =
    std::function<std::vector<PeerDatagram>(const std::vector<PeerRequest>& requests)>;

// Fields of a crafted server reply. The originate timestamp defaults to the
// request's transmit timestamp, as a real server sets it.
struct ReplyFields {
  int leap = 0;
  int version = 4;
  int mode = 4;
  int stratum = 2;
  std::uint32_t seconds = 3839572800u;  // 2 September 2021 12:00:00 UTC
  std::uint32_t fraction = 0;
  std::uint32_t receiveBefore = 0;  // seconds the receive timestamp lies before the transmit one
  std::array<char, 4> referenceId{'L', 'O', 'C', 'L'};  // a kiss code at stratum 0
  std::optional<std::array<std::uint8_t, 8>> originate{};
  std::size_t size = 48;
};

std::vector<std::uint8_t> CraftReply(const PeerRequest& request, const ReplyFields& fields);
// Bytes 40-47 of a request: its transmit timestamp as sent.
std::array<std::uint8_t, 8> TransmitOf(const PeerRequest& request);

}  // namespace hv::test
