#include "web/answer_text.h"

#include <array>
#include <cstdint>

#include "i18n/text_decode.h"

namespace hv::web {
namespace {

char Lower(wchar_t c) {
  if (c >= L'A' && c <= L'Z') return static_cast<char>(c - L'A' + 'a');
  return c < 0x80 ? static_cast<char>(c) : '?';
}

std::wstring_view Trim(std::wstring_view s) {
  while (!s.empty() && (s.front() == L' ' || s.front() == L'\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == L' ' || s.back() == L'\t')) s.remove_suffix(1);
  return s;
}

std::wstring Latin1(std::string_view body) {
  std::wstring text;
  text.reserve(body.size());
  for (char c : body) text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
  return text;
}

// Code page 1252 differs from Latin-1 only in 0x80 to 0x9F.
std::wstring Windows1252(std::string_view body) {
  static constexpr std::array<std::uint16_t, 32> k80{
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  std::wstring text = Latin1(body);
  for (auto& c : text)
    if (c >= 0x80 && c <= 0x9F) c = static_cast<wchar_t>(k80[c - 0x80]);
  return text;
}

std::wstring AsciiOnly(std::string_view body) {
  std::wstring text = Latin1(body);
  for (auto& c : text)
    if (c >= 0x80) c = 0xFFFD;
  return text;
}

}  // namespace

namespace {

std::wstring DecodeBy(const std::optional<std::string>& charset, std::string_view body,
                      CharsetDefault fallback) {
  if (charset) {
    const std::string& c = *charset;
    if (c == "utf-8" || c == "utf8") return i18n::DecodeUtf8(body);
    if (c == "iso-8859-1" || c == "latin1" || c == "iso8859-1" || c == "l1") return Latin1(body);
    if (c == "windows-1252" || c == "cp1252") return Windows1252(body);
    if (c == "us-ascii" || c == "ascii") return AsciiOnly(body);
    if (c == "utf-16le" || c == "utf-16") return i18n::DecodeUtf16(body, false);
    if (c == "utf-16be") return i18n::DecodeUtf16(body, true);
  }
  return fallback == CharsetDefault::Utf8 ? i18n::DecodeUtf8(body) : Latin1(body);
}

}  // namespace

std::optional<std::string> CharsetOf(std::wstring_view contentType) {
  std::size_t pos = contentType.find(L';');
  while (pos != std::wstring_view::npos) {
    const std::size_t next = contentType.find(L';', pos + 1);
    std::wstring_view param = Trim(contentType.substr(
        pos + 1, next == std::wstring_view::npos ? std::wstring_view::npos : next - pos - 1));
    const std::size_t eq = param.find(L'=');
    if (eq != std::wstring_view::npos) {
      std::string name;
      for (wchar_t c : Trim(param.substr(0, eq))) name.push_back(Lower(c));
      if (name == "charset") {
        std::wstring_view value = Trim(param.substr(eq + 1));
        if (value.size() >= 2 && value.front() == L'"' && value.back() == L'"')
          value = value.substr(1, value.size() - 2);
        std::string charset;
        for (wchar_t c : value) charset.push_back(Lower(c));
        if (charset.empty()) return std::nullopt;
        return charset;
      }
    }
    pos = next;
  }
  return std::nullopt;
}

std::wstring DecodeAnswer(std::string_view body, std::wstring_view contentType,
                          CharsetDefault fallback) {
  const auto charset = CharsetOf(contentType);
  // A byte-order mark is no part of the answer: one in UTF-8 goes before
  // decoding, whatever the charset claims, one in UTF-16 after it.
  constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
  const bool utf16 = charset && charset->starts_with("utf-16");
  if (!utf16 && body.starts_with(kUtf8Bom)) return DecodeBy(charset, body.substr(3), fallback);
  std::wstring text = DecodeBy(charset, body, fallback);
  if (!text.empty() && text.front() == 0xFEFF) text.erase(0, 1);
  return text;
}

}  // namespace hv::web
