#pragma once
// The 48-byte SNTP message (RFC 4330 layout, big-endian fields): the request
// the client sends and the checks a reply must pass. Pure functions over
// bytes; the socket lives elsewhere.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace hv::time::sntp {

inline constexpr std::size_t kPacketSize = 48;
using Packet = std::array<std::uint8_t, kPacketSize>;

inline constexpr std::size_t kFlagsOffset = 0;  // leap (bits 7-6), version (5-3), mode (2-0)
inline constexpr std::size_t kStratumOffset = 1;
inline constexpr std::size_t kReferenceIdOffset = 12;
inline constexpr std::size_t kOriginateOffset = 24;
inline constexpr std::size_t kReceiveOffset = 32;
inline constexpr std::size_t kTransmitOffset = 40;
inline constexpr std::size_t kTimestampSize = 8;

static_assert(kStratumOffset == kFlagsOffset + 1);
static_assert(kReferenceIdOffset + 4 == 16);
static_assert(kOriginateOffset + kTimestampSize == kReceiveOffset);
static_assert(kReceiveOffset + kTimestampSize == kTransmitOffset);
static_assert(kTransmitOffset + kTimestampSize == kPacketSize);

// Leap indicator 0, version 3, mode 3 (client).
inline constexpr std::uint8_t kRequestFlags = 0x1B;
inline constexpr int kLeapAlarm = 3;
inline constexpr int kMaxUsableStratum = 15;

struct NtpTimestamp {
  std::uint32_t seconds = 0;  // since 1 January 1900 00:00 UTC
  std::uint32_t fraction = 0;
  friend bool operator==(const NtpTimestamp&, const NtpTimestamp&) = default;
};

// All zero but the flags and the transmit timestamp.
Packet EncodeRequest(NtpTimestamp transmit);

NtpTimestamp ReadTimestamp(const Packet& packet, std::size_t offset);
int LeapIndicator(const Packet& packet);
int StratumOf(const Packet& packet);

// The acceptance rules, one each. True means the reply is refused.
bool LeapIndicatorAlarm(const Packet& reply);
bool TransmitTimestampZero(const Packet& reply);
// Stratum 0 (unspecified, or a kiss-o'-death) or above 15.
bool IsStratumUnusable(const Packet& reply);

// The code of a kiss-o'-death: a stratum-0 reply whose reference identifier
// holds four capital letters ("DENY", "RATE"). Empty for any other reply.
std::string KissCode(const Packet& reply);
// Codes by which a server asks its clients to stop querying it.
bool KissMeansStop(const std::string& code);

enum class Verdict { Accept, LeapAlarm, ZeroTransmit, StratumUnusable };
Verdict JudgeReply(const Packet& reply, bool checkStratum);

// A reply to this very request carries its transmit timestamp back as the
// originate timestamp. received is what arrived, possibly cut short; too few
// bytes to hold the originate timestamp never match.
bool AnswersRequest(std::span<const std::uint8_t> received, NtpTimestamp sent);

}  // namespace hv::time::sntp
