#include "web/answer_excerpt.h"

#include <algorithm>

namespace hv::web {
namespace {

bool IsControl(wchar_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

// Marks, embeddings, overrides and isolates: each can turn the text that
// follows it around, the box's own words included.
bool IsBidiControl(wchar_t c) {
  return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
         (c >= 0x2066 && c <= 0x2069);
}

bool IsHighSurrogate(wchar_t c) {
  return sizeof(wchar_t) == 2 && c >= 0xD800 && c <= 0xDBFF;
}

}  // namespace

std::wstring AnswerExcerpt(std::wstring_view text) {
  std::wstring clean;
  clean.reserve(std::min(text.size(), kAnswerExcerptChars + 1));
  for (wchar_t c : text) {
    if (IsControl(c) || IsBidiControl(c)) continue;
    clean.push_back(c);
    if (clean.size() > kAnswerExcerptChars) break;
  }
  if (clean.size() <= kAnswerExcerptChars) return clean;
  clean.resize(kAnswerExcerptChars - 1);
  // Half a character would show as a broken one.
  if (IsHighSurrogate(clean.back())) clean.pop_back();
  clean.push_back(L'\u2026');
  return clean;
}

}  // namespace hv::web
