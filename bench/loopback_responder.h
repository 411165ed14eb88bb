#pragma once
// A minimal SNTP server on loopback: answers every request at once with a
// well-formed reply that carries the request's transmit timestamp back, so
// the client's own cost can be set against the bare round trip.
#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

#include "platform/udp.h"

namespace hv::bench {

class LoopbackResponder {
 public:
  explicit LoopbackResponder(platform::Network& network);
  ~LoopbackResponder();
  LoopbackResponder(const LoopbackResponder&) = delete;
  LoopbackResponder& operator=(const LoopbackResponder&) = delete;

  std::uint16_t port() const { return port_; }

 private:
  void run();

  std::unique_ptr<platform::UdpSocket> socket_;
  std::uint16_t port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace hv::bench
