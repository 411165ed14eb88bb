#include "time/sntp.h"

#include <chrono>
#include <optional>

#include "time/sntp_host.h"
#include "time/sntp_timestamp.h"

namespace hv::time {
namespace {

using SteadyClock = std::chrono::steady_clock;

// The one deadline of a query; discarded datagrams do not move it.
class Deadline {
 public:
  explicit Deadline(std::int32_t timeoutMs) {
    if (timeoutMs > 0) end_ = SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
  }
  bool unlimited() const { return !end_; }
  // Milliseconds left, rounded up; 0 once the deadline has passed.
  std::int32_t remainingMs() const {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(*end_ - SteadyClock::now());
    return left.count() > 0 ? static_cast<std::int32_t>(left.count()) : 0;
  }

 private:
  std::optional<SteadyClock::time_point> end_;
};

}  // namespace

TIdSNTP::TIdSNTP(platform::Clock& clock, platform::Network& network, platform::Random& random)
    : clock_(clock), network_(network), random_(random) {}

double TIdSNTP::utcOffsetDays() {
  return sntp::offsetDays(sntp::utcBiasMinutes(clock_.timeZone()));
}

platform::Ipv4Address TIdSNTP::resolve(const std::wstring& host) {
  if (const auto literal = sntp::addressWithoutLookup(host)) return *literal;
  const platform::Resolved r = network_.resolveIpv4(host);
  if (r.error != 0) throw EIdSocketError(r.error);
  return r.address;
}

platform::UdpSocket& TIdSNTP::socket() {
  if (socket_) return *socket_;
  platform::Opened opened = network_.openUdp();
  if (opened.error != 0) throw EIdSocketError(opened.error);
  if (opened.socket->bindAnyPort() != 0) {
    throw Error(L"Could not bind socket. Address and port are already in use.");
  }
  socket_ = std::move(opened.socket);
  return *socket_;
}

void TIdSNTP::send(platform::UdpSocket& socket, platform::Ipv4Address server, std::uint16_t port,
                   const sntp::Packet& request) {
  const platform::Sent sent = socket.sendTo(server, port, request);
  if (sent.error == platform::wsa::kMessageTooLong) throw Error(L"Package Size Too Big.");
  if (sent.error != 0) throw EIdSocketError(sent.error);
  if (sent.bytes < request.size()) throw Error(L"Not all bytes sent.");
}

// Only a datagram from the queried address and port that carries this
// request's transmit timestamp back counts as the reply; anything else (a
// late reply to an earlier query, a stray or forged datagram) is dropped and
// the wait goes on until the same deadline. A datagram cut short or too long
// gets the reply's verdict (0, or error 10040) only when it answers this
// request as far as its bytes show; otherwise it is dropped like any stray,
// so a foreign datagram cannot end the query.
TDateTime TIdSNTP::awaitReply(platform::UdpSocket& socket, platform::Ipv4Address server,
                              std::uint16_t port, const Sending& sending) {
  const Deadline deadline(ReceiveTimeout);
  for (;;) {
    std::int32_t wait = 0;
    if (!deadline.unlimited()) {
      wait = deadline.remainingMs();
      if (wait == 0) return 0;
    }
    const platform::Waited waited = socket.waitReadable(wait);
    if (waited.error != 0) throw EIdSocketError(waited.error);
    if (waited.readiness == platform::Readiness::TimedOut) continue;

    sntp::Packet reply{};
    const platform::Received got = socket.receive(reply);
    const std::int64_t receivedAtUs = clock_.steadyMicroseconds();
    if (got.error == platform::wsa::kWouldBlock) continue;
    const bool fromServer = got.source == server && got.sourcePort == port;
    const bool answers =
        fromServer && sntp::answersRequest(std::span(reply.data(), got.bytes), sending.transmit);
    ownReplyTaken_ = ownReplyTaken_ || answers;
    if (got.error == platform::wsa::kMessageTooLong) {
      if (answers) throw EIdSocketError(got.error);
      continue;
    }
    if (got.error != 0) throw EIdSocketError(got.error);
    if (!answers) continue;
    if (got.bytes < sntp::kPacketSize) return 0;

    const sntp::NtpTimestamp t1 = sending.clock;
    const sntp::NtpTimestamp t2 = sntp::readTimestamp(reply, sntp::kReceiveOffset);
    const sntp::NtpTimestamp t3 = sntp::readTimestamp(reply, sntp::kTransmitOffset);
    const sntp::NtpTimestamp t4 = sntp::addMicroseconds(t1, receivedAtUs - sending.steadyUs);
    last_ = {true,
             sntp::stratum(reply),
             sntp::kissCode(reply),
             receivedAtUs,
             server,
             sntp::measureExchange(t1, t2, t3, t4)};
    const double delayMs = last_.figures.delaySeconds * 1000;
    last_.reliable = delayMs >= 0 && (ReceiveTimeout <= 0 || delayMs <= ReceiveTimeout);
    const sntp::NtpTimestamp answer =
        last_.reliable ? sntp::serverTimeAtArrival(t1, t2, t3, t4) : t3;
    last_.answerUtcUs = sntp::ntpToUtc(answer);
    const double offset = utcOffsetDays();
    const TDateTime t = last_.reliable ? sntp::utcToLocal(last_.answerUtcUs, offset)
                                       : sntp::ntpToLocal(answer, offset);
    return sntp::judgeReply(reply, CheckStratum) == sntp::Verdict::Accept ? t : 0;
  }
}

std::uint32_t TIdSNTP::nextNonce() {
  if (noncesUsed_ + 4 > nonces_.size()) {
    random_.fill(nonces_);
    noncesUsed_ = 0;
  }
  std::uint32_t n = 0;
  for (int i = 0; i < 4; ++i) n = n << 8 | nonces_[noncesUsed_++];
  return n;
}

TDateTime TIdSNTP::DateTime() {
  const std::lock_guard lock(query_);
  last_ = {};
  // A zone that cannot be read fails the query before anything is sent.
  utcOffsetDays();
  const sntp::NtpTimestamp clockStamp = sntp::utcToNtp(clock_.utcMicroseconds());
  const std::int64_t builtUs = clock_.steadyMicroseconds();
  Sending sending{sntp::withNonce(clockStamp, nextNonce()), clockStamp, builtUs};
  const sntp::Packet request = sntp::encodeRequest(sending.transmit);
  const std::wstring host = Host;
  const std::uint16_t port = Port;
  const platform::Ipv4Address server = resolve(host);
  platform::UdpSocket& s = socket();
  if (!ownReplyTaken_) s.drain();
  ownReplyTaken_ = false;
  // Our clock at the moment of sending, T1 of the figures: the look-up took
  // its time since the request was built. The stamp's nonce is no part of it.
  const std::int64_t sentUs = clock_.steadyMicroseconds();
  sending.clock = sntp::addMicroseconds(clockStamp, sentUs - builtUs);
  sending.steadyUs = sentUs;
  send(s, server, port, request);
  return awaitReply(s, server, port, sending);
}

}  // namespace hv::time
