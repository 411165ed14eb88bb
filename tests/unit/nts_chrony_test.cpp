// The NTS client against chronyd's NTS server on loopback, with throw-away
// certificates: authenticated time, the cookie stock, and the trust rules.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <memory>

#include "nts/nts_client.h"
#include "nts/nts_error.h"
#include "platform/posix/tcp_posix.h"
#include "support/fake_clock.h"
#include "support/nts_pki.h"
#include "support/test_network.h"

namespace hv::nts {
namespace {

constexpr std::int64_t kYearUs = 365LL * 86400 * 1'000'000;

struct CountingTcp : platform::PosixTcpNetwork {
  int connects = 0;
  platform::Connected connect(const platform::IpAddress& a, std::uint16_t port,
                              platform::Deadline until) override {
    ++connects;
    return PosixTcpNetwork::connect(a, port, until);
  }
};

class NtsChronyTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    pki_ = new test::TestPki();
    valid_ = new test::NtsChrony(*pki_, "valid");
    expired_ = new test::NtsChrony(*pki_, "expired");
  }
  static void TearDownTestSuite() {
    delete expired_;
    delete valid_;
    delete pki_;
  }

  std::unique_ptr<TNtsClient> client(std::int64_t clockAheadUs, bool clockTrusted,
                                     const test::NtsChrony& server) {
    clock.zone = {};
    clock.followHostClock(clockAheadUs);
    roots.roots = {pki_->caDer()};
    auto c = std::make_unique<TNtsClient>(clock, network, tcp, random, roots);
    c->Host = L"localhost";
    c->Port = server.ntsPort();
    c->ReceiveTimeout = 3000;
    c->FloorUtcSeconds = hostUtcUs() / 1'000'000 - 86400;
    c->ClockTrusted = clockTrusted;
    return c;
  }
  static std::int64_t hostUtcUs() {
    using namespace std::chrono;
    return duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
  }

  static test::TestPki* pki_;
  static test::NtsChrony* valid_;
  static test::NtsChrony* expired_;
  test::FakeClock clock;
  test::TestNetwork network;
  CountingTcp tcp;
  test::TestRandom random;
  test::FixedRoots roots;
};

test::TestPki* NtsChronyTest::pki_ = nullptr;
test::NtsChrony* NtsChronyTest::valid_ = nullptr;
test::NtsChrony* NtsChronyTest::expired_ = nullptr;

TEST_F(NtsChronyTest, AuthenticatedTimeKeepsTheCookieStockWithOneKeyExchange) {
  auto c = client(0, false, *valid_);
  for (int i = 0; i < 12; ++i) {
    ASSERT_NE(c->DateTime(), 0) << "query " << i << ": " << c->LastWhy() << "\n" << valid_->log();
    EXPECT_LT(std::fabs(c->LastReply().offsetSeconds), 1.0);
    EXPECT_EQ(c->CookieStock(), kCookieStock);
  }
  EXPECT_EQ(tcp.connects, 1);
  EXPECT_EQ(roots.reads, 1);
  EXPECT_EQ(c->NtpServer(), L"localhost");
  EXPECT_EQ(c->LastReply().stratum, 1);
  // Agreeing with the clock, the answer vouches for it.
  EXPECT_TRUE(c->ClockTrusted);
}

// Until an authenticated answer vouches for the clock, a certificate's dates
// are held against the build date and the chain, not the clock.
TEST_F(NtsChronyTest, TrustFailsClosed) {
  struct Case {
    const char* name;
    bool otherCa;
    const wchar_t* host;
    std::int64_t clockAheadUs;
    bool clockTrusted;
    bool expiredLeaf;
    const char* why;  // nullptr: accepted
    int buildDaysAgo = 1;
  } const cases[] = {
      {"wrong CA", true, L"localhost", 0, false, false, "certificate not trusted"},
      {"wrong name", false, L"127.0.0.1", 0, false, false, "certificate names another host"},
      {"expired, correct clock", false, L"localhost", 0, true, true, "certificate out of date"},
      {"expired before the build date", false, L"localhost", 0, false, true,
       "certificate out of date"},
      {"valid, trusted clock a year ahead", false, L"localhost", kYearUs, true, false,
       "certificate out of date"},
      {"valid, clock a year back", false, L"localhost", -kYearUs, false, false, nullptr},
      {"valid, clock a year ahead", false, L"localhost", kYearUs, false, false, nullptr},
      // Lapsed since a build of long ago: the clock can't judge it yet.
      {"expired after the build date, clock a year back", false, L"localhost", -kYearUs, false,
       true, nullptr, 2000},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    auto c = client(k.clockAheadUs, k.clockTrusted, k.expiredLeaf ? *expired_ : *valid_);
    c->FloorUtcSeconds = hostUtcUs() / 1'000'000 - k.buildDaysAgo * 86400LL;
    if (k.otherCa) roots.roots = {pki_->otherCaDer()};
    c->Host = k.host;
    if (k.why == nullptr) {
      EXPECT_NE(c->DateTime(), 0) << c->LastWhy();
      EXPECT_NEAR(c->LastReply().offsetSeconds, -k.clockAheadUs / 1e6, 1.0);
      EXPECT_FALSE(c->ClockTrusted);
      continue;
    }
    try {
      c->DateTime();
      ADD_FAILURE() << "accepted";
    } catch (const NtsError& e) {
      EXPECT_EQ(e.why(), k.why);
    }
  }
}

}  // namespace
}  // namespace hv::nts
