#include "app/version_data.h"

#include <gtest/gtest.h>

#include "app/identity.h"
#include "base/error.h"
#include "support/fake_version_info.h"

namespace hv::app {
namespace {

constexpr wchar_t kExe[] = L"C:\\Tools\\horvane.exe";

std::wstring FailureOf(test::FakeVersionInfo& vi) {
  try {
    ReadVersionData(vi, kExe);
  } catch (const Error& e) {
    return e.message();
  }
  return L"(no failure)";
}

TEST(VersionData, ReadsTheFirstTranslationsStrings) {
  test::FakeVersionInfo vi;
  vi.translationTable = {{0x0407, 0x04B0}, {0x0409, 0x04E4}};
  const std::wstring p = L"\\StringFileInfo\\040704b0\\";
  vi.strings = {{p + L"CompanyName", L"CALVION"},
                {p + L"ProductName", L"Horvane"},
                {p + L"FileVersion", L"2.2.0.0"},
                {p + L"Comments", std::wstring(L"cut\0x", 5)},
                {L"\\StringFileInfo\\040904e4\\SpecialBuild", L"other translation"}};
  const TEXEVersionData d = ReadVersionData(vi, kExe);
  EXPECT_EQ(d.CompanyName, L"CALVION");
  EXPECT_EQ(d.ProductName, L"Horvane");
  EXPECT_EQ(d.FileVersion, L"2.2.0.0");
  EXPECT_EQ(d.Comments, L"cut");
  EXPECT_EQ(d.SpecialBuild, L"");
  EXPECT_EQ(d.FileDescription, L"");
  const std::vector<std::wstring> keys = {
      L"CompanyName",    L"FileDescription", L"FileVersion",      L"InternalName",
      L"LegalCopyright", L"LegalTrademarks", L"OriginalFileName", L"ProductName",
      L"ProductVersion", L"Comments",        L"PrivateBuild",     L"SpecialBuild"};
  ASSERT_EQ(vi.queried.size(), keys.size());
  for (std::size_t i = 0; i < keys.size(); ++i) EXPECT_EQ(vi.queried[i], p + keys[i]);
}

TEST(VersionData, FailuresCarryThePlatformCodeAndText) {
  const struct {
    std::uint32_t test::FakeVersionInfo::*step;
    std::uint32_t code;
    const wchar_t* message;
  } cases[] = {
      {&test::FakeVersionInfo::sizeError, 2,
       L"System Error.  Code: 2.\r\nThe system cannot find the file specified"},
      {&test::FakeVersionInfo::loadError, 5, L"System Error.  Code: 5.\r\nUnknown error"},
      {&test::FakeVersionInfo::translationError, 1813,
       L"System Error.  Code: 1813.\r\nThe specified resource type cannot be found in the image "
       L"file"},
  };
  for (const auto& c : cases) {
    test::FakeVersionInfo vi;
    vi.*c.step = c.code;
    EXPECT_EQ(FailureOf(vi), c.message);
  }
}

TEST(VersionData, AnEmptyTranslationTableFailsWithoutClaimingSuccess) {
  test::FakeVersionInfo vi;
  vi.translationTable.clear();
  EXPECT_EQ(FailureOf(vi), L"A call to an OS function failed");
}

TEST(VersionData, AppVersionIsMajorDotMinorOfTheFileVersion) {
  const struct {
    std::optional<platform::FixedFileVersion> fixed;
    std::uint32_t sizeError;
    const wchar_t* expected;
  } cases[] = {
      {test::FakeVersionInfo::version(2, 2, 0, 0), 0, L"2.2"},
      {test::FakeVersionInfo::version(10, 15, 0, 0), 0, L"10.15"},
      {test::FakeVersionInfo::version(65535, 0, 9, 9), 0, L"65535.0"},
      {platform::FixedFileVersion{0x00030004, 0, 0x00070008, 0}, 0, L"3.4"},
      {std::nullopt, 0, L"65535.65535"},
      {test::FakeVersionInfo::version(2, 2, 0, 0), 2, L"65535.65535"},
  };
  for (const auto& c : cases) {
    test::FakeVersionInfo vi;
    vi.fixed = c.fixed;
    vi.sizeError = c.sizeError;
    EXPECT_EQ(AppVersionOf(vi, kExe), c.expected);
  }
}

TEST(Identity, TitleJoinsCompanyAndProduct) {
  EXPECT_EQ(MakeAppTitle(L"CALVION", L"Horvane"), L"CALVION - Horvane");
  SetIdentity({L"CALVION", L"Horvane", MakeAppTitle(L"CALVION", L"Horvane"), L"2.2"});
  EXPECT_EQ(IdentityOf().appTitle, L"CALVION - Horvane");
  EXPECT_EQ(IdentityOf().appVersion, L"2.2");
  SetIdentity({});
}

}  // namespace
}  // namespace hv::app
