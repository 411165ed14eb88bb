#include "nts/nts_client.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "nts/nts_error.h"
#include "nts/nts_packet.h"
#include "time/sntp_error.h"
#include "time/sntp_figures.h"
#include "time/sntp_host.h"
#include "time/sntp_timestamp.h"

namespace hv::nts {
namespace {

using platform::Deadline;
using platform::IpAddress;
namespace sntp = time::sntp;

// An authenticated answer this close to the clock shows the clock is right.
constexpr double kAgreementSeconds = 5;

std::string AsciiHost(const std::wstring& host) {
  std::string out;
  for (const wchar_t c : host) {
    if (c <= 0x20 || c >= 0x7F) throw NtsError("host name not ASCII");
    out.push_back(static_cast<char>(c));
  }
  // Brackets belong to the address's spelling in a server box, not to it.
  if (out.size() > 2 && out.front() == '[' && out.back() == ']')
    out = out.substr(1, out.size() - 2);
  return out;
}

}  // namespace

TNtsClient::TNtsClient(platform::Clock& clock, platform::Network& network,
                       platform::TcpNetwork& tcp, platform::Random& random,
                       platform::TrustRoots& roots)
    : clock_(clock), network_(network), tcp_(tcp), random_(random), exchanger_(roots) {}

double TNtsClient::utcOffsetDays() {
  return sntp::OffsetDays(sntp::UtcBiasMinutes(clock_.timeZone()));
}

IpAddress TNtsClient::resolve(const std::wstring& host) {
  if (const auto literal = sntp::AddressWithoutLookup(host)) return *literal;
  const platform::Resolved r = network_.resolve(host);
  if (r.error != 0) throw time::EIdSocketError(r.error);
  if (r.addresses.empty()) throw time::EIdSocketError(platform::wsa::kHostNotFound);
  return r.addresses.front();
}

void TNtsClient::keyExchange(Deadline until) {
  session_.reset();
  cookies_.clear();
  const std::string host = AsciiHost(Host);
  const IpAddress address = resolve(Host);
  const Deadline keUntil = until.limited() ? until : Deadline::after(clock_, kMostKeyExchangeMs);
  platform::Connected c = tcp_.connect(address, Port, keUntil);
  if (c.error == platform::kTimedOut) throw NtsError("key exchange timed out");
  if (c.error != 0) throw NtsError("key exchange connection failed");
  const CertificateDates dates{ClockTrusted, clock_.utcMicroseconds() / 1'000'000, FloorUtcSeconds};
  KeSession session = exchanger_.run(*c.stream, host, dates, keUntil);
  const std::wstring named(session.answer.server.begin(), session.answer.server.end());
  ntpAddress_ = named.empty() ? address : resolve(named);
  ntpPort_ = session.answer.port;
  ntpServerName_ = named.empty() ? Host : named;
  for (auto& cookie : session.answer.cookies) cookies_.push_back(std::move(cookie));
  session.answer.cookies.clear();
  session_ = std::move(session);
  sessionHost_ = Host;
  sessionPort_ = Port;
}

TNtsClient::Outcome TNtsClient::query(Deadline until, time::TDateTime& t) {
  platform::Opened opened = network_.openUdp(ntpAddress_.family);
  if (opened.error != 0) throw time::EIdSocketError(opened.error);
  platform::UdpSocket& socket = *opened.socket;
  if (socket.bindAnyPort() != 0) {
    throw Error(L"Could not bind socket. Address and port are already in use.");
  }
  std::array<std::uint8_t, kUniqueIdSize + kNonceSize + 4> drawn;
  random_.fill(drawn);
  const std::span<const std::uint8_t> uniqueId(drawn.data(), kUniqueIdSize);
  const std::span<const std::uint8_t> nonce(drawn.data() + kUniqueIdSize, kNonceSize);
  const std::uint8_t* stamp = drawn.data() + kUniqueIdSize + kNonceSize;
  const std::uint32_t stampNonce = static_cast<std::uint32_t>(stamp[0]) << 24 |
                                   static_cast<std::uint32_t>(stamp[1]) << 16 |
                                   static_cast<std::uint32_t>(stamp[2]) << 8 | stamp[3];
  // Each request spends a cookie and asks for enough to fill the stock.
  const std::size_t placeholders = kCookieStock - std::min(kCookieStock, cookies_.size());
  const std::vector<std::uint8_t> cookie = std::move(cookies_.front());
  cookies_.pop_front();

  const sntp::NtpTimestamp clockStamp = sntp::UtcToNtp(clock_.utcMicroseconds());
  const std::int64_t sentUs = clock_.steadyMicroseconds();
  const sntp::NtpTimestamp transmit = sntp::WithNonce(clockStamp, stampNonce);
  const std::vector<std::uint8_t> request = EncodeNtsRequest(
      sntp::EncodeRequest(transmit), uniqueId, cookie, placeholders, session_->c2s, nonce);
  const platform::Sent sent = socket.sendTo(ntpAddress_, ntpPort_, request);
  if (sent.error != 0) throw time::EIdSocketError(sent.error);
  if (sent.bytes < request.size()) throw Error(L"Not all bytes sent.");

  why_ = "no reply";
  std::vector<std::uint8_t> reply(kMostReplyBytes);
  for (;;) {
    const platform::Waited w = socket.waitReadable(until);
    if (w.error != 0) throw time::EIdSocketError(w.error);
    if (w.readiness == platform::Readiness::TimedOut) return Outcome::None;
    const platform::Received got = socket.receive(reply);
    const std::int64_t receivedAtUs = clock_.steadyMicroseconds();
    // Too long, a stray, a forgery, or a late reply to another request.
    if (got.error == platform::wsa::kWouldBlock || got.error == platform::wsa::kMessageTooLong)
      continue;
    if (got.error != 0) throw time::EIdSocketError(got.error);
    const std::span<const std::uint8_t> bytes(reply.data(), got.bytes);
    if (got.source != ntpAddress_ || got.sourcePort != ntpPort_ ||
        !sntp::AnswersRequest(bytes, transmit))
      continue;
    const NtsReply checked = CheckNtsReply(bytes, uniqueId, session_->s2c);
    if (checked.kind == NtsReply::Kind::Nak) return Outcome::Nak;
    if (checked.kind == NtsReply::Kind::Refused) {
      why_ = "reply did not authenticate";
      continue;
    }
    for (const auto& fresh : checked.cookies) {
      if (cookies_.size() < kCookieStock) cookies_.push_back(fresh);
    }
    sntp::Packet header;
    std::copy_n(reply.begin(), header.size(), header.begin());
    const sntp::NtpTimestamp t1 = clockStamp;
    const sntp::NtpTimestamp t2 = sntp::ReadTimestamp(header, sntp::kReceiveOffset);
    const sntp::NtpTimestamp t3 = sntp::ReadTimestamp(header, sntp::kTransmitOffset);
    const sntp::NtpTimestamp t4 = sntp::AddMicroseconds(t1, receivedAtUs - sentUs);
    last_ = sntp::MeasureExchange(t1, t2, t3, t4);
    last_.arrived = true;
    last_.stratum = sntp::StratumOf(header);
    last_.kissCode = sntp::KissCode(header);
    last_.receivedAtUs = receivedAtUs;
    last_.server = ntpAddress_;
    last_.authenticatedBy = ntpServerName_;
    const double delayMs = last_.delaySeconds * 1000;
    last_.reliable = delayMs >= 0 && (ReceiveTimeout <= 0 || delayMs <= ReceiveTimeout);
    const sntp::NtpTimestamp answer =
        last_.reliable ? sntp::ServerTimeAtArrival(t1, t2, t3, t4) : t3;
    last_.answerUtcUs = sntp::NtpToUtc(answer);
    if (sntp::JudgeReply(header, CheckStratum) != sntp::Verdict::Accept) {
      why_ = "unusable reply";
      return Outcome::None;
    }
    const double offsetDays = utcOffsetDays();
    t = last_.reliable ? sntp::UtcToLocal(last_.answerUtcUs, offsetDays)
                       : sntp::NtpToLocal(answer, offsetDays);
    if (last_.reliable && std::fabs(last_.offsetSeconds) < kAgreementSeconds) ClockTrusted = true;
    why_.clear();
    return Outcome::Authentic;
  }
}

time::TDateTime TNtsClient::DateTime() {
  const std::lock_guard lock(query_);
  last_ = {};
  why_.clear();
  utcOffsetDays();
  const Deadline until = Deadline::after(clock_, ReceiveTimeout);
  if (Host != sessionHost_ || Port != sessionPort_) session_.reset();
  // A NAK means the server no longer knows our cookies: one new key
  // exchange within the same wait, never more, so forged NAKs cost little.
  for (int round = 0; round < 2; ++round) {
    if (!session_ || cookies_.empty()) keyExchange(until);
    time::TDateTime t = 0;
    const Outcome outcome = query(until, t);
    if (outcome == Outcome::Authentic) return t;
    if (outcome == Outcome::None) return 0;
    session_.reset();
    why_ = "server refused the cookie";
  }
  return 0;
}

}  // namespace hv::nts
