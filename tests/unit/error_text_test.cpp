// What a failure says: the user's text in hv::Error, the same text in UTF-8
// from what(), whatever the width of wchar_t.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "app/error_report.h"
#include "base/error.h"

namespace hv {
namespace {

TEST(ErrorText, WhatIsTheMessageInUtf8) {
  struct Case {
    std::wstring message;
    std::string utf8;
  };
  const Case cases[] = {
      {L"Server Error!", "Server Error!"},
      {L"Zeit\u00fcberschreitung",
       "Zeit\xC3\xBC"
       "berschreitung"},
      {L"\u6642\u523b", "\xE6\x99\x82\xE5\x88\xBB"},
      // A pair of surrogates under Windows, one character elsewhere.
      {L"\U0001F552", "\xF0\x9F\x95\x92"},
      // A lone half of a pair is no character.
      {std::wstring(1, static_cast<wchar_t>(0xD834)) + L"x", "\xEF\xBF\xBDx"},
      {L"", ""},
  };
  for (const auto& c : cases) {
    const Error e(c.message);
    EXPECT_EQ(e.message(), c.message);
    EXPECT_EQ(std::string(e.what()), c.utf8);
  }
}

TEST(ErrorText, TheReportShowsTheMessageWithAFullStop) {
  EXPECT_EQ(app::MessageOf(std::make_exception_ptr(Error(L"Zeit\u00fcberschreitung"))),
            L"Zeit\u00fcberschreitung");
  EXPECT_EQ(app::MessageOf(std::make_exception_ptr(std::runtime_error("no shell"))), L"no shell");
  EXPECT_EQ(app::MessageOf(std::make_exception_ptr(42)), L"Unknown error");
  EXPECT_EQ(app::ErrorReportText(L"Socket Error # 10061"), L"Socket Error # 10061.");
  EXPECT_EQ(app::ErrorReportText(L"Done."), L"Done.");
  EXPECT_EQ(app::ErrorReportText(L"Server Error!"), L"Server Error!");
}

}  // namespace
}  // namespace hv
