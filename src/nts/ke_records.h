#pragma once
// The records of a key exchange (RFC 8915 section 4): what the client sends,
// and what it takes from the server's answer. Pure functions over bytes.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace hv::nts {

inline constexpr std::uint16_t kAeadAesSivCmac256 = 15;
inline constexpr std::uint16_t kDefaultNtpPort = 123;
// More is never needed and only costs memory and request size.
inline constexpr std::size_t kMostCookies = 8;
inline constexpr std::size_t kMostCookieBytes = 1024;
// The whole answer: 8 cookies of the largest size and the rest.
inline constexpr std::size_t kMostAnswerBytes = 16 * 1024;

// Next protocol NTPv4, AEAD_AES_SIV_CMAC_256, end of message.
std::vector<std::uint8_t> EncodeKeRequest();

struct KeAnswer {
  std::vector<std::vector<std::uint8_t>> cookies;
  std::string server;  // empty: the key-exchange server's own address
  std::uint16_t port = kDefaultNtpPort;
};

struct KeParsed {
  enum class State { NeedMore, Done, Refused } state = State::NeedMore;
  KeAnswer answer;       // when Done
  std::string why;       // when Refused, a few words
  std::size_t used = 0;  // bytes up to the end-of-message record
};

// The answer as far as bytes go. Refused for an error or warning record, a
// critical record it does not know, a protocol or algorithm other than
// ours, a malformed record, no cookie, or more than kMostAnswerBytes.
KeParsed ParseKeAnswer(std::span<const std::uint8_t> bytes);

}  // namespace hv::nts
