#pragma once
// A UDP peer on loopback that answers each datagram it receives with the
// datagrams a test scripts: the bad replies no real time server sends.
// Built on the platform's socket adapter, so it runs natively and under Wine.
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "platform/udp.h"

namespace hv::test {

struct FixtureRequest {
  std::vector<std::uint8_t> bytes;
  std::uint16_t sourcePort = 0;
};

struct FixtureDatagram {
  std::vector<std::uint8_t> bytes;
  bool fromOtherPort = false;          // sent from the fixture's second socket
  std::chrono::milliseconds delay{0};  // pause before sending this one
};

// Called on the fixture's thread with every request so far, newest last.
using Responder =
    std::function<std::vector<FixtureDatagram>(const std::vector<FixtureRequest>& requests)>;

class UdpFixture {
 public:
  UdpFixture(platform::Network& network, Responder responder,
             platform::IpFamily family = platform::IpFamily::V4);
  ~UdpFixture();
  UdpFixture(const UdpFixture&) = delete;
  UdpFixture& operator=(const UdpFixture&) = delete;

  std::uint16_t port() const { return port_; }
  std::uint16_t otherPort() const { return otherPort_; }
  std::vector<FixtureRequest> requests() const;

 private:
  void run();

  Responder responder_;
  std::unique_ptr<platform::UdpSocket> main_;
  std::unique_ptr<platform::UdpSocket> other_;
  std::uint16_t port_ = 0;
  std::uint16_t otherPort_ = 0;
  mutable std::mutex mutex_;
  std::vector<FixtureRequest> requests_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

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

std::vector<std::uint8_t> craftReply(const FixtureRequest& request, const ReplyFields& fields);
// Bytes 40-47 of a request: its transmit timestamp as sent.
std::array<std::uint8_t, 8> transmitOf(const FixtureRequest& request);

}  // namespace hv::test
