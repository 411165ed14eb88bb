#pragma once
// An NTPv4 request with NTS extension fields (RFC 8915 section 5), and the
// checks that make a reply authentic. Pure functions over bytes.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "nts/siv.h"
#include "time/sntp_packet.h"

namespace hv::nts {

inline constexpr std::size_t kUniqueIdSize = 32;
inline constexpr std::size_t kNonceSize = 16;
// Larger replies are dropped unread: 8 cookies of the largest size fit.
inline constexpr std::size_t kMostReplyBytes = 9216;

enum Field : std::uint16_t {
  kUniqueId = 0x0104,
  kCookieField = 0x0204,
  kPlaceholder = 0x0304,
  kAuthenticator = 0x0404,
};

// header with version 4, then the unique identifier, the cookie, as many
// placeholders of the cookie's size, and the authenticator sealed with c2s.
std::vector<std::uint8_t> EncodeNtsRequest(const time::sntp::Packet& header,
                                           std::span<const std::uint8_t> uniqueId,
                                           std::span<const std::uint8_t> cookie,
                                           std::size_t placeholders, const SivKey& c2s,
                                           std::span<const std::uint8_t> nonce);

struct NtsReply {
  enum class Kind { Authentic, Nak, Refused } kind = Kind::Refused;
  std::vector<std::vector<std::uint8_t>> cookies;  // from the sealed part
  std::string why;                                 // when Refused
};

// Authentic: uniqueId is echoed before the authenticator, which opens with
// s2c. Nak: an unauthenticated kiss-o'-death "NTSN" that echoes uniqueId.
// Fields after the authenticator are not covered by it and are ignored.
NtsReply CheckNtsReply(std::span<const std::uint8_t> reply, std::span<const std::uint8_t> uniqueId,
                       const SivKey& s2c);

// Calls each(type, body) for the fields of bytes until it returns false;
// false when a field's length is malformed.
template <typename Each>
bool WalkFields(std::span<const std::uint8_t> bytes, Each each) {
  std::size_t at = 0;
  while (at < bytes.size()) {
    if (bytes.size() - at < 4) return false;
    const std::uint16_t type = static_cast<std::uint16_t>(bytes[at] << 8 | bytes[at + 1]);
    const std::size_t length = static_cast<std::size_t>(bytes[at + 2] << 8 | bytes[at + 3]);
    if (length < 4 || length % 4 != 0 || length > bytes.size() - at) return false;
    if (!each(type, at, bytes.subspan(at + 4, length - 4))) return true;
    at += length;
  }
  return true;
}

}  // namespace hv::nts
