#include <gtest/gtest.h>

#include "i18n/catalogue.h"
#include "i18n/text_decode.h"

namespace hv::i18n {
namespace {

std::wstring FromCodePoints(std::initializer_list<char32_t> cps) {
  std::wstring out;
  for (char32_t cp : cps) {
    if (sizeof(wchar_t) == 2 && cp >= 0x10000) {
      out.push_back(static_cast<wchar_t>(0xD800 + ((cp - 0x10000) >> 10)));
      out.push_back(static_cast<wchar_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<wchar_t>(cp));
    }
  }
  return out;
}

TEST(TextDecode, Utf8) {
  const struct {
    const char* what;
    std::string bytes;
    std::wstring text;
  } cases[] = {
      {"ASCII", "OK", L"OK"},
      {"two, three and four bytes", "\xC3\xBC\xE6\x99\x82\xF0\x9F\x95\x90",
       FromCodePoints({0xFC, 0x6642, 0x1F550})},
      {"lone continuation",
       "a\x80"
       "b",
       FromCodePoints({'a', 0xFFFD, 'b'})},
      {"truncated sequence then ASCII",
       "\xE6\x99"
       "b",
       FromCodePoints({0xFFFD, 'b'})},
      {"truncated at the end", "a\xF0\x9F", FromCodePoints({'a', 0xFFFD})},
      {"overlong", "\xE0\x80\xAF", FromCodePoints({0xFFFD})},
      {"encoded surrogate", "\xED\xA0\x80", FromCodePoints({0xFFFD})},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80", FromCodePoints({0xFFFD})},
      {"invalid lead bytes", "\xC0\xFF", FromCodePoints({0xFFFD, 0xFFFD})},
      {"NUL is kept", std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
  };
  for (const auto& c : cases) EXPECT_EQ(DecodeUtf8(c.bytes), c.text) << c.what;
}

TEST(TextDecode, Utf16BothOrders) {
  EXPECT_EQ(DecodeUtf16(std::string("O\0K\0", 4), false), L"OK");
  EXPECT_EQ(DecodeUtf16(std::string("\0O\0K", 4), true), L"OK");
  EXPECT_EQ(DecodeUtf16(std::string("\x3D\xD8\x50\xDD", 4), false), FromCodePoints({0x1F550}));
  EXPECT_EQ(DecodeUtf16(std::string("\x3D\xD8"
                                    "A\0",
                                    4),
                        false),
            FromCodePoints({0xFFFD, 'A'}));
  EXPECT_EQ(DecodeUtf16(std::string("A\0B", 3), false), FromCodePoints({'A', 0xFFFD}));
}

TEST(TextDecode, LineEndings) {
  const struct {
    std::wstring text;
    std::vector<std::wstring> lines;
  } cases[] = {
      {L"", {}},
      {L"a", {L"a"}},
      {L"a\r\nb\nc\rd", {L"a", L"b", L"c", L"d"}},
      {L"a\n", {L"a"}},
      {L"\n", {L""}},
      {L"a\r\n\r\nb", {L"a", L"", L"b"}},
      {L"a\n\rb", {L"a", L"", L"b"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitLines(c.text), c.lines) << c.text.size();
}

TEST(TextDecode, LanguageFileLinesSkipOnlyALeadingBom) {
  EXPECT_EQ(ReadUtf8Lines("\xEF\xBB\xBF{OK}Okay\r\n"), std::vector<std::wstring>{L"{OK}Okay"});
  EXPECT_EQ(ReadUtf8Lines("x\n\xEF\xBB\xBF{OK}"),
            (std::vector<std::wstring>{L"x", FromCodePoints({0xFEFF, '{', 'O', 'K', '}'})}));
}

TEST(TextDecode, TrimDropsSpacesAndControlCharacters) {
  EXPECT_EQ(TrimText(L" \t\r\n\x01 German.lang.txt \x1F"), L"German.lang.txt");
  EXPECT_EQ(TrimText(L" a b "), L"a b");
  EXPECT_EQ(TrimText(L"\x7F"
                     L"a\u00A0"),
            L"\x7F"
            L"a\u00A0");
  EXPECT_EQ(TrimText(L" \t "), L"");
}

}  // namespace
}  // namespace hv::i18n
