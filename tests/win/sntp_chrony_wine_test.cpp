// TIdSNTP under Wine against a real chronyd on loopback, with the real
// Winsock and clock adapters. chronyd runs on the Linux side: the runner
// starts it and hands its port over in HORVANE_CHRONYD_PORT.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "platform/win32/clock_win32.h"
#include "platform/win32/random_win32.h"
#include "platform/win32/udp_win32.h"
#include "time/sntp.h"

namespace hv::time {
namespace {

using namespace std::chrono_literals;

std::int64_t msOf(TDateTime t) {
  return std::llround(t * kMsPerDay);
}

std::uint16_t chronydPort() {
  const char* given = std::getenv("HORVANE_CHRONYD_PORT");
  const long port = given != nullptr ? std::strtol(given, nullptr, 10) : 0;
  return port > 0 && port < 65536 ? static_cast<std::uint16_t>(port) : 0;
}

class SntpChronyWine : public ::testing::Test {
 protected:
  void SetUp() override {
    // A run without a server is a failed run, never a skipped one.
    ASSERT_NE(chronydPort(), 0) << "no chronyd: run these through tests/win/run-adapters.sh, "
                                   "which starts one and sets HORVANE_CHRONYD_PORT";
    client.Host = L"127.0.0.1";
    client.Port = chronydPort();
    client.ReceiveTimeout = 5000;
  }

  std::int64_t localNowMs() { return msOf(fromSystemTime(clock.localTime())); }

  // How far the answer lies outside the exchange, in ms; -1 when refused.
  std::int64_t queryOutsideMs() {
    const std::int64_t before = localNowMs();
    const TDateTime t = client.DateTime();
    const std::int64_t after = localNowMs();
    if (t == 0.0) return -1;
    const std::int64_t got = msOf(t);
    return got < before ? before - got : got > after ? got - after : 0;
  }

  platform::win32::Win32Clock clock;
  platform::Win32Network network;
  platform::win32::Win32Random random;
  TIdSNTP client{clock, network, random};
};

// chronyd serves the host's clock, so in local terms its answer is the
// local clock Wine reports: the request stamp, the reply decoding and the
// zone offset of the real clock adapter all take part.
TEST_F(SntpChronyWine, AnswersAgreeWithTheLocalClockOverOneSocket) {
  std::int64_t worst = 0;
  double worstOffset = 0;
  std::vector<double> trips;
  for (int i = 0; i < 10; ++i) {
    const auto start = std::chrono::steady_clock::now();
    const std::int64_t outside = queryOutsideMs();
    ASSERT_GE(outside, 0) << "query " << i << ": no acceptable reply";
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s) << "query " << i;
    worst = std::max(worst, outside);
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

// "localhost" is read without a look-up; "127.1" is no dotted quad of four
// parts, so GetAddrInfoW turns it into 127.0.0.1.
TEST_F(SntpChronyWine, ReachesTheServerByNameAndThroughTheResolver) {
  for (const wchar_t* host : {L"localhost", L"LOCALHOST", L"127.1"}) {
    client.Host = host;
    EXPECT_GE(queryOutsideMs(), 0) << "no acceptable reply via " << host;
  }
}

}  // namespace
}  // namespace hv::time
