#include "udp_fixture.h"

#include <algorithm>
#include <stdexcept>

namespace hv::test {
namespace {

std::unique_ptr<platform::UdpSocket> boundSocket(platform::Network& network,
                                                 platform::IpFamily family) {
  platform::Opened opened = network.openUdp(family);
  if (opened.error != 0 || opened.socket->bindAnyPort() != 0) {
    throw std::runtime_error("udp fixture: no socket");
  }
  return std::move(opened.socket);
}

void putUint32(std::vector<std::uint8_t>& p, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

}  // namespace

UdpFixture::UdpFixture(platform::Network& network, Responder responder, platform::IpFamily family)
    : responder_(std::move(responder)),
      main_(boundSocket(network, family)),
      other_(boundSocket(network, family)) {
  port_ = main_->localPort();
  otherPort_ = other_->localPort();
  thread_ = std::thread([this] { run(); });
}

UdpFixture::~UdpFixture() {
  stop_ = true;
  thread_.join();
}

std::vector<FixtureRequest> UdpFixture::requests() const {
  const std::lock_guard lock(mutex_);
  return requests_;
}

void UdpFixture::run() {
  std::vector<std::uint8_t> buffer(2048);
  while (!stop_) {
    if (main_->waitReadable(20).readiness != platform::Readiness::Readable) continue;
    const platform::Received got = main_->receive(buffer);
    if (got.error != 0) continue;
    std::vector<FixtureRequest> soFar;
    {
      const std::lock_guard lock(mutex_);
      requests_.push_back(
          {{buffer.begin(), buffer.begin() + static_cast<long>(got.bytes)}, got.sourcePort});
      soFar = requests_;
    }
    for (const FixtureDatagram& d : responder_(soFar)) {
      if (d.delay.count() > 0) std::this_thread::sleep_for(d.delay);
      if (stop_) return;
      platform::UdpSocket& from = d.fromOtherPort ? *other_ : *main_;
      from.sendTo(got.source, got.sourcePort, d.bytes);
    }
  }
}

std::array<std::uint8_t, 8> transmitOf(const FixtureRequest& request) {
  std::array<std::uint8_t, 8> t{};
  if (request.bytes.size() >= 48) std::copy_n(request.bytes.begin() + 40, 8, t.begin());
  return t;
}

std::vector<std::uint8_t> craftReply(const FixtureRequest& request, const ReplyFields& f) {
  std::vector<std::uint8_t> p(std::max<std::size_t>(f.size, 48), 0);
  p[0] = static_cast<std::uint8_t>(f.leap << 6 | f.version << 3 | f.mode);
  p[1] = static_cast<std::uint8_t>(f.stratum);
  p[2] = 6;     // poll
  p[3] = 0xEC;  // precision
  std::copy(f.referenceId.begin(), f.referenceId.end(), p.begin() + 12);
  const auto originate = f.originate.value_or(transmitOf(request));
  std::copy(originate.begin(), originate.end(), p.begin() + 24);
  putUint32(p, 16, f.seconds - 16);               // reference
  putUint32(p, 32, f.seconds - f.receiveBefore);  // receive
  putUint32(p, 36, f.fraction);
  putUint32(p, 40, f.seconds);  // transmit
  putUint32(p, 44, f.fraction);
  p.resize(f.size);
  return p;
}

}  // namespace hv::test
