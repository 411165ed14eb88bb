// The client against a real NTP server, chronyd on loopback, through the
// real socket, clock and random adapters of the build: the host's natively,
// Winsock, the Windows clock and BCrypt under Wine. chronyd serves the host's
// clock, so in local terms its answer is the local clock the adapter
// reports: the request stamp, the reply decoding and the zone offset all
// take part.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "support/chrony_server.h"
#include "support/datetime_ms.h"
#include "support/test_network.h"
#include "time/sntp.h"

namespace hv::time {
namespace {

using namespace std::chrono_literals;
using test::MsOf;

class SntpChrony : public ::testing::Test {
 protected:
  void SetUp() override {
    // A run without a server is a failed run, never a skipped one.
    ASSERT_NE(test::ChronydPort(), 0) << test::ChronydLog();
    client.Host = L"127.0.0.1";
    client.Port = test::ChronydPort();
    client.ReceiveTimeout = 5000;
  }

  std::int64_t localNowMs() { return MsOf(FromSystemTime(clock.localTime())); }

  // How far the answer lies outside the exchange, in ms; -1 when refused.
  std::int64_t queryOutsideMs() {
    const std::int64_t before = localNowMs();
    const TDateTime t = client.DateTime();
    const std::int64_t after = localNowMs();
    if (t == 0.0) return -1;
    const std::int64_t got = MsOf(t);
    return got < before ? before - got : got > after ? got - after : 0;
  }

  test::TestClock clock;
  test::TestNetwork network;
  test::TestRandom random;
  TIdSNTP client{clock, network, random};
};

// Several queries over the one socket the client keeps. The server's
// transmit time lies within the exchange, give or take the truncation to
// whole milliseconds.
TEST_F(SntpChrony, AnswersAgreeWithTheLocalClockOverOneSocket) {
  std::int64_t worst = 0;
  std::vector<double> offsets;
  std::vector<double> trips;
  for (int i = 0; i < 10; ++i) {
    const auto start = std::chrono::steady_clock::now();
    const std::int64_t outside = queryOutsideMs();
    ASSERT_GE(outside, 0) << "query " << i << ": no acceptable reply; " << test::ChronydLog();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s) << "query " << i;
    worst = std::max(worst, outside);
    const auto& figures = client.LastReply();
    offsets.push_back(std::fabs(figures.offsetSeconds));
    trips.push_back(figures.delaySeconds);
  }
  EXPECT_LE(worst, 3) << "ms outside the exchange";
  // chronyd serves this machine's own clock. A busy machine may hold an
  // exchange up, and a held-up exchange's offset may be off by up to half its
  // round trip; the typical one is fast and near zero.
  std::sort(offsets.begin(), offsets.end());
  std::sort(trips.begin(), trips.end());
  EXPECT_LE(offsets[offsets.size() / 2], 0.005) << "median offset";
  EXPECT_GE(trips.front(), 0.0);
  EXPECT_LT(trips[trips.size() / 2], 0.005) << "median round trip";
}

// "localhost" is read without a look-up, in any case; "127.1" is no dotted
// quad of four parts, so the resolver turns it into 127.0.0.1. The IPv6
// literals go over IPv6.
TEST_F(SntpChrony, ReachesTheServerByNameThroughTheResolverAndOverIpv6) {
  struct Case {
    const wchar_t* host;
    platform::IpAddress answered;
  };
  for (const Case& c :
       {Case{L"localhost", platform::kLoopback}, Case{L"LOCALHOST", platform::kLoopback},
        Case{L"127.1", platform::kLoopback}, Case{L"::1", platform::kLoopback6},
        Case{L"[::1]", platform::kLoopback6}}) {
    client.Host = c.host;
    EXPECT_GE(queryOutsideMs(), 0)
        << "no acceptable reply via " << c.host << "; " << test::ChronydLog();
    EXPECT_EQ(client.LastReply().server, c.answered) << c.host;
  }
}

#ifdef _WIN32
// A name whose first address, 127.0.0.1, never answers and whose second,
// ::1, is a chronyd, through Winsock's own resolver: the runner names it in a
// hosts file that only Wine sees.
TEST_F(SntpChrony, ANameWithASilentFirstAddressAnswersFromTheNextAfterASecond) {
  const char* host = std::getenv("HORVANE_POOL_HOST");
  const char* port = std::getenv("HORVANE_POOL_PORT");
  if (host == nullptr || *host == '\0' || port == nullptr) {
    GTEST_SKIP() << "no hosts file of Wine's own: tests/win/run-adapters.sh names the pool";
  }
  client.Host = std::wstring(host, host + std::strlen(host));
  client.Port = static_cast<std::uint16_t>(std::atoi(port));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_GE(queryOutsideMs(), 0) << "no acceptable reply";
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(client.LastReply().server, platform::kLoopback6);
  EXPECT_GE(elapsed, 1000ms);
  EXPECT_LT(elapsed, 1500ms);
}
#endif

}  // namespace
}  // namespace hv::time
