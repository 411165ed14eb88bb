#pragma once
// A network that reaches only loopback, with names a test gives. An address
// listed in peers stands for a UDP peer on the loopback of its family: what
// is sent to it goes to that peer's port, and the peer's answers come back as
// from the address and the port asked. Any other address is reached as it
// is, with port 123 turned into ntpPort, so the program's own port stays in
// the code under test.
#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/udp.h"
#include "support/test_network.h"

namespace hv::test {

class LoopbackNetwork : public platform::Network {
 public:
  std::uint16_t ntpPort = 9;  // discard: nothing answers until a test says
  std::map<std::wstring, std::vector<platform::IpAddress>> names;
  struct Peer {
    platform::IpAddress address;
    std::uint16_t port = 0;  // on the loopback of the address's family
  };
  std::vector<Peer> peers;
  // Counted on whichever thread queries.
  std::atomic<int> queriesSent{0};
  std::atomic<int> datagramsReceived{0};

  platform::Resolved resolve(const std::wstring& host) override {
    const auto it = names.find(host);
    if (it == names.end() || it->second.empty()) return {platform::wsa::kHostNotFound, {}};
    return {0, it->second};
  }
  platform::Opened openUdp(platform::IpFamily family) override {
    platform::Opened o = real_.openUdp(family);
    if (o.socket) o.socket = std::make_unique<Socket>(std::move(o.socket), *this);
    return o;
  }

 private:
  static platform::IpAddress loopbackOf(platform::IpFamily family) {
    return family == platform::IpFamily::V4 ? platform::IpAddress(platform::kLoopback)
                                            : platform::IpAddress(platform::kLoopback6);
  }

  class Socket : public platform::UdpSocket {
   public:
    Socket(std::unique_ptr<platform::UdpSocket> inner, LoopbackNetwork& net)
        : inner_(std::move(inner)), net_(net) {}
    int bindAnyPort() override { return inner_->bindAnyPort(); }
    std::uint16_t localPort() override { return inner_->localPort(); }
    platform::Sent sendTo(const platform::IpAddress& to, std::uint16_t port,
                          std::span<const std::uint8_t> bytes) override {
      ++net_.queriesSent;
      for (const Peer& p : net_.peers) {
        if (p.address == to) {
          askedPort_ = port;
          return inner_->sendTo(loopbackOf(to.family), p.port, bytes);
        }
      }
      return inner_->sendTo(to, port == 123 ? net_.ntpPort : port, bytes);
    }
    platform::Waited waitReadable(std::int32_t ms) override { return inner_->waitReadable(ms); }
    platform::Received receive(std::span<std::uint8_t> buffer) override {
      platform::Received r = inner_->receive(buffer);
      ++net_.datagramsReceived;
      for (const Peer& p : net_.peers) {
        if (r.source == loopbackOf(p.address.family) && r.sourcePort == p.port) {
          r.source = p.address;
          r.sourcePort = askedPort_;
          return r;
        }
      }
      if (r.sourcePort == net_.ntpPort) r.sourcePort = 123;
      return r;
    }
    int drain() override { return inner_->drain(); }

   private:
    std::unique_ptr<platform::UdpSocket> inner_;
    LoopbackNetwork& net_;
    std::uint16_t askedPort_ = 0;
  };
  TestNetwork real_;
};

}  // namespace hv::test
