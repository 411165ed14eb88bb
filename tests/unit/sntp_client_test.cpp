// TIdSNTP against scripted peers that craft their replies, in fake time.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>

#include "support/datetime_ms.h"
#include "support/fake_clock.h"
#include "support/scripted_network.h"
#include "support/test_network.h"
#include "time/sntp.h"
#include "time/sntp_timestamp.h"

namespace hv::time {
namespace {

using namespace std::chrono_literals;
using test::PeerDatagram;
using test::PeerRequest;
using test::ReplyFields;

constexpr std::uint32_t k2021Sep2Noon = 3839572800u;

using test::MsOf;

// Local time of k2021Sep2Noon + extraSeconds at the clients' bias of -120.
std::int64_t LocalMs(int extraSeconds, int ms = 0) {
  return MsOf(EncodeDateTime(2021, 9, 2, 14, 0, extraSeconds, ms));
}

test::Responder AnswerWith(ReplyFields fields) {
  return [fields](const std::vector<PeerRequest>& r) {
    return std::vector<PeerDatagram>{{test::CraftReply(r.back(), fields)}};
  };
}

test::Responder SilentScript() {
  return [](const std::vector<PeerRequest>&) { return std::vector<PeerDatagram>{}; };
}

class SntpClient : public ::testing::Test {
 protected:
  SntpClient() {
    clock.set(EncodeDateTime(2021, 9, 2, 14, 0, 0, 250));
    clock.setBias(-120);
    client.Host = L"127.0.0.1";
    client.ReceiveTimeout = 300;
  }

  TDateTime now() { return FromSystemTime(clock.localTime()); }
  // One query against a fresh peer; the fake time it took lands in elapsed.
  TDateTime query(test::Responder responder) {
    const auto peer = network.serve(std::move(responder));
    client.Port = peer->port();
    const std::int64_t start = clock.steadyMicroseconds();
    const TDateTime t = client.DateTime();
    elapsed = std::chrono::microseconds(clock.steadyMicroseconds() - start);
    requests = peer->requests();
    return t;
  }

