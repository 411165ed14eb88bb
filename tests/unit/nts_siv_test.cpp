#include <gtest/gtest.h>

#include <vector>

#include "nts/siv.h"

namespace hv::nts {
namespace {

std::vector<std::uint8_t> Hex(const char* text) {
  std::vector<std::uint8_t> out;
  for (const char* p = text; p[0] && p[1]; p += 2) {
    out.push_back(static_cast<std::uint8_t>(std::stoi(std::string(p, 2), nullptr, 16)));
  }
  return out;
}

// RFC 5297 appendix A.1, the deterministic example.
TEST(NtsSiv, MatchesTheRfcVectorAndRefusesAnyChangedByte) {
  SivKey key;
  const auto keyBytes = Hex("fffefdfcfbfaf9f8f7f6f5f4f3f2f1f0f0f1f2f3f4f5f6f7f8f9fafbfcfdfeff");
  std::copy(keyBytes.begin(), keyBytes.end(), key.begin());
  const auto ad = Hex("101112131415161718191a1b1c1d1e1f2021222324252627");
  const auto plain = Hex("112233445566778899aabbccddee");
  const auto sealed = SivSeal(key, ad, {}, plain);
  EXPECT_EQ(sealed, Hex("85632d07c6e8f37f950acd320a2ecc9340c02b9690c4dc04daef7f6afe5c"));
  EXPECT_EQ(SivOpen(key, ad, {}, sealed), plain);
  for (std::size_t i = 0; i < sealed.size(); ++i) {
    auto bad = sealed;
    bad[i] ^= 1;
    EXPECT_FALSE(SivOpen(key, ad, {}, bad)) << "byte " << i;
  }
  auto otherAd = ad;
  otherAd[0] ^= 1;
  EXPECT_FALSE(SivOpen(key, otherAd, {}, sealed));
  // With a nonce and nothing to hide, as an NTS request seals.
  const auto nonce = Hex("00112233445566778899aabbccddeeff");
  const auto tagOnly = SivSeal(key, ad, nonce, {});
  ASSERT_EQ(tagOnly.size(), kSivTagSize);
  EXPECT_EQ(SivOpen(key, ad, nonce, tagOnly), std::vector<std::uint8_t>{});
  EXPECT_FALSE(SivOpen(key, ad, {}, tagOnly));
}

}  // namespace
}  // namespace hv::nts
