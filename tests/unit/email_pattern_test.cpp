#include "web/email_pattern.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace hv::web {
namespace {

TEST(EmailPattern, IsTheSixtyCharacterPattern) {
  EXPECT_EQ(std::strlen(kEmailPattern), 60u);
}

TEST(EmailPattern, AcceptsWellFormedAddresses) {
  for (const wchar_t* address : {
           L"a@b.c",                               // the shortest form
           L"first.last+tag@mail.eu.example.com",  // points and plus, four labels
           L"UPPER_case-9@EXAMPLE.ORG",
           L"x@sub-domain.example.co",
           L"x@-leading.example",  // a hyphen may begin the first label
           L"x@example.c-d",       // and stand inside the last part
           L"x@example..com",      // points after the first one are not checked
           L"1@2.3",
       }) {
    EXPECT_TRUE(IsValidEmail(address)) << address;
  }
}

TEST(EmailPattern, RejectsMalformedAddresses) {
  for (const wchar_t* address : {
           L"",
           L"user@localhost",     // a domain without any point
           L"user@example.com-",  // ends with "-"
           L"user@ex_ample.com",  // "_" in the first domain label
           L"us er@example.com",  // a space anywhere
           L" user@example.com",
           L"user@example.com ",
           L"user@exa mple.com",
           L"jos\u00e9@example.com",  // letters outside A to Z
           L"user@ex\u00e4mple.com",
           L"user@example.\u0441om",  // a Cyrillic letter that looks Latin
           L"@example.com",
           L"user@.com",
           L"user@@example.com",
           L"user@example.",
           L"user(at)example.com",
           L"user@example.com\n",  // the whole text must match, not a line of it
           L"user@example.com\nx",
       }) {
    EXPECT_FALSE(IsValidEmail(address)) << address;
  }
  EXPECT_FALSE(IsValidEmail(std::wstring(L"a@b.c\0", 6)));
  EXPECT_FALSE(IsValidEmail(std::wstring(L"a@b.c\0d", 7)));
}

TEST(EmailPattern, CharactersBeyondTheBasicPlaneDoNotBreakTheMatch) {
  std::wstring address = L"a@b.c";
  address += static_cast<wchar_t>(0xD83D);  // a lone high surrogate, or an emoji's first half
  EXPECT_FALSE(IsValidEmail(address));
  EXPECT_FALSE(IsValidEmail(L"a\U0001F600@b.c"));
}

}  // namespace
}  // namespace hv::web
