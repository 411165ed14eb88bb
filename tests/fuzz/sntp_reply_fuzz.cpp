// Datagrams of any size and content as the replies to one SNTP query: the
// packet checks on each, and the client's whole wait over all of them. Only
// a 48-byte reply from the server that carries the request's own transmit
// timestamp back, and passes the checks, may yield a time.
//
// Input: byte 0 bit 0 CheckStratum; bytes 1-2 the zone bias (minutes, within
// a day); then datagrams, each one header byte (bits 0-5 length, bit 6 echo
// the request's transmit timestamp as originate, bit 7 from another port)
// and its bytes.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <vector>

#include "support/fake_clock.h"
#include "time/sntp.h"
#include "time/sntp_timestamp.h"

namespace {

using namespace hv;
using namespace hv::time;

void Require(bool ok) {
  if (!ok) std::abort();
}

constexpr std::uint16_t kServerPort = 123;

struct Datagram {
  std::vector<std::uint8_t> bytes;
  std::uint16_t port = kServerPort;
};

class ScriptedSocket : public platform::UdpSocket {
 public:
  explicit ScriptedSocket(std::deque<Datagram> script) : script_(std::move(script)) {}

  std::vector<std::uint8_t> sent;

  int bindAnyPort() override { return 0; }
  std::uint16_t localPort() override { return 50000; }
  platform::Sent sendTo(const platform::IpAddress&, std::uint16_t,
                        std::span<const std::uint8_t> bytes) override {
    sent.assign(bytes.begin(), bytes.end());
    patchOriginates();
    return {0, bytes.size()};
  }
  // Once the script is spent the wait fails, which ends the query.
  platform::Waited waitReadable(platform::Deadline) override {
    if (script_.empty()) return {platform::wsa::kInterrupted, platform::Readiness::TimedOut};
    return {0, platform::Readiness::Readable};
  }
  platform::Received receive(std::span<std::uint8_t> buffer) override {
    const Datagram d = std::move(script_.front());
    script_.pop_front();
    platform::Received r;
    r.bytes = std::min(d.bytes.size(), buffer.size());
    std::copy_n(d.bytes.begin(), r.bytes, buffer.begin());
    if (d.bytes.size() > buffer.size()) r.error = platform::wsa::kMessageTooLong;
    r.source = platform::kLoopback;
    r.sourcePort = d.port;
    return r;
  }
  int drain() override { return 0; }

  std::vector<bool> echo;

 private:
  void patchOriginates() {
    for (std::size_t i = 0; i < script_.size() && i < echo.size(); ++i) {
      auto& b = script_[i].bytes;
      if (echo[i] && b.size() >= 32) std::copy_n(sent.begin() + 40, 8, b.begin() + 24);
    }
  }

  std::deque<Datagram> script_;
};

class ScriptedNetwork : public platform::Network {
 public:
  std::unique_ptr<ScriptedSocket> next;
  ScriptedSocket* socket = nullptr;

  platform::Resolved resolve(const std::wstring&) override { return {}; }
  platform::Opened openUdp(platform::IpFamily) override {
    socket = next.get();
    return {0, std::move(next)};
  }
};

// Checks that hold for one datagram read as a reply, from its raw bytes.
void CheckPacket(const std::vector<std::uint8_t>& bytes, bool checkStratum, double offset) {
  sntp::Packet p{};
  std::copy_n(bytes.begin(), std::min(bytes.size(), p.size()), p.begin());
  const sntp::Verdict v = sntp::JudgeReply(p, checkStratum);
  if (v == sntp::Verdict::Accept) {
    Require(p[0] >> 6 != 3);
    Require(std::any_of(p.begin() + 40, p.end(), [](std::uint8_t b) { return b != 0; }));
    if (checkStratum) Require(p[1] >= 1 && p[1] <= 15);
  }
  const sntp::NtpTimestamp ts = sntp::ReadTimestamp(p, sntp::kTransmitOffset);
  const TDateTime t = sntp::NtpToLocal(ts, offset);
  Require(std::isfinite(t));
  // Whole milliseconds, never past the next second, in the era the count
  // belongs to.
  const double era = (ts.seconds & 0x80000000u) != 0 ? 0.0 : 4294967296.0;
  const double seconds = (t - sntp::kNtpEpoch - offset) * 86400.0 - era;
  Require(seconds >= ts.seconds - 1e-3 && seconds < ts.seconds + 1.0);
  const int year = YearOf(t);
  Require(year >= 1968 && year <= 2104);
  Require(FormatDisplay(t, L"/", L":").size() == 19);
}

// Nonces that differ from query to query, the same in every run.
class CountingRandom : public platform::Random {
 public:
  void fill(std::span<std::uint8_t> bytes) override {
    for (auto& b : bytes) b = next_++;
  }

