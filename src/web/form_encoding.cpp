#include "web/form_encoding.h"

#include <cstdint>

namespace hv::web {
namespace {

void AppendCodePoint(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

bool SentAsIs(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '*' ||
         c == '-' || c == '.' || c == '_';
}

}  // namespace

std::string EncodeUtf8(std::wstring_view text) {
  constexpr std::uint32_t kReplacement = 0xFFFD;
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    auto cp = static_cast<std::uint32_t>(text[i]);
    if (cp >= 0xD800 && cp < 0xDC00) {
      const bool paired = i + 1 < text.size() &&
                          static_cast<std::uint32_t>(text[i + 1]) >= 0xDC00 &&
                          static_cast<std::uint32_t>(text[i + 1]) < 0xE000;
      if (paired) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (static_cast<std::uint32_t>(text[++i]) - 0xDC00);
      } else {
        cp = kReplacement;
      }
    } else if ((cp >= 0xDC00 && cp < 0xE000) || cp > 0x10FFFF) {
      cp = kReplacement;
    }
    AppendCodePoint(out, cp);
  }
  return out;
}

std::string EncodeFormComponent(std::wstring_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char ch : EncodeUtf8(text)) {
    const auto c = static_cast<unsigned char>(ch);
    if (SentAsIs(c)) {
      out.push_back(static_cast<char>(c));
    } else if (c == ' ') {
      out.push_back('+');
    } else {
      out.push_back('%');
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 0x0F]);
    }
  }
  return out;
}

std::string EncodeFormBody(const std::vector<std::wstring>& fields) {
  std::string body;
  for (const auto& field : fields) {
    if (!body.empty()) body.push_back('&');
    const auto eq = field.find(L'=');
    const std::wstring_view line(field);
    body += EncodeFormComponent(line.substr(0, eq));
    body.push_back('=');
    if (eq != std::wstring_view::npos) body += EncodeFormComponent(line.substr(eq + 1));
  }
  return body;
}

}  // namespace hv::web