  test::FakeClock clock;
  test::ScriptedNetwork network{clock};
  test::TestRandom random;
  TIdSNTP client{clock, network, random};
  std::chrono::microseconds elapsed{};
  std::vector<PeerRequest> requests;
};

TEST_F(SntpClient, SendsOneClientRequestStampedWithTheLocalClock) {
  query(AnswerWith({}));
  ASSERT_EQ(requests.size(), 1u);
  const auto& p = requests[0].bytes;
  ASSERT_EQ(p.size(), 48u);
  EXPECT_EQ(p[0], 0x1B);
  for (std::size_t i = 1; i < 40; ++i) EXPECT_EQ(p[i], 0) << "byte " << i;
  const std::uint32_t seconds = p[40] << 24 | p[41] << 16 | p[42] << 8 | p[43];
  const std::uint32_t fraction = p[44] << 24 | p[45] << 16 | p[46] << 8 | p[47];
  EXPECT_EQ(seconds, k2021Sep2Noon);
  // The clock to the millisecond; below it, a nonce.
  EXPECT_NEAR(fraction / 4294967297.0, 0.25, 0.001);
}

TEST_F(SntpClient, RepliesMustEchoTheNonceBelowTheMillisecond) {
  // The clock stands still: two requests in one millisecond differ by the
  // nonce alone.
  query(AnswerWith({}));
  const auto first = TransmitOf(requests.at(0));
  query(AnswerWith({}));
  EXPECT_NE(TransmitOf(requests.at(0)), first);

  // A forger who knows our clock to the millisecond, but not the nonce.
  const auto clockOnly = sntp::LocalToNtp(now(), sntp::OffsetDays(-120));
  const TDateTime t = query([&](const std::vector<PeerRequest>& r) {
    ReplyFields forged;
    forged.originate = TransmitOf(r.back());
    for (int i = 0; i < 4; ++i)
      (*forged.originate)[4 + i] = static_cast<std::uint8_t>(clockOnly.fraction >> (24 - 8 * i));
    return std::vector<PeerDatagram>{{test::CraftReply(r.back(), forged)}};
  });
  EXPECT_EQ(t, 0) << "refused";
}

TEST_F(SntpClient, AcceptanceRules) {
  struct Case {
    const char* name;
    ReplyFields reply;
    bool checkStratum;
    bool accepted;
  };
  const Case cases[] = {
      {"leap 0", {.leap = 0}, true, true},
      {"leap 1", {.leap = 1}, true, true},
      {"leap 2", {.leap = 2}, true, true},
      {"leap 3", {.leap = 3}, true, false},
      {"stratum 0", {.stratum = 0}, true, false},
      {"stratum 1", {.stratum = 1}, true, true},
      {"stratum 15", {.stratum = 15}, true, true},
      {"stratum 16", {.stratum = 16}, true, false},
      {"stratum 0 unchecked", {.stratum = 0}, false, true},
      {"stratum 255 unchecked", {.stratum = 255}, false, true},
      {"leap 3 unchecked stratum", {.leap = 3}, false, false},
      {"zero transmit", {.seconds = 0, .fraction = 0}, true, false},
      {"fraction only", {.seconds = 0, .fraction = 1}, true, true},
      {"mode 3 is not checked", {.mode = 3}, true, true},
      {"version 1 is not checked", {.version = 1}, true, true},
  };
  client.ReceiveTimeout = 3000;
  for (const auto& c : cases) {
    client.CheckStratum = c.checkStratum;
    const TDateTime t = query(AnswerWith(c.reply));
    if (!c.accepted) {
      EXPECT_EQ(t, 0.0) << c.name;
    } else if (c.reply.seconds == 0) {
      EXPECT_EQ(MsOf(t), MsOf(EncodeDateTime(2036, 2, 7, 8, 28, 16, 0))) << c.name;
    } else {
      EXPECT_EQ(MsOf(t), LocalMs(0)) << c.name;
    }
    EXPECT_EQ(elapsed, 0ms) << c.name << ": a refused reply ends the query at once";
  }
}

TEST_F(SntpClient, DecodesTheTransmitTimestampInTheZoneInForce) {
  struct Case {
    platform::TimeZoneInfo zone;
    std::uint32_t fraction;
    std::int64_t expected;
  };
  platform::TimeZoneInfo standard;
  standard.id = platform::TimeZoneId::Standard;
  standard.bias = -120;
  standard.standardDate.month = 10;
  platform::TimeZoneInfo daylight;
  daylight.id = platform::TimeZoneId::Daylight;
  daylight.bias = -60;
  daylight.daylightBias = -60;
  daylight.daylightDate.month = 3;
  const Case cases[] = {
      {standard, 0x80000000u, LocalMs(0, 499)},
      {daylight, 0x80000000u, LocalMs(0, 499)},
      {standard, 0xFFFFFFFFu, LocalMs(0, 999)},
  };
  for (const auto& c : cases) {
    clock.zone = c.zone;
    // A hold of 16 s makes the round trip negative: the transmit time, truncated.
    EXPECT_EQ(MsOf(query(AnswerWith({.fraction = c.fraction, .receiveBefore = 16}))), c.expected)
        << c.fraction;
  }
  // Once for the request and once for the reply: the zone is never cached.
  EXPECT_EQ(clock.timeZoneCalls, 6);
}

// The fake clock moves on while the request and the reply travel. What
// DateTime hands on is the server's clock when the reply arrived, unless the
// round trip lies outside 0 to ReceiveTimeout: then its transmit time.
TEST_F(SntpClient, TheAnswerIsTheServersClockAtArrival) {
  struct Case {
    const char* what;
    std::int64_t outMs, backMs;
    std::int64_t aheadMs;
    bool reliable;
  };
  const Case cases[] = {
      {"no delay", 0, 0, 1500, true},
      {"symmetric", 100, 100, -2000, true},
      {"asymmetric: half the asymmetry is left", 30, 130, 0, true},
      {"round trip at the time-out", 150, 150, 700, true},
      {"round trip beyond it", 150, 151, 700, false},
  };
  for (const auto& c : cases) {
    std::int64_t serverUs = 0;
    const TDateTime t = query([&](const std::vector<PeerRequest>& r) {
      clock.advance(c.outMs);
      const std::int64_t at = clock.utcMicroseconds() + c.aheadMs * 1000;
      clock.advance(c.backMs);
      serverUs = at + c.backMs * 1000;
      const sntp::NtpTimestamp ts = sntp::UtcToNtp(at);
      return std::vector<PeerDatagram>{
          {test::CraftReply(r.back(), {.seconds = ts.seconds, .fraction = ts.fraction})}};
    });
    const AnswerFigures& reply = client.LastReply();
    EXPECT_EQ(reply.reliable, c.reliable) << c.what;
    const std::int64_t expectedUs =
        c.reliable ? serverUs - (c.backMs - c.outMs) * 500 : serverUs - c.backMs * 1000;
    EXPECT_NEAR(static_cast<double>(reply.answerUtcUs), static_cast<double>(expectedUs), 1)
        << c.what;
    EXPECT_NEAR(MsOf(t), MsOf(sntp::UtcToLocal(expectedUs, sntp::OffsetDays(-120))), 1) << c.what;
    EXPECT_NEAR(reply.delaySeconds, (c.outMs + c.backMs) / 1000.0, 1e-6) << c.what;
  }
}

// Past 7 February 2036 06:28:16 UTC the seconds wrap; requests carry them
// modulo 2^32 and replies are read in the era they belong to, also when the
// two clocks lie on either side of the wrap.
TEST_F(SntpClient, WorksAcross2036) {
  constexpr std::int64_t kWrapUs = 2085978496LL * 1000000;
  struct Case {
    std::int64_t clockUs;
    std::int64_t aheadMs;
    std::uint32_t requestSeconds;
  };
  const Case cases[] = {
      {kWrapUs - 500000, 1000, 0xFFFFFFFFu},
      {kWrapUs + 500000, -1000, 0},
      {kWrapUs + 1500000, 0, 1},
      {kWrapUs + 4LL * 365 * 86400 * 1000000, 250, 126144000},
  };
  client.ReceiveTimeout = 300;
  for (const auto& c : cases) {
    clock.setUtcMicroseconds(c.clockUs);
    const std::int64_t serverUs = c.clockUs + c.aheadMs * 1000;
    const sntp::NtpTimestamp ts = sntp::UtcToNtp(serverUs);
    const TDateTime t = query(AnswerWith({.seconds = ts.seconds, .fraction = ts.fraction}));
    ASSERT_EQ(requests.size(), 1u);
    const auto& p = requests[0].bytes;
    EXPECT_EQ(std::uint32_t(p[40] << 24 | p[41] << 16 | p[42] << 8 | p[43]), c.requestSeconds);
    EXPECT_EQ(MsOf(t), MsOf(sntp::UtcToLocal(serverUs, sntp::OffsetDays(-120)))) << c.clockUs;
    EXPECT_NEAR(client.LastReply().offsetSeconds, c.aheadMs / 1000.0, 1e-6) << c.clockUs;
    EXPECT_NEAR(client.LastReply().delaySeconds, 0, 1e-6) << c.clockUs;
  }
}

TEST_F(SntpClient, UnreadableTimeZoneFailsBeforeAnythingIsSent) {
  clock.zone.id = platform::TimeZoneId::Invalid;
  try {
    query(AnswerWith({}));
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.message(), L"Failed attempting to retrieve time zone information.");
  }
  EXPECT_TRUE(requests.empty());
}

TEST_F(SntpClient, NoAnswerIsZeroAfterTheTimeout) {
  EXPECT_EQ(query(SilentScript()), 0.0);
  EXPECT_EQ(elapsed, 300ms);
}

TEST_F(SntpClient, NoAnswerAtTheProgramsTimeoutOfFiveSeconds) {
  client.ReceiveTimeout = 5000;
  EXPECT_EQ(query(SilentScript()), 0.0);
  EXPECT_EQ(elapsed, 5000ms);
}

TEST_F(SntpClient, DatagramsOfTheWrongSize) {
  client.ReceiveTimeout = 3000;
  EXPECT_EQ(query(AnswerWith({.size = 47})), 0.0);
  EXPECT_EQ(elapsed, 0ms) << "47 bytes answering this request end the query";
  client.ReceiveTimeout = 300;

  try {
    query(AnswerWith({.size = 49}));
    FAIL() << "no error";
  } catch (const EIdSocketError& e) {
    EXPECT_EQ(e.code(), 10040);
    EXPECT_EQ(e.message(), L"Socket Error # 10040\r\nMessage too long.");
  }
  // The socket error leaves the client, and its socket, ready for the next query.
  EXPECT_EQ(MsOf(query(AnswerWith({}))), LocalMs(0));
}

// Each case sends something that is not the reply, then the reply: the
// client must drop the first and take the second, within the same wait.
TEST_F(SntpClient, DropsWhatDoesNotAnswerThisRequest) {
  const ReplyFields proper{.seconds = k2021Sep2Noon + 60};
  const ReplyFields forged{.seconds = k2021Sep2Noon - 3600};
  struct Case {
    const char* name;
    ReplyFields first;
    bool fromOtherPort;
  };
  const Case cases[] = {
      {"same content, other port", forged, true},
      {"wrong originate",
       {.seconds = forged.seconds, .originate = {{1, 2, 3, 4, 5, 6, 7, 8}}},
       false},
      {"zero originate", {.seconds = forged.seconds, .originate = {{}}}, false},
      {"49 bytes from another port", {.seconds = forged.seconds, .size = 49}, true},
      {"47 bytes from another port", {.seconds = forged.seconds, .size = 47}, true},
      {"49 bytes, wrong originate",
       {.seconds = forged.seconds, .originate = {{9, 9, 9, 9, 9, 9, 9, 9}}, .size = 49},
       false},
      {"too short to carry an originate", {.size = 20}, false},
      {"leap 3 from another port", {.leap = 3}, true},
  };
  for (const auto& c : cases) {
    const TDateTime t = query([&](const std::vector<PeerRequest>& r) {
      return std::vector<PeerDatagram>{
          {test::CraftReply(r.back(), c.first), c.fromOtherPort},
          {test::CraftReply(r.back(), proper), false, 30ms},
      };
    });
    // Half the 30 ms round trip on top of the transmit time.
    EXPECT_EQ(MsOf(t), LocalMs(60, 15)) << c.name;
    EXPECT_EQ(elapsed, 30ms) << c.name;
  }
}

TEST_F(SntpClient, StraysDoNotExtendTheWait) {
  // A forged datagram every 40 ms for a second, and never the reply.
  const TDateTime t = query([](const std::vector<PeerRequest>& r) {
    std::vector<PeerDatagram> stream;
    for (int i = 0; i < 25; ++i) {
      stream.push_back({test::CraftReply(r.back(), {}), true, 40ms});
    }
    return stream;
  });
  EXPECT_EQ(t, 0.0);
  EXPECT_EQ(elapsed, 300ms);
}

// An earlier query's reply must not become the answer to the next one,
// whether it is already queued or arrives during the next wait, and whether
// that query timed out or took a first copy of it.
TEST_F(SntpClient, LateReplyToAnEarlierQueryIsNotTaken) {
  struct Case {
    const char* name;
    bool firstAnswered;
    bool arrivesDuringNextWait;
  };
  for (const Case c : {Case{"queued before the next query", false, false},
                       Case{"arriving during the next wait", false, true},
                       Case{"a second copy of an answered reply, queued", true, false}}) {
    const auto peer = network.serve([&](const std::vector<PeerRequest>& r) {
      const PeerDatagram late{test::CraftReply(r[0], {.seconds = k2021Sep2Noon}), false, 400ms};
      std::vector<PeerDatagram> out;
      if (r.size() == 1) {
        if (c.firstAnswered) out.push_back({late.bytes});
        if (!c.arrivesDuringNextWait) out.push_back(late);
      } else {
        if (c.arrivesDuringNextWait) out.push_back({late.bytes});
        out.push_back({test::CraftReply(r[1], {.seconds = k2021Sep2Noon + 60}), false, 30ms});
      }
      return out;
    });
    client.Port = peer->port();
    const TDateTime first = client.DateTime();
    EXPECT_EQ(MsOf(first), c.firstAnswered ? LocalMs(0) : MsOf(0.0)) << c.name;
    // Long enough for the late reply to be queued when it was not to come later.
    clock.advance(1000);
    EXPECT_EQ(MsOf(client.DateTime()), LocalMs(60, 15)) << c.name;
    ASSERT_EQ(peer->requests().size(), 2u) << c.name;
  }
}

TEST_F(SntpClient, KeepsOneSocketAcrossQueriesHostsAndPorts) {
  query(AnswerWith({}));
  const std::uint16_t first = requests.at(0).sourcePort;
  client.Host = L"localhost";
  query(AnswerWith({}));
  EXPECT_EQ(requests.at(0).sourcePort, first);
  client.Host = L"LOCALHOST";
  query(AnswerWith({}));
  EXPECT_EQ(requests.at(0).sourcePort, first);
}

// A name with several addresses, each a peer of its own on loopback.
TEST(SntpClientAddresses, EachSilentSecondAsksTheNextAddressTooAndTheFirstGoodReplyWins) {
  enum class Role { Silent, Answers, AnswersLate, Refuses, EchoesTheFirstsNonce };
  const platform::IpAddress a = platform::Ipv4Address::fromOctets(192, 0, 2, 1);
  const platform::IpAddress b = platform::Ipv4Address::fromOctets(192, 0, 2, 2);
  const platform::IpAddress c = platform::Ipv4Address::fromOctets(192, 0, 2, 3);
  platform::Ipv6Address v6;
  v6.bytes = {0x20, 0x01, 0x0d, 0xb8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};  // 2001:db8::1
  struct Peer {
    platform::IpAddress address;
    Role role;
  };
  struct Case {
    const char* name;
    std::vector<Peer> peers;
    int winner;  // -1: none
    std::chrono::milliseconds took;
    std::size_t asked;
  };
  const Case cases[] = {
      {"silent, answers", {{a, Role::Silent}, {b, Role::Answers}}, 1, 1000ms, 2},
      {"silent, silent, answers",
       {{a, Role::Silent}, {b, Role::Silent}, {c, Role::Answers}},
       2,
       2000ms,
       3},
      {"the first answers late, still first",
       {{a, Role::AnswersLate}, {b, Role::AnswersLate}},
       0,
       1300ms,
       2},
      {"a refusal asks the next at once", {{a, Role::Refuses}, {b, Role::Answers}}, 1, 0ms, 2},
      {"IPv4 silent, IPv6 answers", {{a, Role::Silent}, {v6, Role::Answers}}, 1, 1000ms, 2},
      {"IPv6 only", {{v6, Role::Answers}}, 0, 0ms, 1},
      {"another address's nonce, then the one wait ends",
       {{a, Role::Silent}, {b, Role::EchoesTheFirstsNonce}, {c, Role::Silent}},
       -1,
       2500ms,
       3},
  };
  test::TestRandom random;
  for (const Case& k : cases) {
    test::FakeClock clock;
    test::ScriptedNetwork network{clock};
    clock.set(EncodeDateTime(2021, 9, 2, 14, 0, 0, 0));
    clock.setBias(-120);
    TIdSNTP client{clock, network, random};
    client.Host = L"pool.test";
    client.ReceiveTimeout = 2500;
    std::vector<std::shared_ptr<test::ScriptedPeer>> peers;
    for (std::size_t i = 0; i < k.peers.size(); ++i) {
      const Role role = k.peers[i].role;
      const ReplyFields fields{.leap = role == Role::Refuses ? 3 : 0,
                               .seconds = k2021Sep2Noon + 60 * static_cast<std::uint32_t>(i)};
      const test::ScriptedPeer* first = i > 0 ? peers[0].get() : nullptr;
      peers.push_back(network.serve(
          k.peers[i].address, 123, [role, fields, first](const std::vector<PeerRequest>& r) {
            std::vector<PeerDatagram> out;
            if (role == Role::Silent) return out;
            ReplyFields f = fields;
            if (role == Role::EchoesTheFirstsNonce)
              f.originate = TransmitOf(first->requests().at(0));
            out.push_back(
                {test::CraftReply(r.back(), f), false, role == Role::AnswersLate ? 1300ms : 0ms});
            return out;
          }));
      network.names[client.Host].push_back(k.peers[i].address);
    }
    const std::int64_t start = clock.steadyMicroseconds();
    const TDateTime t = client.DateTime();
    const std::chrono::microseconds elapsed(clock.steadyMicroseconds() - start);
    if (k.winner < 0) {
      EXPECT_EQ(t, 0.0) << k.name;
    } else {
      // A late answer's transmit time plus half its round trip.
      const int half = k.peers[k.winner].role == Role::AnswersLate ? 650 : 0;
      EXPECT_EQ(MsOf(t), LocalMs(60 * k.winner, half)) << k.name;
      EXPECT_EQ(client.LastReply().server, k.peers[k.winner].address) << k.name;
    }
    EXPECT_EQ(elapsed, k.took) << k.name;
    std::vector<std::array<std::uint8_t, 8>> nonces;
    for (const auto& p : peers) {
      for (const auto& r : p->requests()) nonces.push_back(TransmitOf(r));
    }
    EXPECT_EQ(nonces.size(), k.asked) << k.name;
    std::sort(nonces.begin(), nonces.end());
    EXPECT_EQ(std::unique(nonces.begin(), nonces.end()), nonces.end())
        << k.name << ": one nonce each";
  }
}

// The scripted network, with a count of what the client asked of it and
// room to make one call fail.
class ProbedNetwork : public platform::Network {
 public:
  explicit ProbedNetwork(test::FakeClock& clock) : inner(clock) {}

