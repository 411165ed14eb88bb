#pragma once
// A network in fake time. Peers are scripted at an address and port: each
// request is handed to the peer's responder at once, and its datagrams
// arrive as the fake clock reaches them. A wait moves the clock to the first
// arrival before its deadline, or to the deadline, so nothing in a test
// waits in real time. Anything sent where no peer is goes unanswered.
#include <atomic>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/udp.h"
#include "support/fake_clock.h"
#include "support/sntp_replies.h"

namespace hv::test {

class ScriptedPeer {
 public:
  std::uint16_t port() const { return port_; }
  std::uint16_t otherPort() const { return static_cast<std::uint16_t>(port_ + 1); }
  std::vector<PeerRequest> requests() const;

 private:
  friend class ScriptedNetwork;
  ScriptedPeer(platform::IpAddress address, std::uint16_t port, Responder responder)
      : address_(address), port_(port), responder_(std::move(responder)) {}
  platform::IpAddress address_;
  std::uint16_t port_;
  Responder responder_;
  mutable std::mutex mutex_;
  std::vector<PeerRequest> requests_;
};

class ScriptedNetwork : public platform::Network {
 public:
  explicit ScriptedNetwork(FakeClock& clock) : clock_(clock) {}

  std::map<std::wstring, std::vector<platform::IpAddress>> names;
  // Counted on whichever thread queries, once the peer has answered.
  std::atomic<int> queriesSent{0};

  // The peer at address and port from now on, in place of any there before.
  std::shared_ptr<ScriptedPeer> serve(const platform::IpAddress& address, std::uint16_t port,
                                      Responder responder);
  // A peer on loopback at a port of its own.
  std::shared_ptr<ScriptedPeer> serve(Responder responder);
  std::shared_ptr<ScriptedPeer> silentPeer(const platform::IpAddress& address, std::uint16_t port);
  // While held, every wait stops before it looks at the clock, so a test
  // can act while a query is under way on another thread. A hold left on
  // for 20 s fails the test and lets the waits go.
  void holdWaits();
  void releaseWaits();

  platform::Resolved resolve(const std::wstring& host) override;
  platform::Opened openUdp(platform::IpFamily family) override;
  platform::WaitedAny waitAnyReadable(std::span<platform::UdpSocket* const> sockets,
                                      platform::Deadline until) override;

 private:
  class Socket;
  struct Arrival {
    std::int64_t atUs;
    std::vector<std::uint8_t> bytes;
    platform::IpAddress source;
    std::uint16_t sourcePort;
  };
  friend class Socket;
  // Sends bytes from socket to address and port; the peer's answers queue up.
  void carry(Socket& from, const platform::IpAddress& to, std::uint16_t port,
             std::span<const std::uint8_t> bytes);
  // The first of sockets with an arrival by until, moving the clock to it;
  // otherwise the clock moves to until.
  platform::WaitedAny waitLocked(std::unique_lock<std::mutex>& lock,
                                 std::span<Socket* const> sockets, platform::Deadline until);

  FakeClock& clock_;
  std::mutex mutex_;
  std::condition_variable released_;
  bool held_ = false;
  std::vector<std::shared_ptr<ScriptedPeer>> peers_;
  std::uint16_t nextPort_ = 40000;
};

}  // namespace hv::test
