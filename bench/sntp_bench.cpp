// One SNTP query through TIdSNTP next to a bare UDP round trip over the
// same kind of socket and to the same peer, so the difference is what the
// client itself adds (clock and zone reads, encoding, drain, matching and
// decoding). Peers: a minimal loopback responder, a real chronyd, and an
// in-process socket that answers at once, which leaves only the client's work.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "loopback_responder.h"
#include "platform/posix/clock_posix.h"
#include "platform/posix/random_posix.h"
#include "platform/posix/udp_posix.h"
#include "support/chrony_server.h"
#include "time/sntp.h"

namespace {

using namespace hv;

platform::PosixNetwork& Network() {
  static platform::PosixNetwork network;
  return network;
}

bench::LoopbackResponder& Responder() {
  static bench::LoopbackResponder responder(Network());
  return responder;
}

// Started on first use and stopped at exit; null where chronyd can't run.
test::ChronyServer* Chrony() {
  static const std::unique_ptr<test::ChronyServer> server =
      []() -> std::unique_ptr<test::ChronyServer> {
    try {
      return std::make_unique<test::ChronyServer>();
    } catch (const std::exception&) {
      return nullptr;
    }
  }();
  return server.get();
}

// Answers each request in place, without a system call: what the client
// costs with the network taken away (its clock and zone reads stay real).
class InstantSocket : public platform::UdpSocket {
 public:
  int bindAnyPort() override { return 0; }
  std::uint16_t localPort() override { return 50000; }
  platform::Sent sendTo(const platform::IpAddress&, std::uint16_t,
                        std::span<const std::uint8_t> bytes) override {
    using namespace time::sntp;
    reply_ = EncodeRequest({3839572800u, 0x80000000u});
    reply_[kFlagsOffset] = 0x24;
    reply_[kStratumOffset] = 2;
    std::copy_n(bytes.begin() + kTransmitOffset, kTimestampSize, reply_.begin() + kOriginateOffset);
    return {0, bytes.size()};
  }
  platform::Waited waitReadable(platform::Deadline) override {
    return {0, platform::Readiness::Readable};
  }
  platform::Received receive(std::span<std::uint8_t> buffer) override {
    std::copy(reply_.begin(), reply_.end(), buffer.begin());
    return {0, reply_.size(), platform::kLoopback, 123};
  }
  int drain() override { return 0; }

 private:
  time::sntp::Packet reply_{};
};

class InstantNetwork : public platform::Network {
 public:
  platform::Resolved resolve(const std::wstring&) override { return {}; }
  platform::Opened openUdp(platform::IpFamily) override {
    return {0, std::make_unique<InstantSocket>()};
  }
};

void ClientQuery(benchmark::State& state, std::uint16_t port,
                 platform::Network& network = Network()) {
  platform::PosixClock clock;
  platform::PosixRandom random;
  time::TIdSNTP client(clock, network, random);
  client.Host = L"127.0.0.1";
  client.Port = port;
  client.ReceiveTimeout = 5000;
  // The main window's client keeps its socket open from the first query on.
  if (client.DateTime() == 0) {
    state.SkipWithError("no acceptable reply");
    return;
  }
  for (auto _ : state) {
    const time::TDateTime t = client.DateTime();
    if (t == 0) {
      state.SkipWithError("no acceptable reply");
      break;
    }
    benchmark::DoNotOptimize(t);
  }
}

void RawRoundTrip(benchmark::State& state, std::uint16_t port) {
  platform::Opened opened = Network().openUdp(platform::IpFamily::V4);
  if (opened.error != 0 || opened.socket->bindAnyPort() != 0) {
    state.SkipWithError("no socket");
    return;
  }
  platform::UdpSocket& socket = *opened.socket;
  const time::sntp::Packet request = time::sntp::EncodeRequest({3839572800u, 1u});
  time::sntp::Packet reply{};
  platform::PosixClock clock;
  for (auto _ : state) {
    socket.sendTo(platform::kLoopback, port, request);
    if (socket.waitReadable(platform::Deadline::after(clock, 5000)).readiness !=
            platform::Readiness::Readable ||
        socket.receive(reply).bytes != reply.size()) {
      state.SkipWithError("no reply");
      break;
    }
    benchmark::DoNotOptimize(reply);
  }
}

void BM_SntpClient_Loopback(benchmark::State& state) {
  ClientQuery(state, Responder().port());
}
void BM_RawUdp_Loopback(benchmark::State& state) {
  RawRoundTrip(state, Responder().port());
}

void BM_SntpClient_NoNetwork(benchmark::State& state) {
  InstantNetwork network;
  ClientQuery(state, 123, network);
}

void BM_SntpClient_Chronyd(benchmark::State& state) {
  if (!Chrony()) {
    state.SkipWithError("chronyd did not start");
    return;
  }
  ClientQuery(state, Chrony()->port());
}
void BM_RawUdp_Chronyd(benchmark::State& state) {
  if (!Chrony()) {
    state.SkipWithError("chronyd did not start");
    return;
  }
  RawRoundTrip(state, Chrony()->port());
}

BENCHMARK(BM_SntpClient_NoNetwork);
// Blocking I/O: wall-clock time is the figure that matters.
BENCHMARK(BM_RawUdp_Loopback)->UseRealTime();
BENCHMARK(BM_SntpClient_Loopback)->UseRealTime();
BENCHMARK(BM_RawUdp_Chronyd)->UseRealTime();
BENCHMARK(BM_SntpClient_Chronyd)->UseRealTime();

}  // namespace