 private:
  std::uint8_t next_ = 1;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const bool checkStratum = data[0] & 1;
  const auto raw = static_cast<std::int16_t>(data[1] | data[2] << 8);
  const std::int32_t bias = raw % 1441;

  std::deque<Datagram> script;
  std::vector<bool> echo;
  for (std::size_t i = 3; i < size && script.size() < 16;) {
    const std::uint8_t head = data[i++];
    const std::size_t len = std::min<std::size_t>(head & 0x3F, size - i);
    Datagram d;
    d.bytes.assign(data + i, data + i + len);
    d.port = (head & 0x80) ? kServerPort + 1 : kServerPort;
    echo.push_back(head & 0x40);
    script.push_back(std::move(d));
    i += len;
  }
  const std::deque<Datagram> delivered = script;

  test::FakeClock clock;
  clock.setBias(bias);
  ScriptedNetwork network;
  network.next = std::make_unique<ScriptedSocket>(std::move(script));
  network.next->echo = echo;
  CountingRandom random;
  TIdSNTP client(clock, network, random);
  client.Host = L"127.0.0.1";
  client.Port = kServerPort;
  client.ReceiveTimeout = 5000;
  client.CheckStratum = checkStratum;

  TDateTime result = 0;
  int error = 0;
  try {
    result = client.DateTime();
  } catch (const EIdSocketError& e) {
    error = e.code();
  }
  Require(network.socket && network.socket->sent.size() == sntp::kPacketSize);
  const std::vector<std::uint8_t>& request = network.socket->sent;
  const double offset = sntp::OffsetDays(bias);

  // Each datagram as the queue held it once the request had gone out.
  bool someAnswerTooLong = false;
  bool someAccepted = false;
  for (std::size_t k = 0; k < delivered.size(); ++k) {
    std::vector<std::uint8_t> b = delivered[k].bytes;
    if (echo[k] && b.size() >= 32) std::copy_n(request.begin() + 40, 8, b.begin() + 24);
    CheckPacket(b, checkStratum, offset);
    const bool answers = delivered[k].port == kServerPort && b.size() >= 32 &&
                         std::equal(b.begin() + 24, b.begin() + 32, request.begin() + 40);
    if (!answers) continue;
    if (b.size() > sntp::kPacketSize) someAnswerTooLong = true;
    if (b.size() != sntp::kPacketSize) continue;
    sntp::Packet p{};
    std::copy_n(b.begin(), p.size(), p.begin());
    if (sntp::JudgeReply(p, checkStratum) != sntp::Verdict::Accept) continue;
    // The transmit time, or the server's clock at arrival: later by at most
    // half the longest round trip that counts.
    const TDateTime sent = sntp::NtpToLocal(sntp::ReadTimestamp(p, sntp::kTransmitOffset), offset);
    const double laterMs = (result - sent) * kMsPerDay;
    // Late in the era a day count's last bit is more than a microsecond, and
    // the client's sum may round the other way.
    const double roundingMs = 2 * (std::nextafter(sent, 1e300) - sent) * kMsPerDay + 1e-3;
    if (result == sent || (laterMs > -roundingMs && laterMs < client.ReceiveTimeout / 2.0 + 1.0)) {
      someAccepted = true;
    }
  }
  Require(error == 0 || error == platform::wsa::kInterrupted ||
          error == platform::wsa::kMessageTooLong);
  if (error == platform::wsa::kMessageTooLong) Require(someAnswerTooLong);
  if (result != 0) Require(someAccepted);
  return 0;
}
