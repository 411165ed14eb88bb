// The relay holds each direction for its own delay. chronyd serves the
// host's clock, so the two legs of one exchange can be read off its receive
// and transmit stamps against the host clock: T2 - T1 is the way out, T4 - T3
// the way back.
#include "support/udp_relay.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <vector>

#include "support/chrony_server.h"

namespace hv::test {
namespace {

using namespace std::chrono_literals;
using Real = std::chrono::system_clock;

constexpr std::int64_t kUnixToNtpSeconds = 2208988800;

double NtpToUnix(const std::uint8_t* p) {
  const auto word = [&](int at) {
    return std::uint32_t{p[at]} << 24 | std::uint32_t{p[at + 1]} << 16 |
           std::uint32_t{p[at + 2]} << 8 | p[at + 3];
  };
  return static_cast<double>(static_cast<std::int64_t>(word(0)) - kUnixToNtpSeconds) +
         word(4) / 4294967296.0;
}

double NowUnix() {
  return std::chrono::duration<double>(Real::now().time_since_epoch()).count();
}

struct Legs {
  double outMs = 0, backMs = 0;
};

// One exchange with chronyd through the relay at port; false without an answer.
bool Exchange(int fd, std::uint16_t port, Legs& legs) {
  std::array<std::uint8_t, 48> request{0x23};
  request[40] = 0xEB;
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(port);
  to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const double t1 = NowUnix();
  if (::sendto(fd, request.data(), request.size(), 0, reinterpret_cast<sockaddr*>(&to),
               sizeof to) != 48) {
    return false;
  }
  pollfd p{fd, POLLIN, 0};
  if (::poll(&p, 1, 2000) != 1) return false;
  std::array<std::uint8_t, 48> reply{};
  const ssize_t n = ::recv(fd, reply.data(), reply.size(), 0);
  const double t4 = NowUnix();
  if (n != 48) return false;
  legs.outMs = (NtpToUnix(&reply[32]) - t1) * 1000;
  legs.backMs = (t4 - NtpToUnix(&reply[40])) * 1000;
  return true;
}

TEST(UdpRelay, HoldsEachDirectionForItsOwnDelay) {
  ASSERT_NE(ChronydPort(), 0) << ChronydLog();
  const RelayPath path{20ms, 60ms};
  UdpRelay relay(ChronydPort(), path);
  const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  ASSERT_GE(fd, 0);
  std::vector<double> out, back;
  for (int i = 0; i < 5; ++i) {
    Legs legs;
    ASSERT_TRUE(Exchange(fd, relay.port(), legs)) << "no answer through the relay";
    out.push_back(legs.outMs);
    back.push_back(legs.backMs);
  }
  ::close(fd);
  std::sort(out.begin(), out.end());
  std::sort(back.begin(), back.end());
  // Never early (the host clock is read to the microsecond on both sides),
  // and typically within well under a millisecond of the delay asked for; a
  // busy machine may wake the relay late now and then, hence the median.
  EXPECT_GT(out.front(), 20 - 0.2);
  EXPECT_GT(back.front(), 60 - 0.2);
  EXPECT_LT(out[2], 20 + 0.5);
  EXPECT_LT(back[2], 60 + 0.5);
  EXPECT_EQ(relay.forwarded(), 10u);
}

}  // namespace
}  // namespace hv::test
