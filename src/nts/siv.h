#pragma once
// AEAD_AES_SIV_CMAC_256 (RFC 5297 with one associated datum and a nonce):
// OpenSSL's AES-128-SIV, whose 32-byte key is the MAC key and the CTR key.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace hv::nts {

inline constexpr std::size_t kSivKeySize = 32;
inline constexpr std::size_t kSivTagSize = 16;
using SivKey = std::array<std::uint8_t, kSivKeySize>;

// The synthetic IV followed by the ciphertext. An empty nonce leaves it out,
// as in RFC 5297's deterministic use. Throws hv::Error when OpenSSL fails.
std::vector<std::uint8_t> SivSeal(const SivKey& key, std::span<const std::uint8_t> associated,
                                  std::span<const std::uint8_t> nonce,
                                  std::span<const std::uint8_t> plaintext);
// The plaintext, or none when sealed does not authenticate.
std::optional<std::vector<std::uint8_t>> SivOpen(const SivKey& key,
                                                 std::span<const std::uint8_t> associated,
                                                 std::span<const std::uint8_t> nonce,
                                                 std::span<const std::uint8_t> sealed);

}  // namespace hv::nts
