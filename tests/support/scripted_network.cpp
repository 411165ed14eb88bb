#include "support/scripted_network.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

namespace hv::test {

using platform::Deadline;
using platform::Readiness;

std::vector<PeerRequest> ScriptedPeer::requests() const {
  const std::lock_guard lock(mutex_);
  return requests_;
}

class ScriptedNetwork::Socket : public platform::UdpSocket {
 public:
  Socket(ScriptedNetwork& net, platform::IpFamily family) : net_(net), family_(family) {}

  int bindAnyPort() override {
    const std::lock_guard lock(net_.mutex_);
    port_ = net_.nextPort_++;
    return 0;
  }
  std::uint16_t localPort() override {
    const std::lock_guard lock(net_.mutex_);
    return port_;
  }
  platform::Sent sendTo(const platform::IpAddress& to, std::uint16_t port,
                        std::span<const std::uint8_t> bytes) override {
    if (to.family != family_) return {platform::wsa::kFamilyNotSupported, 0};
    net_.carry(*this, to, port, bytes);
    return {0, bytes.size()};
  }
  platform::Waited waitReadable(Deadline until) override {
    std::unique_lock lock(net_.mutex_);
    Socket* const self[] = {this};
    const platform::WaitedAny w = net_.waitLocked(lock, self, until);
    return {w.error, w.readiness};
  }
  platform::Received receive(std::span<std::uint8_t> buffer) override {
    const std::lock_guard lock(net_.mutex_);
    if (queue_.empty() || queue_.front().atUs > net_.clock_.steadyMicroseconds())
      return {platform::wsa::kWouldBlock, 0, {}, 0};
    const Arrival a = std::move(queue_.front());
    queue_.erase(queue_.begin());
    platform::Received r{0, std::min(a.bytes.size(), buffer.size()), a.source, a.sourcePort};
    std::copy_n(a.bytes.begin(), r.bytes, buffer.begin());
    if (a.bytes.size() > buffer.size()) r.error = platform::wsa::kMessageTooLong;
    return r;
  }
  int drain() override {
    const std::lock_guard lock(net_.mutex_);
    const std::int64_t now = net_.clock_.steadyMicroseconds();
    const auto arrived = std::find_if(queue_.begin(), queue_.end(),
                                      [now](const Arrival& a) { return a.atUs > now; });
    const int count = static_cast<int>(arrived - queue_.begin());
    queue_.erase(queue_.begin(), arrived);
    return count;
  }

  // In order of arrival; guarded by the network's mutex.
  std::vector<Arrival> queue_;
  std::uint16_t port_ = 0;

