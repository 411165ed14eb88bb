// Key-exchange answers and NTP extension fields of any content. Byte 0 picks:
// 0, the bytes as a key-exchange answer; 1, as the fields after a reply's
// header; 2, as the sealed part of an otherwise authentic reply, which must
// authenticate exactly when its fields are well formed.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "nts/ke_records.h"
#include "nts/nts_packet.h"

namespace {

using namespace hv::nts;

void Require(bool ok) {
  if (!ok) std::abort();
}

const SivKey kKey{1, 2, 3};
const std::uint8_t kUniqueId[kUniqueIdSize] = {9, 8, 7};

void Keys(std::span<const std::uint8_t> bytes) {
  const KeParsed p = ParseKeAnswer(bytes);
  if (p.state != KeParsed::State::Done) return;
  Require(p.used <= bytes.size() && p.used <= kMostAnswerBytes);
  Require(!p.answer.cookies.empty() && p.answer.cookies.size() <= kMostCookies);
  for (const auto& c : p.answer.cookies) Require(!c.empty() && c.size() <= kMostCookieBytes);
  Require(p.answer.port != 0 && p.answer.server.size() <= 255);
  // The end of the message ends it: nothing after it changes the answer.
  Require(ParseKeAnswer(bytes.first(p.used)).answer.cookies == p.answer.cookies);
}

void Reply(std::span<const std::uint8_t> bytes, bool sealed) {
  std::vector<std::uint8_t> reply(48, 0);
  reply[0] = 0x24;
  if (!sealed) {
    reply.insert(reply.end(), bytes.begin(), bytes.end());
    const NtsReply r = CheckNtsReply(reply, kUniqueId, kKey);
    Require(r.cookies.size() <= kMostCookies);
    return;
  }
  reply.insert(reply.end(), {0x01, 0x04, 0, 4 + kUniqueIdSize});
  reply.insert(reply.end(), kUniqueId, kUniqueId + kUniqueIdSize);
  const std::uint8_t nonce[kNonceSize] = {5};
  const std::vector<std::uint8_t> s = SivSeal(kKey, reply, nonce, bytes);
  const std::size_t padded = (s.size() + 3) / 4 * 4;
  const std::size_t length = 4 + 4 + kNonceSize + padded;
  if (length > 0xFFFF) return;
  reply.insert(
      reply.end(),
      {0x04, 0x04, static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length), 0,
       kNonceSize, static_cast<std::uint8_t>(s.size() >> 8), static_cast<std::uint8_t>(s.size())});
  reply.insert(reply.end(), nonce, nonce + kNonceSize);
  reply.insert(reply.end(), s.begin(), s.end());
  reply.insert(reply.end(), padded - s.size(), 0);
  const bool wellFormed = WalkFields(
      bytes, [](std::uint16_t, std::size_t, std::span<const std::uint8_t>) { return true; });
  const NtsReply r = CheckNtsReply(reply, kUniqueId, kKey);
  Require((r.kind == NtsReply::Kind::Authentic) == wellFormed);
  Require(r.cookies.size() <= kMostCookies);
  // Any byte changed in what the authenticator covers refuses the reply.
  if (!reply.empty()) {
    reply[bytes.size() % 48] ^= 0x40;
    Require(CheckNtsReply(reply, kUniqueId, kKey).kind != NtsReply::Kind::Authentic);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::span<const std::uint8_t> bytes(data + 1, size - 1);
  switch (data[0] % 3) {
    case 0:
      Keys(bytes);
      break;
    case 1:
      Reply(bytes, false);
      break;
    default:
      Reply(bytes, true);
      break;
  }
  return 0;
}
