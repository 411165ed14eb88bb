#include "nts/ke_records.h"

namespace hv::nts {
namespace {

constexpr std::uint16_t kCritical = 0x8000;
enum Record : std::uint16_t {
  kEndOfMessage = 0,
  kNextProtocol = 1,
  kError = 2,
  kWarning = 3,
  kAead = 4,
  kCookie = 5,
  kServer = 6,
  kPort = 7,
};
constexpr std::uint16_t kNtpV4 = 0;
constexpr std::size_t kMostServerName = 255;

void Put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v >> 8));
  out.push_back(static_cast<std::uint8_t>(v));
}

std::uint16_t Get16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] << 8 | b[at + 1]);
}

KeParsed Refuse(std::string why) {
  KeParsed p;
  p.state = KeParsed::State::Refused;
  p.why = std::move(why);
  return p;
}

bool ServerNameOk(std::span<const std::uint8_t> body) {
  if (body.empty() || body.size() > kMostServerName) return false;
  for (const std::uint8_t c : body) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                    c == '.' || c == '-' || c == ':';
    if (!ok) return false;
  }
  return true;
}

}  // namespace

std::vector<std::uint8_t> EncodeKeRequest() {
  std::vector<std::uint8_t> out;
  Put16(out, kCritical | kNextProtocol);
  Put16(out, 2);
  Put16(out, kNtpV4);
  Put16(out, kCritical | kAead);
  Put16(out, 2);
  Put16(out, kAeadAesSivCmac256);
  Put16(out, kCritical | kEndOfMessage);
  Put16(out, 0);
  return out;
}

KeParsed ParseKeAnswer(std::span<const std::uint8_t> bytes) {
  KeParsed p;
  bool protocol = false;
  bool aead = false;
  std::size_t at = 0;
  for (;;) {
    if (at >= kMostAnswerBytes) return Refuse("answer too long");
    if (bytes.size() - at < 4) {
      if (bytes.size() >= kMostAnswerBytes) return Refuse("answer too long");
      return p;
    }
    const std::uint16_t type = Get16(bytes, at) & ~kCritical;
    const bool critical = (Get16(bytes, at) & kCritical) != 0;
    const std::size_t length = Get16(bytes, at + 2);
    if (at + 4 + length > kMostAnswerBytes) return Refuse("answer too long");
    if (bytes.size() - at - 4 < length) return p;
    const std::span<const std::uint8_t> body = bytes.subspan(at + 4, length);
    at += 4 + length;
    switch (type) {
      case kEndOfMessage:
        if (length != 0) return Refuse("malformed record");
        if (!protocol) return Refuse("no NTPv4");
        if (!aead) return Refuse("no AES-SIV");
        if (p.answer.cookies.empty()) return Refuse("no cookie");
        p.state = KeParsed::State::Done;
        p.used = at;
        return p;
      case kNextProtocol:
        // Exactly one protocol, ours: the server picks from what we offered.
        if (protocol || length != 2 || Get16(body, 0) != kNtpV4) return Refuse("not NTPv4");
        protocol = true;
        break;
      case kError:
        return Refuse("key exchange refused");
      case kWarning:
        return Refuse("key exchange warning");
      case kAead:
        if (aead || length != 2 || Get16(body, 0) != kAeadAesSivCmac256)
          return Refuse("not AES-SIV");
        aead = true;
        break;
      case kCookie:
        if (length == 0 || length > kMostCookieBytes) return Refuse("malformed cookie");
        if (p.answer.cookies.size() < kMostCookies)
          p.answer.cookies.emplace_back(body.begin(), body.end());
        break;
      case kServer:
        if (!p.answer.server.empty() || !ServerNameOk(body)) return Refuse("malformed server");
        p.answer.server.assign(body.begin(), body.end());
        break;
      case kPort:
        if (length != 2 || Get16(body, 0) == 0) return Refuse("malformed port");
        p.answer.port = Get16(body, 0);
        break;
      default:
        if (critical) return Refuse("unknown critical record");
        break;
    }
  }
}

}  // namespace hv::nts
