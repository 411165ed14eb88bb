#include "time/sntp_packet.h"

namespace hv::time::sntp {
namespace {

void putUint32(Packet& p, std::size_t offset, std::uint32_t v) {
  p[offset] = static_cast<std::uint8_t>(v >> 24);
  p[offset + 1] = static_cast<std::uint8_t>(v >> 16);
  p[offset + 2] = static_cast<std::uint8_t>(v >> 8);
  p[offset + 3] = static_cast<std::uint8_t>(v);
}

std::uint32_t getUint32(std::span<const std::uint8_t> p, std::size_t offset) {
  return static_cast<std::uint32_t>(p[offset]) << 24 |
         static_cast<std::uint32_t>(p[offset + 1]) << 16 |
         static_cast<std::uint32_t>(p[offset + 2]) << 8 | p[offset + 3];
}

NtpTimestamp getTimestamp(std::span<const std::uint8_t> p, std::size_t offset) {
  return {getUint32(p, offset), getUint32(p, offset + 4)};
}

}  // namespace

Packet encodeRequest(NtpTimestamp transmit) {
  Packet p{};
  p[kFlagsOffset] = kRequestFlags;
  putUint32(p, kTransmitOffset, transmit.seconds);
  putUint32(p, kTransmitOffset + 4, transmit.fraction);
  return p;
}

NtpTimestamp readTimestamp(const Packet& packet, std::size_t offset) {
  return getTimestamp(packet, offset);
}

int leapIndicator(const Packet& packet) {
  return packet[kFlagsOffset] >> 6;
}

int stratum(const Packet& packet) {
  return packet[kStratumOffset];
}

bool leapIndicatorAlarm(const Packet& reply) {
  return leapIndicator(reply) == kLeapAlarm;
}

bool transmitTimestampZero(const Packet& reply) {
  return readTimestamp(reply, kTransmitOffset) == NtpTimestamp{};
}

bool stratumUnusable(const Packet& reply) {
  const int s = stratum(reply);
  return s == 0 || s > kMaxUsableStratum;
}

Verdict judgeReply(const Packet& reply, bool checkStratum) {
  if (leapIndicatorAlarm(reply)) return Verdict::LeapAlarm;
  if (transmitTimestampZero(reply)) return Verdict::ZeroTransmit;
  if (checkStratum && stratumUnusable(reply)) return Verdict::StratumUnusable;
  return Verdict::Accept;
}

std::string kissCode(const Packet& reply) {
  if (stratum(reply) != 0) return {};
  std::string code;
  for (std::size_t i = 0; i < 4; ++i) {
    const auto c = static_cast<char>(reply[kReferenceIdOffset + i]);
    if (c < 'A' || c > 'Z') return {};
    code += c;
  }
  return code;
}

bool kissMeansStop(const std::string& code) {
  return code == "DENY" || code == "RSTR" || code == "RATE";
}

bool answersRequest(std::span<const std::uint8_t> received, NtpTimestamp sent) {
  if (received.size() < kOriginateOffset + kTimestampSize) return false;
  return getTimestamp(received, kOriginateOffset) == sent;
}

}  // namespace hv::time::sntp
