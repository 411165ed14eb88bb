#include "nts/nts_packet.h"

#include <algorithm>
#include <optional>

#include "nts/ke_records.h"

namespace hv::nts {
namespace {

constexpr std::uint8_t kVersion4Client = 0x23;

void Put16(std::vector<std::uint8_t>& out, std::size_t v) {
  out.push_back(static_cast<std::uint8_t>(v >> 8));
  out.push_back(static_cast<std::uint8_t>(v));
}

std::size_t Padded(std::size_t n) {
  return (n + 3) / 4 * 4;
}

void PutField(std::vector<std::uint8_t>& out, std::uint16_t type,
              std::span<const std::uint8_t> body, bool zeros = false) {
  Put16(out, type);
  Put16(out, 4 + Padded(body.size()));
  if (zeros) {
    out.insert(out.end(), body.size(), 0);
  } else {
    out.insert(out.end(), body.begin(), body.end());
  }
  out.insert(out.end(), Padded(body.size()) - body.size(), 0);
}

NtsReply Refused(std::string why) {
  NtsReply r;
  r.why = std::move(why);
  return r;
}

}  // namespace

std::vector<std::uint8_t> EncodeNtsRequest(const time::sntp::Packet& header,
                                           std::span<const std::uint8_t> uniqueId,
                                           std::span<const std::uint8_t> cookie,
                                           std::size_t placeholders, const SivKey& c2s,
                                           std::span<const std::uint8_t> nonce) {
  std::vector<std::uint8_t> out(header.begin(), header.end());
  out[time::sntp::kFlagsOffset] = kVersion4Client;
  PutField(out, kUniqueId, uniqueId);
  PutField(out, kCookieField, cookie);
  for (std::size_t i = 0; i < placeholders; ++i) PutField(out, kPlaceholder, cookie, true);
  const std::vector<std::uint8_t> sealed = SivSeal(c2s, out, nonce, {});
  Put16(out, kAuthenticator);
  Put16(out, 4 + 4 + Padded(nonce.size()) + Padded(sealed.size()));
  Put16(out, nonce.size());
  Put16(out, sealed.size());
  out.insert(out.end(), nonce.begin(), nonce.end());
  out.insert(out.end(), Padded(nonce.size()) - nonce.size(), 0);
  out.insert(out.end(), sealed.begin(), sealed.end());
  out.insert(out.end(), Padded(sealed.size()) - sealed.size(), 0);
  return out;
}

NtsReply CheckNtsReply(std::span<const std::uint8_t> reply, std::span<const std::uint8_t> uniqueId,
                       const SivKey& s2c) {
  if (reply.size() < time::sntp::kPacketSize) return Refused("reply too short");
  const std::span<const std::uint8_t> fields = reply.subspan(time::sntp::kPacketSize);
  bool echoed = false;
  bool repeated = false;
  std::optional<std::size_t> authAt;
  std::span<const std::uint8_t> auth;
  const bool wellFormed = WalkFields(
      fields, [&](std::uint16_t type, std::size_t at, std::span<const std::uint8_t> body) {
        if (type == kUniqueId) {
          repeated = repeated || echoed;
          echoed = body.size() == uniqueId.size() &&
                   std::equal(body.begin(), body.end(), uniqueId.begin());
        } else if (type == kAuthenticator) {
          authAt = time::sntp::kPacketSize + at;
          auth = body;
          return false;
        }
        return true;
      });
  if (!wellFormed) return Refused("malformed fields");
  if (repeated || !echoed) return Refused("identifier not echoed");
  if (!authAt) {
    time::sntp::Packet header;
    std::copy_n(reply.begin(), header.size(), header.begin());
    if (time::sntp::KissCode(header) == "NTSN") {
      NtsReply nak;
      nak.kind = NtsReply::Kind::Nak;
      return nak;
    }
    return Refused("not authenticated");
  }
  if (auth.size() < 4) return Refused("malformed authenticator");
  const std::size_t nonceLength = static_cast<std::size_t>(auth[0] << 8 | auth[1]);
  const std::size_t sealedLength = static_cast<std::size_t>(auth[2] << 8 | auth[3]);
  const std::size_t noncePadded = (nonceLength + 3) / 4 * 4;
  if (nonceLength == 0 || 4 + noncePadded > auth.size() ||
      sealedLength > auth.size() - 4 - noncePadded)
    return Refused("malformed authenticator");
  const auto opened = SivOpen(s2c, reply.first(*authAt), auth.subspan(4, nonceLength),
                              auth.subspan(4 + noncePadded, sealedLength));
  if (!opened) return Refused("does not authenticate");
  NtsReply r;
  r.kind = NtsReply::Kind::Authentic;
  const bool sealedWellFormed =
      WalkFields(*opened, [&](std::uint16_t type, std::size_t, std::span<const std::uint8_t> body) {
        if (type == kCookieField && !body.empty() && body.size() <= kMostCookieBytes &&
            r.cookies.size() < kMostCookies)
          r.cookies.emplace_back(body.begin(), body.end());
        return true;
      });
  if (!sealedWellFormed) return Refused("malformed sealed fields");
  return r;
}

}  // namespace hv::nts
