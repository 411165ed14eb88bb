// One SNTP query through TIdSNTP next to a bare UDP round trip over the
// same kind of socket and to the same peer, so the difference is what the
// client itself adds (clock and zone reads, encoding, drain, matching and
// decoding). Peers: a minimal loopback responder, and a real chronyd.
#include <benchmark/benchmark.h>

#include <memory>
#include <stdexcept>

#include "loopback_responder.h"
#include "platform/posix/clock_posix.h"
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

void ClientQuery(benchmark::State& state, std::uint16_t port) {
  platform::PosixClock clock;
  time::TIdSNTP client(clock, Network());
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
  platform::Opened opened = Network().openUdp();
  if (opened.error != 0 || opened.socket->bindAnyPort() != 0) {
    state.SkipWithError("no socket");
    return;
  }
  platform::UdpSocket& socket = *opened.socket;
  const time::sntp::Packet request = time::sntp::encodeRequest({3839572800u, 1u});
  time::sntp::Packet reply{};
  for (auto _ : state) {
    socket.sendTo(platform::kLoopback, port, request);
    if (socket.waitReadable(5000).readiness != platform::Readiness::Readable ||
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

// Blocking I/O: wall-clock time is the figure that matters.
BENCHMARK(BM_RawUdp_Loopback)->UseRealTime();
BENCHMARK(BM_SntpClient_Loopback)->UseRealTime();
BENCHMARK(BM_RawUdp_Chronyd)->UseRealTime();
BENCHMARK(BM_SntpClient_Chronyd)->UseRealTime();

}  // namespace
