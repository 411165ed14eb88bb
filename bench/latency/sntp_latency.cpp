// Latency of one SNTP query against chronyd on 127.0.0.1:123, in one run:
// TIdSNTP::DateTime, a bare sendto/recvfrom round trip over the same kind of
// socket, and Debian's ntpdig client (which only speaks to port 123). Prints
// median and 99th percentile of each and the client's overhead over the bare
// round trip. Needs root for port 123; never touches the host clock.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/posix/clock_posix.h"
#include "platform/posix/random_posix.h"
#include "platform/posix/udp_posix.h"
#include "support/chrony_server.h"
#include "time/sntp.h"
#include "time/sntp_packet.h"

extern char** environ;

namespace {

using namespace hv;
using Clock = std::chrono::steady_clock;

struct Stats {
  double median, p99, mean;
};

Stats StatsOf(std::vector<double> us) {
  std::sort(us.begin(), us.end());
  double sum = 0;
  for (double v : us) sum += v;
  const auto at = [&](double q) {
    return us[std::min(us.size() - 1,
                       static_cast<std::size_t>(q * static_cast<double>(us.size())))];
  };
  return {at(0.5), at(0.99), sum / static_cast<double>(us.size())};
}

double MicrosSince(Clock::time_point start) {
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

// One bare exchange: the same 48-byte request, wait, receive.
bool MeasureRawRoundTrip(platform::UdpSocket& s, std::uint16_t port) {
  const time::sntp::Packet request = time::sntp::EncodeRequest({3839572800u, 1u});
  if (s.sendTo(platform::kLoopback, port, request).error != 0) return false;
  platform::PosixClock clock;
  if (s.waitReadable(platform::Deadline::after(clock, 5000)).readiness !=
      platform::Readiness::Readable)
    return false;
  time::sntp::Packet reply{};
  return s.receive(reply).error == 0;
}

// ntpdig -p 1: one query, as a user of that client gets it (process start included).
bool RunNtpdig() {
  const char* argv[] = {"ntpdig", "-p", "1", "-t", "5", "127.0.0.1", nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, "ntpdig", &actions, nullptr, const_cast<char**>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return false;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void RowOf(const char* what, int n, const Stats& s) {
  std::printf("| %s | %d | %.1f | %.1f | %.1f |\n", what, n, s.median, s.p99, s.mean);
}

}  // namespace

int main(int argc, char** argv) {
  const int queries = argc > 1 ? std::atoi(argv[1]) : 2000;
  const int ntpdigRuns = argc > 2 ? std::atoi(argv[2]) : 100;
  try {
    test::ChronyServer chrony(123);
    platform::PosixClock clock;
    platform::PosixNetwork network;
    platform::PosixRandom random;
    time::TIdSNTP client(clock, network, random);
    client.Host = L"127.0.0.1";
    client.ReceiveTimeout = 5000;
    platform::Opened raw = network.openUdp(platform::IpFamily::V4);
    if (raw.error != 0 || raw.socket->bindAnyPort() != 0) throw std::runtime_error("no socket");

    // Warm both paths up, then interleave them so load changes hit both alike.
    for (int i = 0; i < 50; ++i) {
      client.DateTime();
      MeasureRawRoundTrip(*raw.socket, 123);
    }
    std::vector<double> clientUs, rawUs;
    int clientFailures = 0;
    for (int i = 0; i < queries; ++i) {
      auto start = Clock::now();
      if (client.DateTime() == 0) ++clientFailures;
      clientUs.push_back(MicrosSince(start));
      start = Clock::now();
      if (!MeasureRawRoundTrip(*raw.socket, 123))
        throw std::runtime_error("bare round trip failed");
      rawUs.push_back(MicrosSince(start));
    }
    std::vector<double> ntpdigUs;
    for (int i = 0; i < ntpdigRuns; ++i) {
      const auto start = Clock::now();
      if (!RunNtpdig()) break;
      ntpdigUs.push_back(MicrosSince(start));
    }

    const Stats c = StatsOf(clientUs), r = StatsOf(rawUs);
    std::printf("| What | Queries | Median µs | p99 µs | Mean µs |\n|---|---:|---:|---:|---:|\n");
    RowOf("bare sendto/recvfrom round trip", queries, r);
    RowOf("`TIdSNTP::DateTime`", queries, c);
    if (!ntpdigUs.empty()) {
      RowOf("`ntpdig -p 1` (whole process)", static_cast<int>(ntpdigUs.size()), StatsOf(ntpdigUs));
    } else {
      std::printf("| `ntpdig` | 0 | did not run | | |\n");
    }
    std::printf("\nClient overhead over the bare round trip: median %+.1f%%, p99 %+.1f%%\n",
                100.0 * (c.median - r.median) / r.median, 100.0 * (c.p99 - r.p99) / r.p99);
    std::printf("Queries without an acceptable reply: %d\n", clientFailures);
    return clientFailures == 0 ? 0 : 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "sntp_latency: %s\n", e.what());
    return 2;
  }
}
