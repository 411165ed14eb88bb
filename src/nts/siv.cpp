#include "nts/siv.h"

#include <openssl/core_names.h>
#include <openssl/crypto.h>
#include <openssl/evp.h>

#include <array>
#include <memory>

#include "base/error.h"

namespace hv::nts {
namespace {

struct CipherFree {
  void operator()(EVP_CIPHER* c) const { EVP_CIPHER_free(c); }
};
struct ContextFree {
  void operator()(EVP_CIPHER_CTX* c) const { EVP_CIPHER_CTX_free(c); }
};
using Context = std::unique_ptr<EVP_CIPHER_CTX, ContextFree>;

// Fetched once: the look-up walks the provider's tables.
EVP_CIPHER* Siv() {
  static const std::unique_ptr<EVP_CIPHER, CipherFree> cipher(
      EVP_CIPHER_fetch(nullptr, "AES-128-SIV", nullptr));
  if (!cipher) throw Error(L"AES-SIV is not available.");
  return cipher.get();
}

// Each associated datum is its own vector of the S2V chain; the nonce is
// the last of them.
Context Start(const SivKey& key, bool encrypt, std::span<const std::uint8_t> associated,
              std::span<const std::uint8_t> nonce, std::span<const std::uint8_t> tag) {
  Context ctx(EVP_CIPHER_CTX_new());
  if (!ctx ||
      EVP_CipherInit_ex2(ctx.get(), Siv(), key.data(), nullptr, encrypt ? 1 : 0, nullptr) != 1)
    throw Error(L"AES-SIV could not start.");
  if (!encrypt && EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_AEAD_SET_TAG, kSivTagSize,
                                      const_cast<std::uint8_t*>(tag.data())) != 1)
    throw Error(L"AES-SIV could not start.");
  int n = 0;
  if (EVP_CipherUpdate(ctx.get(), nullptr, &n, associated.data(),
                       static_cast<int>(associated.size())) != 1)
    throw Error(L"AES-SIV failed.");
  if (!nonce.empty() &&
      EVP_CipherUpdate(ctx.get(), nullptr, &n, nonce.data(), static_cast<int>(nonce.size())) != 1)
    throw Error(L"AES-SIV failed.");
  return ctx;
}

using Block = std::array<std::uint8_t, kSivTagSize>;

struct MacFree {
  void operator()(EVP_MAC* m) const { EVP_MAC_free(m); }
};
struct MacContextFree {
  void operator()(EVP_MAC_CTX* m) const { EVP_MAC_CTX_free(m); }
};

Block Cmac(std::span<const std::uint8_t> key, std::span<const std::uint8_t> data) {
  static const std::unique_ptr<EVP_MAC, MacFree> mac(EVP_MAC_fetch(nullptr, "CMAC", nullptr));
  if (!mac) throw Error(L"AES-SIV is not available.");
  const std::unique_ptr<EVP_MAC_CTX, MacContextFree> ctx(EVP_MAC_CTX_new(mac.get()));
  char cipher[] = "AES-128-CBC";
  const OSSL_PARAM params[] = {OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_CIPHER, cipher, 0),
                               OSSL_PARAM_END};
  Block out{};
  std::size_t n = 0;
  if (!ctx || EVP_MAC_init(ctx.get(), key.data(), key.size(), params) != 1 ||
      EVP_MAC_update(ctx.get(), data.data(), data.size()) != 1 ||
      EVP_MAC_final(ctx.get(), out.data(), &n, out.size()) != 1 || n != out.size())
    throw Error(L"AES-SIV failed.");
  return out;
}

Block Doubled(const Block& d) {
  Block out{};
  for (std::size_t i = 0; i < d.size(); ++i) {
    out[i] = static_cast<std::uint8_t>(d[i] << 1 | (i + 1 < d.size() ? d[i + 1] >> 7 : 0));
  }
  if (d[0] & 0x80) out[d.size() - 1] ^= 0x87;
  return out;
}

// OpenSSL's cipher never finishes S2V over an empty plaintext, so that case,
// where the synthetic IV is the whole output, is computed here (RFC 5297
// section 2.4, with the last string empty).
Block SyntheticIvOfNothing(const SivKey& key, std::span<const std::uint8_t> associated,
                           std::span<const std::uint8_t> nonce) {
  const std::span<const std::uint8_t> macKey(key.data(), key.size() / 2);
  Block d = Cmac(macKey, Block{});
  std::array<std::span<const std::uint8_t>, 2> strings{associated, nonce};
  for (const auto s : std::span(strings.data(), nonce.empty() ? 1 : 2)) {
    const Block m = Cmac(macKey, s);
    d = Doubled(d);
    for (std::size_t i = 0; i < d.size(); ++i) d[i] ^= m[i];
  }
  d = Doubled(d);
  d[0] ^= 0x80;
  return Cmac(macKey, d);
}

}  // namespace

std::vector<std::uint8_t> SivSeal(const SivKey& key, std::span<const std::uint8_t> associated,
                                  std::span<const std::uint8_t> nonce,
                                  std::span<const std::uint8_t> plaintext) {
  if (plaintext.empty()) {
    const Block v = SyntheticIvOfNothing(key, associated, nonce);
    return {v.begin(), v.end()};
  }
  Context ctx = Start(key, true, associated, nonce, {});
  std::vector<std::uint8_t> out(kSivTagSize + plaintext.size());
  int n = 0;
  if (EVP_CipherUpdate(ctx.get(), out.data() + kSivTagSize, &n, plaintext.data(),
                       static_cast<int>(plaintext.size())) != 1 ||
      EVP_CipherFinal_ex(ctx.get(), out.data() + kSivTagSize + n, &n) != 1 ||
      EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_AEAD_GET_TAG, kSivTagSize, out.data()) != 1)
    throw Error(L"AES-SIV failed.");
  return out;
}

std::optional<std::vector<std::uint8_t>> SivOpen(const SivKey& key,
                                                 std::span<const std::uint8_t> associated,
                                                 std::span<const std::uint8_t> nonce,
                                                 std::span<const std::uint8_t> sealed) {
  if (sealed.size() < kSivTagSize) return std::nullopt;
  if (sealed.size() == kSivTagSize) {
    const Block v = SyntheticIvOfNothing(key, associated, nonce);
    if (CRYPTO_memcmp(v.data(), sealed.data(), v.size()) != 0) return std::nullopt;
    return std::vector<std::uint8_t>{};
  }
  Context ctx = Start(key, false, associated, nonce, sealed.first(kSivTagSize));
  const std::span<const std::uint8_t> cipher = sealed.subspan(kSivTagSize);
  std::vector<std::uint8_t> out(cipher.size() + 1);
  int n = 0;
  if (EVP_CipherUpdate(ctx.get(), out.data(), &n, cipher.data(), static_cast<int>(cipher.size())) !=
      1)
    return std::nullopt;
  int last = 0;
  if (EVP_CipherFinal_ex(ctx.get(), out.data() + n, &last) != 1) return std::nullopt;
  out.resize(cipher.size());
  return out;
}

}  // namespace hv::nts