  struct Faults {
    int open = 0;
    int bind = 0;
    int send = 0;
    std::size_t sendShort = 0;
    int wait = 0;
    int receive = 0;
  };

  platform::Resolved resolve(const std::wstring& host) override {
    lookedUp.push_back(host);
    return inner.resolve(host);
  }
  platform::Opened openUdp(platform::IpFamily family) override {
    ++opened;
    if (faults.open != 0) return {faults.open, nullptr};
    platform::Opened o = inner.openUdp(family);
    if (o.socket) o.socket = std::make_unique<Socket>(std::move(o.socket), faults);
    return o;
  }

  Faults faults;
  std::vector<std::wstring> lookedUp;
  int opened = 0;

 private:
  class Socket : public platform::UdpSocket {
   public:
    Socket(std::unique_ptr<platform::UdpSocket> inner, const Faults& faults)
        : inner_(std::move(inner)), faults_(faults) {}
    int bindAnyPort() override { return faults_.bind ? faults_.bind : inner_->bindAnyPort(); }
    std::uint16_t localPort() override { return inner_->localPort(); }
    platform::Sent sendTo(const platform::IpAddress& to, std::uint16_t port,
                          std::span<const std::uint8_t> bytes) override {
      if (faults_.send != 0) return {faults_.send, 0};
      if (faults_.sendShort != 0) return {0, faults_.sendShort};
      return inner_->sendTo(to, port, bytes);
    }
    platform::Waited waitReadable(platform::Deadline until) override {
      if (faults_.wait != 0) return {faults_.wait, platform::Readiness::TimedOut};
      return inner_->waitReadable(until);
    }
    platform::Received receive(std::span<std::uint8_t> buffer) override {
      platform::Received r = inner_->receive(buffer);
      if (faults_.receive != 0 && r.error == 0) r.error = faults_.receive;
      return r;
    }
    int drain() override { return inner_->drain(); }

