#include "web/email_pattern.h"

#include <pcre2.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace hv::web {
namespace {

struct CodeFree {
  void operator()(pcre2_code* code) const { pcre2_code_free(code); }
};
struct MatchDataFree {
  void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};
using Code = std::unique_ptr<pcre2_code, CodeFree>;
using MatchData = std::unique_ptr<pcre2_match_data, MatchDataFree>;

// Compiled on first use and kept for the run; a fixed pattern that does not
// compile is a programming error, not a user's.
const pcre2_code& CompiledPattern() {
  static const Code code = [] {
    int error = 0;
    PCRE2_SIZE offset = 0;
    Code c(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(kEmailPattern), PCRE2_ZERO_TERMINATED, 0,
                         &error, &offset, nullptr));
    if (!c) throw std::logic_error("the e-mail pattern does not compile");
    return c;
  }();
  return *code;
}

// UTF-8 of text; a lone surrogate becomes U+FFFD. Bytes outside ASCII never
// match the pattern's classes, so only their presence matters.
std::string Utf8Of(const std::wstring& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t cp = static_cast<char32_t>(text[i]);
    if constexpr (sizeof(wchar_t) == 2) {
      if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
          text[i + 1] <= 0xDFFF) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (static_cast<char32_t>(text[i + 1]) - 0xDC00);
        ++i;
      }
    }
    if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) cp = 0xFFFD;
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

}  // namespace

bool IsValidEmail(const std::wstring& text) {
  const pcre2_code& code = CompiledPattern();
  const std::string subject = Utf8Of(text);
  MatchData data(pcre2_match_data_create_from_pattern(&code, nullptr));
  if (!data) throw std::bad_alloc();
  // "$" alone would also accept a final line feed; the whole text must match.
  const int rc = pcre2_match(&code, reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(), 0,
                             PCRE2_ENDANCHORED, data.get(), nullptr);
  return rc > 0;
}

}  // namespace hv::web
