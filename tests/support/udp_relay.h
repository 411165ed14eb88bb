#pragma once
// A UDP relay on 127.0.0.1 that plays a network path: each datagram from a
// client is held for the outbound delay before it goes on to the server, and
// each answer for the return delay before it goes back. Delays run from the
// kernel's arrival stamp of the datagram on a steady scale, so a late wake of
// the relay's thread does not lengthen the path. The relay talks only to
// 127.0.0.1, keeps a bounded number of clients and datagrams, and stops by
// itself when its lifetime is over.
#include <chrono>
#include <cstdint>

#ifndef _WIN32
#include <atomic>
#include <mutex>
#include <thread>
#endif

namespace hv::test {

struct RelayPath {
  std::chrono::microseconds out{0};   // client to server
  std::chrono::microseconds back{0};  // server to client
};

#ifndef _WIN32

class UdpRelay {
 public:
  // Forwards to 127.0.0.1:serverPort. listenPort 0 picks a free port.
  // Throws std::runtime_error when its socket cannot be had.
  UdpRelay(std::uint16_t serverPort, RelayPath path, std::uint16_t listenPort = 0,
           std::chrono::seconds lifetime = std::chrono::seconds(600));
  ~UdpRelay();
  UdpRelay(const UdpRelay&) = delete;
  UdpRelay& operator=(const UdpRelay&) = delete;

  std::uint16_t port() const { return port_; }
  // For datagrams that arrive from now on.
  void setPath(RelayPath path);
  // How long after its due time a datagram went out, at worst: what the
  // path's delays carried beyond the chosen ones, since the last call to
  // takeLateness() (one exchange, for a caller that asks around each) and
  // over the relay's life.
  std::chrono::microseconds takeLateness();
  std::chrono::microseconds worstLateness() const;
  std::uint64_t forwarded() const { return forwarded_; }
  // True once the lifetime ran out (or the relay was stopped).
  bool finished() const { return finished_; }
  // Blocks until the lifetime runs out or stop() is called.
  void wait();
  void stop();

 private:
  void run(std::chrono::steady_clock::time_point end);

  int listen_ = -1;
  std::uint16_t port_ = 0;
  std::uint16_t serverPort_ = 0;
  mutable std::mutex mutex_;
  RelayPath path_;
  std::chrono::microseconds recentLateness_{0};
  std::chrono::microseconds worstLateness_{0};
  std::atomic<std::uint64_t> forwarded_{0};
  std::atomic<bool> stop_{false};
  std::atomic<bool> finished_{false};
  std::thread thread_;
};

#endif

}  // namespace hv::test