   private:
    std::unique_ptr<platform::UdpSocket> inner_;
    const Faults& faults_;
  };

 public:
  test::ScriptedNetwork inner;
};

class SntpClientProbed : public ::testing::Test {
 protected:
  SntpClientProbed() {
    clock.set(EncodeDateTime(2021, 9, 2, 14, 0, 0, 0));
    clock.setBias(-120);
    client.ReceiveTimeout = 300;
  }
  test::FakeClock clock;
  ProbedNetwork network{clock};
  test::TestRandom random;
  TIdSNTP client{clock, network, random};
};

TEST_F(SntpClientProbed, LooksUpOnlyWhatIsNotLocalhostOrADottedQuad) {
  const auto peer = network.inner.serve(AnswerWith({}));
  client.Port = peer->port();
  for (const wchar_t* host : {L"localhost", L"LocalHost", L"127.0.0.1"}) {
    client.Host = host;
    EXPECT_EQ(MsOf(client.DateTime()), LocalMs(0)) << host;
  }
  EXPECT_TRUE(network.lookedUp.empty());

  for (const wchar_t* host : {L"256.1.1.1", L"no-such-host.invalid"}) {
    client.Host = host;
    try {
      client.DateTime();
      FAIL() << "no error for " << host;
    } catch (const EIdSocketError& e) {
      EXPECT_EQ(e.code(), 11001) << host;
      EXPECT_EQ(e.message(), L"Socket Error # 11001\r\nHost not found.") << host;
    }
  }
  EXPECT_EQ(network.lookedUp, (std::vector<std::wstring>{L"256.1.1.1", L"no-such-host.invalid"}));
  EXPECT_EQ(network.opened, 1);
}

TEST_F(SntpClientProbed, FailedLookupOpensNoSocket) {
  client.Host = L"no-such-host.invalid";
  EXPECT_THROW(client.DateTime(), EIdSocketError);
  EXPECT_EQ(network.opened, 0);
}

TEST_F(SntpClientProbed, SocketFailuresAndTheirTexts) {
  using Faults = ProbedNetwork::Faults;
  struct Case {
    Faults faults;
    const wchar_t* message;
    bool socketError;
  };
  const Case cases[] = {
      {{.open = 10024}, L"Socket Error # 10024\r\nToo many open files.", true},
      {{.bind = 10048}, L"Could not bind socket. Address and port are already in use.", false},
      {{.send = 10040}, L"Package Size Too Big.", false},
      {{.send = 10051}, L"Socket Error # 10051\r\nNetwork is unreachable.", true},
      {{.sendShort = 47}, L"Not all bytes sent.", false},
      {{.wait = 10022}, L"Socket Error # 10022\r\nInvalid argument.", true},
      {{.receive = 10054}, L"Socket Error # 10054\r\nConnection reset by peer.", true},
  };
  const auto peer = network.inner.serve(AnswerWith({}));
  for (const auto& c : cases) {
    // A fresh client, so the open and bind faults meet a client with no socket yet.
    TIdSNTP fresh{clock, network, random};
    fresh.Host = L"127.0.0.1";
    fresh.Port = peer->port();
    fresh.ReceiveTimeout = 300;
    network.opened = 0;
    network.faults = c.faults;
    try {
      fresh.DateTime();
      ADD_FAILURE() << "no error: " << c.message;
    } catch (const EIdSocketError& e) {
      EXPECT_TRUE(c.socketError) << c.message;
      EXPECT_EQ(e.message(), c.message);
    } catch (const Error& e) {
      EXPECT_FALSE(c.socketError) << c.message;
      EXPECT_EQ(e.message(), c.message);
    }
    // Every failure leaves the client usable. A socket that failed to open or
    // bind is not kept, so the next query opens another; one that was, is kept.
    network.faults = {};
    EXPECT_EQ(MsOf(fresh.DateTime()), LocalMs(0)) << c.message;
    const bool notKept = c.faults.open != 0 || c.faults.bind != 0;
    EXPECT_EQ(network.opened, notKept ? 2 : 1) << c.message;
  }
}

}  // namespace
}  // namespace hv::time
