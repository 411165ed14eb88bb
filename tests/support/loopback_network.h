#pragma once
// A network that reaches only loopback, with names a test gives, for the
// tests that talk to a real time server: every address is reached as it is,
// with port 123 turned into ntpPort, so the program's own port stays in the
// code under test.
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
  std::uint16_t ntpPort = 9;         // discard
  std::atomic<int> plainQueries{0};  // datagrams sent to port 123
  std::map<std::wstring, std::vector<platform::IpAddress>> names;

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
  class Socket : public platform::UdpSocket {
   public:
    Socket(std::unique_ptr<platform::UdpSocket> inner, LoopbackNetwork& net)
        : inner_(std::move(inner)), net_(net) {}
    int bindAnyPort() override { return inner_->bindAnyPort(); }
    std::uint16_t localPort() override { return inner_->localPort(); }
    platform::Sent sendTo(const platform::IpAddress& to, std::uint16_t port,
                          std::span<const std::uint8_t> bytes) override {
      if (port == 123) ++net_.plainQueries;
      return inner_->sendTo(to, port == 123 ? net_.ntpPort : port, bytes);
    }
    platform::Waited waitReadable(platform::Deadline until) override {
      return inner_->waitReadable(until);
    }
    platform::Received receive(std::span<std::uint8_t> buffer) override {
      platform::Received r = inner_->receive(buffer);
      if (r.sourcePort == net_.ntpPort) r.sourcePort = 123;
      return r;
    }
    int drain() override { return inner_->drain(); }

   private:
    std::unique_ptr<platform::UdpSocket> inner_;
    LoopbackNetwork& net_;
  };
  TestNetwork real_;
};

}  // namespace hv::test
