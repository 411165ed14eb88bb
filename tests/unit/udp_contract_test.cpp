// The contract of the socket adapter, socket to socket on loopback: one
// source for both adapters, Winsock under Wine and the host's sockets
// natively, so the client sees the same errors on both.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "support/test_network.h"

namespace hv::platform {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::unique_ptr<UdpSocket> BoundSocket(Network& network, IpFamily family = IpFamily::V4) {
  Opened opened = network.openUdp(family);
  EXPECT_EQ(opened.error, 0);
  if (!opened.socket) return nullptr;
  EXPECT_EQ(opened.socket->bindAnyPort(), 0);
  EXPECT_NE(opened.socket->localPort(), 0);
  return std::move(opened.socket);
}

std::vector<std::uint8_t> Counting(std::size_t n) {
  std::vector<std::uint8_t> bytes(n);
  for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>(i + 1);
  return bytes;
}

class UdpAdapter : public ::testing::Test {
 protected:
  void SetUp() override {
    a = BoundSocket(network);
    b = BoundSocket(network);
    ASSERT_TRUE(a && b);
  }

  void sendAToB(std::size_t size) {
    const Sent sent = a->sendTo(kLoopback, b->localPort(), Counting(size));
    ASSERT_EQ(sent.error, 0);
    ASSERT_EQ(sent.bytes, size);
  }

  Deadline in(std::int64_t ms) { return Deadline::after(clock, ms); }

