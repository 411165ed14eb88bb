#include "i18n/text_decode.h"

namespace hv::i18n {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void Append(std::wstring& out, char32_t cp) {
  if constexpr (sizeof(wchar_t) == 2) {
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
      return;
    }
  }
  out.push_back(static_cast<wchar_t>(cp));
}

bool IsContinuation(unsigned char b) {
  return (b & 0xC0) == 0x80;
}

}  // namespace

std::wstring DecodeUtf8(std::string_view bytes) {
  std::wstring out;
  out.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    int extra = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if (b < 0x80) {
      out.push_back(static_cast<wchar_t>(b));
      ++i;
      continue;
    } else if (b >= 0xC2 && b <= 0xDF) {
      extra = 1, cp = b & 0x1F, minimum = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
      extra = 2, cp = b & 0x0F, minimum = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
      extra = 3, cp = b & 0x07, minimum = 0x10000;
    } else {
      Append(out, kReplacement);
      ++i;
      continue;
    }
    std::size_t j = i + 1;
    for (; j < bytes.size() && j <= i + extra; ++j) {
      const auto c = static_cast<unsigned char>(bytes[j]);
      if (!IsContinuation(c)) break;
      cp = (cp << 6) | (c & 0x3F);
    }
    const bool complete = j == i + 1 + extra;
    const bool valid =
        complete && cp >= minimum && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
    // A bad sequence is replaced as a whole; decoding resumes at the first
    // byte that did not belong to it.
    Append(out, valid ? cp : kReplacement);
    i = j;
  }
  return out;
}

std::wstring DecodeUtf16(std::string_view bytes, bool bigEndian) {
  std::wstring out;
  out.reserve(bytes.size() / 2);
  auto unit = [&](std::size_t k) -> char16_t {
    const auto lo = static_cast<unsigned char>(bytes[2 * k + (bigEndian ? 1 : 0)]);
    const auto hi = static_cast<unsigned char>(bytes[2 * k + (bigEndian ? 0 : 1)]);
    return static_cast<char16_t>(lo | (hi << 8));
  };
  const std::size_t n = bytes.size() / 2;
  for (std::size_t k = 0; k < n; ++k) {
    const char16_t u = unit(k);
    if (u >= 0xD800 && u <= 0xDBFF && k + 1 < n) {
      const char16_t v = unit(k + 1);
      if (v >= 0xDC00 && v <= 0xDFFF) {
        Append(out, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (v - 0xDC00));
        ++k;
        continue;
      }
    }
    if (u >= 0xD800 && u <= 0xDFFF) {
      Append(out, kReplacement);
    } else {
      Append(out, u);
    }
  }
  if (bytes.size() % 2 != 0) Append(out, kReplacement);
  return out;
}

std::wstring DecodeTextWithBom(const std::string& bytes, const AnsiDecoder& ansi) {
  const std::string_view v(bytes);
  if (v.starts_with("\xEF\xBB\xBF")) return DecodeUtf8(v.substr(3));
  if (v.starts_with("\xFF\xFE")) return DecodeUtf16(v.substr(2), false);
  if (v.starts_with("\xFE\xFF")) return DecodeUtf16(v.substr(2), true);
  return ansi(bytes);
}

std::vector<std::wstring> SplitLines(std::wstring_view text) {
  std::vector<std::wstring> lines;
  std::size_t start = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    const wchar_t c = text[i];
    if (c == L'\r' || c == L'\n') {
      lines.emplace_back(text.substr(start, i - start));
      i += (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ? 2 : 1;
      start = i;
    } else {
      ++i;
    }
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

}  // namespace hv::i18n
