// The locale adapter's OEM writer under Wine: exact, or nothing.
#include "platform/win32/locale_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace hv::platform::win32 {
namespace {

std::wstring FromOem(const std::string& bytes) {
  const int n =
      MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
  return text;
}

TEST(Win32Locale, WritesTheOemPageWithoutBestFit) {
  Win32Locale locale;
  EXPECT_EQ(locale.toOem(L"C:\\100%% & ^!\\horvane.exe"), "C:\\100%% & ^!\\horvane.exe");
  EXPECT_EQ(locale.toOem(L""), "");
  // Best fit would turn these into "&", a quote and a plain "A".
  for (const wchar_t* lookalike : {L"\uFF06calc", L"x\uFF02", L"\uFF21", L"\u2033"}) {
    EXPECT_EQ(locale.toOem(lookalike), std::nullopt) << static_cast<unsigned>(lookalike[0]);
  }
  // What it writes reads back the same; in the US page 437 "ä" is 0x84.
  for (const wchar_t* text : {L"Zeitger\u00e4te", L"\u00c7ok g\u00fczel"}) {
    const auto bytes = locale.toOem(text);
    if (bytes) {
      EXPECT_EQ(FromOem(*bytes), text);
    }
  }
  if (GetOEMCP() == 437) {
    EXPECT_EQ(locale.toOem(L"\u00e4"), "\x84");
  }
}

}  // namespace
}  // namespace hv::platform::win32