  test::TestNetwork network;
  test::TestClock clock;
  std::unique_ptr<UdpSocket> a, b;
};

TEST_F(UdpAdapter, ResolvesNamesIpv4FirstAndRefusesWhatIsNoServerName) {
  struct Case {
    const wchar_t* host;
    IpAddress first;
  };
  for (const Case& c : {Case{L"localhost", kLoopback}, Case{L"127.1", kLoopback},
                        Case{L"::1", kLoopback6}, Case{L"::ffff:127.0.0.1", kLoopback}}) {
    const Resolved r = network.resolve(c.host);
    ASSERT_EQ(r.error, 0) << c.host;
    ASSERT_FALSE(r.addresses.empty()) << c.host;
    EXPECT_EQ(r.addresses[0], c.first) << c.host;
    const auto firstV6 = std::find_if(r.addresses.begin(), r.addresses.end(),
                                      [](const IpAddress& a) { return a.family == IpFamily::V6; });
    EXPECT_TRUE(std::all_of(firstV6, r.addresses.end(),
                            [](const IpAddress& a) { return a.family == IpFamily::V6; }))
        << c.host << ": IPv4 first";
  }
  const std::wstring cutShort(L"localhost\0.evil.invalid", 23);
  for (const std::wstring& host : {std::wstring(L"no-such-host.invalid"), std::wstring(), cutShort,
                                   std::wstring(L"b\u00fccher.invalid")}) {
    EXPECT_EQ(network.resolve(host).error, wsa::kHostNotFound) << host.size();
  }
}

// Each family on its own socket; a socket refuses the other family's
// addresses.
TEST_F(UdpAdapter, CarriesADatagramWithItsSourceInEitherFamily) {
  for (const IpAddress LoopbackAddress : {IpAddress(kLoopback), IpAddress(kLoopback6)}) {
    const std::unique_ptr<UdpSocket> from = BoundSocket(network, LoopbackAddress.family);
    const std::unique_ptr<UdpSocket> to = BoundSocket(network, LoopbackAddress.family);
    ASSERT_TRUE(from && to);
    const IpAddress other =
        LoopbackAddress.family == IpFamily::V4 ? IpAddress(kLoopback6) : kLoopback;
    EXPECT_EQ(from->sendTo(other, to->localPort(), Counting(48)).error, wsa::kFamilyNotSupported);
    ASSERT_EQ(from->sendTo(LoopbackAddress, to->localPort(), Counting(48)).error, 0);
    ASSERT_EQ(to->waitReadable(in(1000)).readiness, Readiness::Readable);
    std::vector<std::uint8_t> buffer(48);
    const Received got = to->receive(buffer);
    EXPECT_EQ(got.error, 0);
    EXPECT_EQ(got.bytes, 48u);
    EXPECT_EQ(buffer, Counting(48));
    EXPECT_EQ(got.source, LoopbackAddress) << LoopbackAddress.text();
    EXPECT_EQ(got.sourcePort, from->localPort());
  }
}

// One wait over sockets of both families ends with the one that has a datagram.
TEST_F(UdpAdapter, WaitsOnSocketsOfBothFamiliesTogether) {
  const std::unique_ptr<UdpSocket> v6 = BoundSocket(network, IpFamily::V6);
  ASSERT_TRUE(v6);
  UdpSocket* const both[] = {b.get(), v6.get()};
  auto start = Clock::now();
  WaitedAny w = network.waitAnyReadable(both, in(200));
  EXPECT_EQ(w.readiness, Readiness::TimedOut);
  EXPECT_GE(Clock::now() - start, 200ms);
  const std::unique_ptr<UdpSocket> sender = BoundSocket(network, IpFamily::V6);
  ASSERT_EQ(sender->sendTo(kLoopback6, v6->localPort(), Counting(48)).error, 0);
  start = Clock::now();
  w = network.waitAnyReadable(both, in(2000));
  EXPECT_EQ(w.error, 0);
  EXPECT_EQ(w.readiness, Readiness::Readable);
  EXPECT_EQ(w.index, 1u);
  EXPECT_LT(Clock::now() - start, 500ms);
}

// Too long is an error, never a silent cut, and the source still counts.
TEST_F(UdpAdapter, ALongerDatagramIsMessageTooLongWithItsSource) {
  sendAToB(49);
  ASSERT_EQ(b->waitReadable(in(1000)).readiness, Readiness::Readable);
  std::vector<std::uint8_t> buffer(48);
  const Received got = b->receive(buffer);
  EXPECT_EQ(got.error, wsa::kMessageTooLong);
  EXPECT_EQ(got.bytes, 48u);
  EXPECT_EQ(buffer, Counting(48));
  EXPECT_EQ(got.source, kLoopback);
  EXPECT_EQ(got.sourcePort, a->localPort());
  // The rest of that datagram is gone with it.
  EXPECT_EQ(b->receive(buffer).error, wsa::kWouldBlock);
}

TEST_F(UdpAdapter, ReceiveNeverWaits) {
  std::vector<std::uint8_t> buffer(48);
  const auto start = Clock::now();
  EXPECT_EQ(b->receive(buffer).error, wsa::kWouldBlock);
  EXPECT_LT(Clock::now() - start, 50ms);
}

TEST_F(UdpAdapter, WaitsTheWholeTimeoutAndNoLonger) {
  for (const int ms : {1, 200, 999}) {
    const auto start = Clock::now();
    const Waited waited = b->waitReadable(in(ms));
    const auto elapsed = Clock::now() - start;
    EXPECT_EQ(waited.error, 0);
    EXPECT_EQ(waited.readiness, Readiness::TimedOut) << ms;
    EXPECT_GE(elapsed, std::chrono::milliseconds(ms)) << ms;
    EXPECT_LT(elapsed, std::chrono::milliseconds(ms + 150)) << ms;
  }
}

TEST_F(UdpAdapter, AnUnlimitedWaitEndsWithTheDatagram) {
  std::thread later([&] {
    std::this_thread::sleep_for(100ms);
    a->sendTo(kLoopback, b->localPort(), Counting(48));
  });
  const auto start = Clock::now();
  const Waited waited = b->waitReadable(Deadline::never(clock));
  later.join();
  EXPECT_EQ(waited.readiness, Readiness::Readable);
  EXPECT_GE(Clock::now() - start, 90ms);
}

TEST_F(UdpAdapter, DrainThrowsAwayWhatIsQueuedOfAnySize) {
  for (const std::size_t size : {48u, 2000u, 1u}) sendAToB(size);
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(b->drain(), 3);
  std::vector<std::uint8_t> buffer(48);
  EXPECT_EQ(b->receive(buffer).error, wsa::kWouldBlock);
  EXPECT_EQ(b->drain(), 0);
  // The socket still works afterwards.
  sendAToB(48);
  ASSERT_EQ(b->waitReadable(in(1000)).readiness, Readiness::Readable);
  EXPECT_EQ(b->receive(buffer).error, 0);
}

TEST_F(UdpAdapter, EachSocketHasItsOwnPort) {
  EXPECT_NE(a->localPort(), b->localPort());
  Opened unbound = network.openUdp(IpFamily::V4);
  ASSERT_EQ(unbound.error, 0);
  EXPECT_EQ(unbound.socket->localPort(), 0);
}

}  // namespace
}  // namespace hv::platform
