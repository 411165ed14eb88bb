// A server written nts://host:port in the main window, against chronyd's
// NTS server on loopback: the time and its tooltip, the clock set from it,
// and failures that end as plain ones do, never asked without NTS.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "support/app_harness.h"
#include "support/loopback_network.h"
#include "support/nts_pki.h"
#include "time/datetime.h"

namespace hv::app {
namespace {

using test::AppHarness;

class MainWindowNts : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    pki_ = new test::TestPki();
    server_ = new test::NtsChrony(*pki_, "valid");
  }
  static void TearDownTestSuite() {
    delete server_;
    delete pki_;
  }
  static test::TestPki* pki_;
  static test::NtsChrony* server_;
};
test::TestPki* MainWindowNts::pki_ = nullptr;
test::NtsChrony* MainWindowNts::server_ = nullptr;

TEST_F(MainWindowNts, AnAuthenticatedAnswerSetsTheClockAndSaysSo) {
  test::LoopbackNetwork network;
  network.names[L"localhost"] = {platform::kLoopback};
  AppHarness h(&network);
  h.trustRoots.roots = {pki_->caDer()};
  h.setting(L"Server", L"nts://localhost:" + std::to_wstring(server_->ntsPort()));
  h.clock.followHostClock(3'000'000);
  TAppForm& f = h.start();
  f.Timer1.setEnabled(false);
  h.windows.userClick(f.BitBtn1);
  ASSERT_TRUE(h.windows.shownBoxes.empty()) << h.windows.shownBoxes[0].text << server_->log();
  ASSERT_TRUE(f.BitBtn2.enabled()) << f.Label2.hint();
  const std::wstring hint = f.Label2.hint();
  EXPECT_NE(hint.find(L" \u00B7 localhost 127.0.0.1 \u00B7 authenticated (NTS)"),
            std::wstring::npos)
      << hint;
  h.windows.userClick(f.BitBtn2);
  ASSERT_EQ(h.clock.setCalls.size(), 1u);
  h.windows.userClick(f.BitBtn1);
  const std::wstring after = f.Label2.hint();
  ASSERT_EQ(after.substr(0, 7), L"Offset ") << after;
  EXPECT_LT(std::fabs(std::stod(after.substr(7))), 0.1) << after;
  EXPECT_EQ(network.plainQueries, 0);
}

// Each ends in a box as a plain server's failure does, with why in the
// tooltip, and nothing is asked of the server without NTS.
TEST_F(MainWindowNts, FailuresEndInTheBoxesOfPlainOnesWithWhyInTheTooltip) {
  const std::uint16_t closed = test::FreeTcpPort();
  const std::wstring port = std::to_wstring(server_->ntsPort());
  struct Case {
    const char* what;
    std::wstring server;
    bool trusted;
    const wchar_t* hint;
  } cases[] = {
      {"unknown CA", L"nts://localhost:" + port, false, L"NTS failed: certificate not trusted"},
      {"another name", L"nts://127.0.0.1:" + port, true,
       L"NTS failed: certificate names another host"},
      {"nobody listens", L"nts://localhost:" + std::to_wstring(closed), true,
       L"NTS failed: no answer"},
      {"port out of range", L"nts://localhost:65536", true, L"NTS failed: bad server name"},
  };
  for (const Case& c : cases) {
    test::LoopbackNetwork network;
    network.names[L"localhost"] = {platform::kLoopback};
    AppHarness h(&network);
    h.trustRoots.roots = {c.trusted ? pki_->caDer() : pki_->otherCaDer()};
    h.setting(L"Server", c.server);
    TAppForm& f = h.start();
    f.Timer1.setEnabled(false);
    h.windows.shownBoxes.clear();
    h.windows.userClick(f.BitBtn1);
    ASSERT_EQ(h.windows.shownBoxes.size(), 1u) << c.what;
    EXPECT_EQ(h.windows.shownBoxes[0].text, L"Server Error!") << c.what;
    EXPECT_EQ(f.Label2.hint(), c.hint) << c.what;
    EXPECT_FALSE(f.BitBtn2.enabled()) << c.what;
    EXPECT_EQ(network.plainQueries, 0) << c.what;
  }
}

}  // namespace
}  // namespace hv::app
