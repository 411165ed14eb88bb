// The client against a real NTP server: chronyd on loopback, serving the
// host's own clock, so the answer must agree with that clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/posix/clock_posix.h"
#include "platform/posix/random_posix.h"
#include "platform/posix/udp_posix.h"
#include "support/chrony_server.h"
#include "time/sntp.h"

namespace hv::time {
namespace {

std::int64_t msOf(TDateTime t) {
  return std::llround(t * kMsPerDay);
}

class SntpChrony : public ::testing::Test {
 protected:
  SntpChrony() {
    client.Host = L"127.0.0.1";
    client.Port = chrony.port();
    client.ReceiveTimeout = 5000;
  }
  test::ChronyServer chrony;
  platform::PosixClock clock;
  platform::PosixNetwork network;
  platform::PosixRandom random;
  TIdSNTP client{clock, network, random};
};

TEST_F(SntpChrony, AnswersAgreeWithTheHostClock) {
  std::int64_t worst = 0;
  double worstOffset = 0;
  std::vector<double> trips;
  // Several queries over the one socket the client keeps.
  for (int i = 0; i < 20; ++i) {
    const std::int64_t before = msOf(fromSystemTime(clock.localTime()));
    const TDateTime t = client.DateTime();
    const std::int64_t after = msOf(fromSystemTime(clock.localTime()));
    ASSERT_NE(t, 0.0) << "no acceptable reply; chronyd said: " << chrony.log();
    const std::int64_t got = msOf(t);
    // The server's transmit time lies within the exchange, give or take the
    // truncation to whole milliseconds.
    const std::int64_t off = got < before ? before - got : got > after ? got - after : 0;
    worst = std::max(worst, off);
    // chronyd serves this machine's own clock.
    const auto& figures = client.LastReply().figures;
    worstOffset = std::max(worstOffset, std::fabs(figures.offsetSeconds));
    trips.push_back(figures.delaySeconds);
  }
  EXPECT_LE(worst, 3) << "ms outside the exchange";
  EXPECT_LE(worstOffset, 0.005);
  // A busy machine may hold one exchange up; the typical one is fast.
  std::sort(trips.begin(), trips.end());
  EXPECT_GE(trips.front(), 0.0);
  EXPECT_LT(trips[trips.size() / 2], 0.005) << "median round trip";
}

TEST_F(SntpChrony, LocalhostInCapitalsSkipsTheLookup) {
  client.Host = L"LOCALHOST";
  EXPECT_GT(yearOf(client.DateTime()), 2000);
}

}  // namespace
}  // namespace hv::time
