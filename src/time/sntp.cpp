#include "time/sntp.h"

#include <algorithm>
#include <exception>

#include "time/sntp_host.h"
#include "time/sntp_timestamp.h"

namespace hv::time {
namespace {

using platform::Deadline;
using platform::IpAddress;
using platform::IpFamily;

// How long one address may stay silent before the next is asked too.
constexpr std::int64_t kTurnUs = 1'000'000;

std::size_t Slot(IpFamily family) {
  return family == IpFamily::V4 ? 0 : 1;
}

}  // namespace

TIdSNTP::TIdSNTP(platform::Clock& clock, platform::Network& network, platform::Random& random)
    : clock_(clock), network_(network), random_(random) {}

double TIdSNTP::utcOffsetDays() {
  return sntp::OffsetDays(sntp::UtcBiasMinutes(clock_.timeZone()));
}

std::vector<IpAddress> TIdSNTP::resolve(const std::wstring& host) {
  if (const auto literal = sntp::AddressWithoutLookup(host)) return {*literal};
  platform::Resolved r = network_.resolve(host);
  if (r.error != 0) throw EIdSocketError(r.error);
  if (r.addresses.empty()) throw EIdSocketError(platform::wsa::kHostNotFound);
  if (r.addresses.size() > platform::kMostAddresses) r.addresses.resize(platform::kMostAddresses);
  return std::move(r.addresses);
}

platform::UdpSocket& TIdSNTP::socket(IpFamily family) {
  std::unique_ptr<platform::UdpSocket>& socket = sockets_[Slot(family)].socket;
  if (socket) return *socket;
  platform::Opened opened = network_.openUdp(family);
  if (opened.error != 0) throw EIdSocketError(opened.error);
  if (opened.socket->bindAnyPort() != 0) {
    throw Error(L"Could not bind socket. Address and port are already in use.");
  }
  socket = std::move(opened.socket);
  return *socket;
}

TIdSNTP::Sending TIdSNTP::stampRequest() {
  // The precise clock: T1 of the figures, without the nonce's random bits.
  const sntp::NtpTimestamp clockStamp = sntp::UtcToNtp(clock_.utcMicroseconds());
  const std::int64_t builtUs = clock_.steadyMicroseconds();
  return {sntp::WithNonce(clockStamp, nextNonce()), clockStamp, builtUs};
}

void TIdSNTP::sendRequest(const IpAddress& server, std::uint16_t port, Sending& sending) {
  FamilySocket& family = sockets_[Slot(server.family)];
  platform::UdpSocket& s = socket(server.family);
  // Only before the query's first request on it: later ones share its queue.
  if (family.sent == 0 && !family.clean) s.drain();
  family.clean = false;
  const sntp::Packet request = sntp::EncodeRequest(sending.transmit);
  // Our clock at the moment of sending, for the figures: the look-up took
  // its time since the request was built.
  const std::int64_t sentUs = clock_.steadyMicroseconds();
  sending.clock = sntp::AddMicroseconds(sending.clock, sentUs - sending.steadyUs);
  sending.steadyUs = sentUs;
  const platform::Sent sent = s.sendTo(server, port, request);
  if (sent.error == platform::wsa::kMessageTooLong) throw Error(L"Package Size Too Big.");
  if (sent.error != 0) throw EIdSocketError(sent.error);
  if (sent.bytes < request.size()) throw Error(L"Not all bytes sent.");
  ++family.sent;
}

// Only a datagram from an asked address and the port that carries that
// address's own transmit timestamp back counts as its reply; anything else
// (a late reply to an earlier query, a stray or forged datagram, another
// address's nonce) is dropped and the wait goes on until the same deadline.
// A datagram cut short or too long gets the reply's verdict (0, or error
// 10040) only when it answers a request as far as its bytes show; otherwise
// it is dropped like any stray, so a foreign datagram cannot end the query.
//
// An address that refuses, fails to be sent to, or is reported unreachable
// is done, and the next one is asked at once. When no address is left, the
// query ends with the last of those verdicts: 0, or the error.
TDateTime TIdSNTP::awaitReply(const std::vector<IpAddress>& servers, std::uint16_t port,
                              Sending first) {
  std::vector<Request> requests;
  requests.reserve(servers.size());
  std::size_t open = 0;
  std::exception_ptr verdict;
  std::int64_t nextTurnUs = 0;
  const auto conclude = [&](Request& r, std::exception_ptr why) {
    r.open = false;
    --open;
    verdict = std::move(why);
    nextTurnUs = clock_.steadyMicroseconds();
  };
  const auto askNext = [&] {
    Request& r = requests.emplace_back(
        Request{servers[requests.size()], requests.empty() ? first : stampRequest()});
    nextTurnUs = clock_.steadyMicroseconds() + kTurnUs;
    try {
      sendRequest(r.server, port, r.sending);
      ++open;
    } catch (const Error&) {
      r.open = false;
      verdict = std::current_exception();
      nextTurnUs = clock_.steadyMicroseconds();
    }
  };

  askNext();
  const Deadline deadline = Deadline::after(clock_, ReceiveTimeout);
  for (;;) {
    if (deadline.passed()) break;
    const bool more = requests.size() < servers.size();
    if (more && clock_.steadyMicroseconds() >= nextTurnUs) {
      askNext();
      continue;
    }
    if (open == 0) {
      if (more) continue;
      break;
    }
    const Deadline until = more ? deadline.soonerOf(nextTurnUs) : deadline;
    std::array<platform::UdpSocket*, 2> waiting{};
    std::array<IpFamily, 2> waitingFamily{};
    std::size_t count = 0;
    for (const IpFamily family : {IpFamily::V4, IpFamily::V6}) {
      if (std::any_of(requests.begin(), requests.end(),
                      [family](const Request& r) { return r.open && r.server.family == family; })) {
        waiting[count] = sockets_[Slot(family)].socket.get();
        waitingFamily[count++] = family;
      }
    }
    platform::WaitedAny waited;
    if (count == 1) {
      const platform::Waited w = waiting[0]->waitReadable(until);
      waited = {w.error, w.readiness, 0};
    } else {
      waited = network_.waitAnyReadable(std::span(waiting.data(), count), until);
    }
    if (waited.error != 0) throw EIdSocketError(waited.error);
    if (waited.readiness == platform::Readiness::TimedOut) continue;

    const IpFamily family = waitingFamily[waited.index];
    sntp::Packet reply{};
    const platform::Received got = waiting[waited.index]->receive(reply);
    const std::int64_t receivedAtUs = clock_.steadyMicroseconds();
    if (got.error == platform::wsa::kWouldBlock) continue;
    Request* answered = nullptr;
    for (Request& r : requests) {
      if (r.open && r.server == got.source && got.sourcePort == port &&
          sntp::AnswersRequest(std::span(reply.data(), got.bytes), r.sending.transmit)) {
        answered = &r;
        break;
      }
    }
    if (answered != nullptr) {
      FamilySocket& s = sockets_[Slot(family)];
      s.clean = ++s.answered >= s.sent;
    }
    if (got.error == platform::wsa::kMessageTooLong) {
      if (answered != nullptr)
        conclude(*answered, std::make_exception_ptr(EIdSocketError(got.error)));
      continue;
    }
    if (got.error != 0) {
      // A report of an unreachable peer names none for certain: it stands
      // for the oldest request still waiting on that socket.
      const auto oldest =
          std::find_if(requests.begin(), requests.end(),
                       [family](const Request& r) { return r.open && r.server.family == family; });
      Request& r = answered != nullptr ? *answered : *oldest;
      conclude(r, std::make_exception_ptr(EIdSocketError(got.error)));
      continue;
    }
    if (answered == nullptr) continue;
    if (got.bytes < sntp::kPacketSize) {
      conclude(*answered, nullptr);
      continue;
    }

    const Sending& sending = answered->sending;
    const sntp::NtpTimestamp t1 = sending.clock;
    const sntp::NtpTimestamp t2 = sntp::ReadTimestamp(reply, sntp::kReceiveOffset);
    const sntp::NtpTimestamp t3 = sntp::ReadTimestamp(reply, sntp::kTransmitOffset);
    const sntp::NtpTimestamp t4 = sntp::AddMicroseconds(t1, receivedAtUs - sending.steadyUs);
    last_ = sntp::MeasureExchange(t1, t2, t3, t4);
    last_.arrived = true;
    last_.stratum = sntp::StratumOf(reply);
    last_.kissCode = sntp::KissCode(reply);
    last_.receivedAtUs = receivedAtUs;
    last_.server = answered->server;
    const double delayMs = last_.delaySeconds * 1000;
    last_.reliable = delayMs >= 0 && (ReceiveTimeout <= 0 || delayMs <= ReceiveTimeout);
    const sntp::NtpTimestamp answer =
        last_.reliable ? sntp::ServerTimeAtArrival(t1, t2, t3, t4) : t3;
    last_.answerUtcUs = sntp::NtpToUtc(answer);
    // The zone in force when the reply came, not when the request went.
    const double offsetDays = utcOffsetDays();
    const TDateTime t = last_.reliable ? sntp::UtcToLocal(last_.answerUtcUs, offsetDays)
                                       : sntp::NtpToLocal(answer, offsetDays);
    if (sntp::JudgeReply(reply, CheckStratum) == sntp::Verdict::Accept) return t;
    conclude(*answered, nullptr);
  }
  if (verdict) std::rethrow_exception(verdict);
  return 0;
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
  // Stamped before the look-up, which may fail or take its time.
  const Sending first = stampRequest();
  const std::wstring host = Host;
  const std::uint16_t port = Port;
  const std::vector<IpAddress> servers = resolve(host);
  for (FamilySocket& f : sockets_) f.sent = f.answered = 0;
  return awaitReply(servers, port, first);
}

}  // namespace hv::time
