// The NTS client under Wine against chronyd's NTS server on the Linux side,
// through Winsock, the Windows clock, BCrypt and the system root store.
// run-nts.sh starts one chronyd whose CA the prefix trusts for this run and
// one whose CA it does not, and names the trusted CA's file.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "nts/nts_client.h"
#include "nts/nts_error.h"
#include "platform/win32/clock_win32.h"
#include "platform/win32/random_win32.h"
#include "platform/win32/tcp_win32.h"
#include "platform/win32/trust_roots_win32.h"
#include "platform/win32/udp_win32.h"

namespace hv::nts {
namespace {

std::uint16_t PortFrom(const char* var) {
  const char* port = std::getenv(var);
  return port == nullptr ? 0 : static_cast<std::uint16_t>(std::atoi(port));
}

struct Server {
  const char* name;
  std::wstring host;
  const char* portVar;
  const char* why;  // empty when the time is to come through
};

void PrintTo(const Server& s, std::ostream* os) {
  *os << s.name;
}

class NtsWine : public ::testing::TestWithParam<Server> {};

TEST(NtsWineRoots, TheRunsCaIsAmongTheSystemRoots) {
  const char* caFile = std::getenv("HORVANE_NTS_CA");
  ASSERT_NE(caFile, nullptr) << "run through tests/win/run-nts.sh";
  std::ifstream in(caFile, std::ios::binary);
  const std::vector<std::uint8_t> der{std::istreambuf_iterator<char>(in),
                                      std::istreambuf_iterator<char>()};
  ASSERT_FALSE(der.empty()) << caFile;
  platform::Win32TrustRoots roots;
  bool held = false;
  for (const auto& r : roots.rootsDer()) held = held || r == der;
  EXPECT_TRUE(held);
}

TEST_P(NtsWine, KeyExchangeAndQueries) {
  const Server& s = GetParam();
  const std::uint16_t port = PortFrom(s.portVar);
  ASSERT_NE(port, 0) << s.portVar << ": run through tests/win/run-nts.sh";
  platform::win32::Win32Clock clock;
  platform::Win32Network network;
  platform::Win32TcpNetwork tcp;
  platform::win32::Win32Random random;
  platform::Win32TrustRoots roots;
  TNtsClient client(clock, network, tcp, random, roots);
  client.Host = s.host;
  client.Port = port;
  client.ReceiveTimeout = 5000;
  if (*s.why != '\0') {
    try {
      client.DateTime();
      ADD_FAILURE() << "the time came through";
    } catch (const NtsError& e) {
      EXPECT_EQ(e.why(), s.why);
    }
    return;
  }
  for (int i = 0; i < 3; ++i) {
    ASSERT_NE(client.DateTime(), 0) << client.LastWhy();
    EXPECT_LT(std::fabs(client.LastReply().offsetSeconds), 1.0);
  }
  EXPECT_EQ(client.CookieStock(), kCookieStock);
  EXPECT_EQ(client.NtpServer(), s.host);
}

INSTANTIATE_TEST_SUITE_P(
    Chronyd, NtsWine,
    ::testing::Values(Server{"Address", L"127.0.0.1", "HORVANE_NTS_PORT", ""},
                      Server{"Name", L"localhost", "HORVANE_NTS_PORT", ""},
                      Server{"UntrustedCa", L"127.0.0.1", "HORVANE_NTS_STRANGER_PORT",
                             "certificate not trusted"}),
    [](const ::testing::TestParamInfo<Server>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace hv::nts
