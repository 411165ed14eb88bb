// The NTS client against a scripted server for the answers no real server
// sends: each case must end without time, or with the refusal named.
#include "nts/nts_client.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "nts/nts_error.h"
#include "platform/posix/tcp_posix.h"
#include "support/nts_pki.h"
#include "support/scripted_nts.h"
#include "support/test_network.h"

namespace hv::nts {
namespace {

using Reply = test::ScriptedNts::Reply;

// Each case has a server of its own and runs beside the others: most of
// them wait out the whole time-out, and nine such waits in a row cost seconds.
TEST(NtsClient, HostileAnswersFailClosed) {
  const test::TestPki pki;
  using Records = std::vector<std::uint8_t> (*)(const test::ScriptedNts&);
  struct Case {
    const char* name;
    Reply reply;
    Records records;  // nullptr: a normal answer with 8 cookies
    int msPerByte;
    const char* throws;  // the refusal, or nullptr
    bool time;           // the first query gives time
    int keyExchanges;    // after two queries
  } const cases[] = {
      {"good", Reply::Good, nullptr, 0, nullptr, true, 1},
      {"tampered", Reply::Tampered, nullptr, 0, nullptr, false, 1},
      {"no unique identifier", Reply::NoUniqueId, nullptr, 0, nullptr, false, 1},
      {"wrong unique identifier", Reply::WrongUniqueId, nullptr, 0, nullptr, false, 1},
      // Each NAK earns one new key exchange, and no more within the query.
      {"NAK", Reply::Nak, nullptr, 0, nullptr, false, 4},
      {"cookie stock runs out", Reply::NoCookies,
       [](const test::ScriptedNts& s) { return s.answer(1); }, 0, nullptr, true, 2},
      {"unknown critical record", Reply::Good,
       [](const test::ScriptedNts& s) {
         auto r = s.answer(8);
         r.insert(r.begin(), {0x80, 0x42, 0, 0});
         return r;
       },
       0, "unknown critical record", false, 2},
      {"error record", Reply::Good,
       [](const test::ScriptedNts&) {
         return std::vector<std::uint8_t>{0x80, 2, 0, 2, 0, 1, 0x80, 0, 0, 0};
       },
       0, "key exchange refused", false, 2},
      {"no cookie", Reply::Good,
       [](const test::ScriptedNts&) {
         return std::vector<std::uint8_t>{0x80, 1, 0, 2, 0, 0, 0x80, 4, 0, 2, 0, 15, 0x80, 0, 0, 0};
       },
       0, "no cookie", false, 2},
      {"answer cut short", Reply::Good,
       [](const test::ScriptedNts&) { return std::vector<std::uint8_t>{0x80, 1, 0, 2, 0, 0}; }, 0,
       "key exchange cut short", false, 2},
      {"trickling answer", Reply::Good, nullptr, 40, "key exchange timed out", false, 2},
  };
  std::vector<std::thread> runs;
  for (const Case& k : cases) {
    runs.emplace_back([&pki, &k] {
      SCOPED_TRACE(k.name);
      test::ScriptedNts server(pki.certFile("valid"), pki.keyFile("valid"));
      server.reply = k.reply;
      server.records = k.records ? k.records(server) : server.answer(8);
      server.msPerByte = k.msPerByte;
      platform::PosixClock clock;
      test::TestNetwork network;
      platform::PosixTcpNetwork tcp;
      test::TestRandom random;
      test::FixedRoots roots;
      roots.roots = {pki.caDer()};
      TNtsClient client(clock, network, tcp, random, roots);
      client.Host = L"localhost";
      client.Port = server.kePort();
      client.ReceiveTimeout = 300;
      for (int query = 0; query < 2; ++query) {
        const auto started = std::chrono::steady_clock::now();
        if (k.throws != nullptr) {
          try {
            client.DateTime();
            ADD_FAILURE() << "accepted";
          } catch (const NtsError& e) {
            EXPECT_EQ(e.why(), k.throws);
          }
        } else {
          EXPECT_EQ(client.DateTime() != 0, k.time) << query << ": " << client.LastWhy();
        }
        // The key exchange and the query share the one wait.
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(550));
      }
      EXPECT_EQ(server.keyExchanges, k.keyExchanges);
    });
  }
  for (auto& run : runs) run.join();
}

}  // namespace
}  // namespace hv::nts