 private:
  ScriptedNetwork& net_;
  platform::IpFamily family_;
};

std::shared_ptr<ScriptedPeer> ScriptedNetwork::serve(const platform::IpAddress& address,
                                                     std::uint16_t port, Responder responder) {
  const std::lock_guard lock(mutex_);
  std::erase_if(peers_, [&](const auto& p) { return p->address_ == address && p->port_ == port; });
  return peers_.emplace_back(new ScriptedPeer(address, port, std::move(responder)));
}

std::shared_ptr<ScriptedPeer> ScriptedNetwork::serve(Responder responder) {
  std::uint16_t port = 0;
  {
    const std::lock_guard lock(mutex_);
    port = nextPort_;
    nextPort_ += 2;
  }
  return serve(platform::kLoopback, port, std::move(responder));
}

std::shared_ptr<ScriptedPeer> ScriptedNetwork::silentPeer(const platform::IpAddress& address,
                                                          std::uint16_t port) {
  return serve(address, port,
               [](const std::vector<PeerRequest>&) { return std::vector<PeerDatagram>{}; });
}

platform::Resolved ScriptedNetwork::resolve(const std::wstring& host) {
  const std::lock_guard lock(mutex_);
  const auto it = names.find(host);
  if (it == names.end() || it->second.empty()) return {platform::wsa::kHostNotFound, {}};
  return {0, it->second};
}

platform::Opened ScriptedNetwork::openUdp(platform::IpFamily family) {
  return {0, std::make_unique<Socket>(*this, family)};
}

void ScriptedNetwork::carry(Socket& from, const platform::IpAddress& to, std::uint16_t port,
                            std::span<const std::uint8_t> bytes) {
  std::shared_ptr<ScriptedPeer> peer;
  std::uint16_t fromPort = 0;
  {
    const std::lock_guard lock(mutex_);
    for (const auto& p : peers_) {
      if (p->address_ == to && p->port_ == port) peer = p;
    }
    fromPort = from.port_;
  }
  if (!peer) {
    ++queriesSent;
    return;
  }
  std::vector<PeerRequest> soFar;
  {
    const std::lock_guard lock(peer->mutex_);
    peer->requests_.push_back({{bytes.begin(), bytes.end()}, fromPort});
    soFar = peer->requests_;
  }
  // Outside the locks: a responder may move the clock or read a peer.
  const std::vector<PeerDatagram> answers = peer->responder_(soFar);
  const std::lock_guard lock(mutex_);
  std::int64_t atUs = clock_.steadyMicroseconds();
  for (const PeerDatagram& d : answers) {
    atUs += std::chrono::duration_cast<std::chrono::microseconds>(d.delay).count();
    const std::uint16_t sourcePort = d.fromOtherPort ? peer->otherPort() : peer->port_;
    const auto after =
        std::upper_bound(from.queue_.begin(), from.queue_.end(), atUs,
                         [](std::int64_t t, const Arrival& a) { return t < a.atUs; });
    from.queue_.insert(after, Arrival{atUs, d.bytes, peer->address_, sourcePort});
  }
  // Last: a test that sees the count also sees what the responder did, a
  // hold included, so its release cannot come before that hold.
  ++queriesSent;
}

void ScriptedNetwork::holdWaits() {
  const std::lock_guard lock(mutex_);
  held_ = true;
}

void ScriptedNetwork::releaseWaits() {
  {
    const std::lock_guard lock(mutex_);
    held_ = false;
  }
  released_.notify_all();
}

platform::WaitedAny ScriptedNetwork::waitLocked(std::unique_lock<std::mutex>& lock,
                                                std::span<Socket* const> sockets, Deadline until) {
  // A hold nobody lifts would hang the run; in real time, as the fake clock
  // stands still meanwhile.
  if (!released_.wait_for(lock, std::chrono::seconds(20), [this] { return !held_; })) {
    ADD_FAILURE() << "a network wait was held for 20 s and never released";
    held_ = false;
    released_.notify_all();
  }
  if (&until.clock() != &clock_) return {platform::wsa::kInvalidArgument, Readiness::TimedOut, 0};
  std::size_t first = sockets.size();
  for (std::size_t i = 0; i < sockets.size(); ++i) {
    if (sockets[i]->queue_.empty()) continue;
    if (first == sockets.size() ||
        sockets[i]->queue_.front().atUs < sockets[first]->queue_.front().atUs) {
      first = i;
    }
  }
  const std::int64_t now = clock_.steadyMicroseconds();
  if (first < sockets.size()) {
    const std::int64_t atUs = sockets[first]->queue_.front().atUs;
    if (!until.limited() || atUs <= until.steadyUs()) {
      if (atUs > now) clock_.advanceUs(atUs - now);
      return {0, Readiness::Readable, first};
    }
  }
  // Nothing will ever come: a real wait without limit would never end.
  if (!until.limited()) return {platform::wsa::kInvalidArgument, Readiness::TimedOut, 0};
  if (until.steadyUs() > now) clock_.advanceUs(until.steadyUs() - now);
  return {0, Readiness::TimedOut, 0};
}

platform::WaitedAny ScriptedNetwork::waitAnyReadable(std::span<platform::UdpSocket* const> sockets,
                                                     Deadline until) {
  std::vector<Socket*> own;
  for (platform::UdpSocket* s : sockets) {
    auto* mine = dynamic_cast<Socket*>(s);
    if (mine == nullptr) return Network::waitAnyReadable(sockets, until);
    own.push_back(mine);
  }
  std::unique_lock lock(mutex_);
  return waitLocked(lock, own, until);
}

}  // namespace hv::test
