#include "time/sntp_packet.h"

namespace hv::time::sntp {
namespace {

void PutUint32(Packet& p, std::size_t offset, std::uint32_t v) {
  p[offset] = static_cast<std::uint8_t>(v >> 24);
  p[offset + 1] = static_cast<std::uint8_t>(v >> 16);
  p[offset + 2] = static_cast<std::uint8_t>(v >> 8);
  p[offset + 3] = static_cast<std::uint8_t>(v);
}

std::uint32_t GetUint32(std::span<const std::uint8_t> p, std::size_t offset) {
  return static_cast<std::uint32_t>(p[offset]) << 24 |
         static_cast<std::uint32_t>(p[offset + 1]) << 16 |
         static_cast<std::uint32_t>(p[offset + 2]) << 8 | p[offset + 3];
}

NtpTimestamp GetTimestamp(std::span<const std::uint8_t> p, std::size_t offset) {
  return {GetUint32(p, offset), GetUint32(p, offset + 4)};
}

}  // namespace

Packet EncodeRequest(NtpTimestamp transmit) {
  Packet p{};
  p[kFlagsOffset] = kRequestFlags;
  PutUint32(p, kTransmitOffset, transmit.seconds);
  PutUint32(p, kTransmitOffset + 4, transmit.fraction);
  return p;
}

NtpTimestamp ReadTimestamp(const Packet& packet, std::size_t offset) {
  return GetTimestamp(packet, offset);
}

int LeapIndicator(const Packet& packet) {
  return packet[kFlagsOffset] >> 6;
}

int StratumOf(const Packet& packet) {
  return packet[kStratumOffset];
}

bool LeapIndicatorAlarm(const Packet& reply) {
  return LeapIndicator(reply) == kLeapAlarm;
}

bool TransmitTimestampZero(const Packet& reply) {
  return ReadTimestamp(reply, kTransmitOffset) == NtpTimestamp{};
}

bool IsStratumUnusable(const Packet& reply) {
  const int s = StratumOf(reply);
  return s == 0 || s > kMaxUsableStratum;
}

Verdict JudgeReply(const Packet& reply, bool checkStratum) {
  if (LeapIndicatorAlarm(reply)) return Verdict::LeapAlarm;
  if (TransmitTimestampZero(reply)) return Verdict::ZeroTransmit;
  if (checkStratum && IsStratumUnusable(reply)) return Verdict::StratumUnusable;
  return Verdict::Accept;
}

std::string KissCode(const Packet& reply) {
  if (StratumOf(reply) != 0) return {};
  std::string code;
  for (std::size_t i = 0; i < 4; ++i) {
    const auto c = static_cast<char>(reply[kReferenceIdOffset + i]);
    if (c < 'A' || c > 'Z') return {};
    code += c;
  }
  return code;
}

bool KissMeansStop(const std::string& code) {
  return code == "DENY" || code == "RSTR" || code == "RATE";
}

bool AnswersRequest(std::span<const std::uint8_t> received, NtpTimestamp sent) {
  if (received.size() < kOriginateOffset + kTimestampSize) return false;
  return GetTimestamp(received, kOriginateOffset) == sent;
}

}  // namespace hv::time::sntp
