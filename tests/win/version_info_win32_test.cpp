// Version blocks of real program files through the Win32 version library.
#include "platform/win32/version_info_win32.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "app/version_data.h"
#include "base/error.h"
#include "platform/files.h"
#include "platform/win32/files_win32.h"
#include "win/temp_folder.h"

namespace hv::app {
namespace {

// Built next to this test program from tests/win/version_probe/probe.rc.
std::wstring ProbePath() {
  return platform::FolderWithSeparator(platform::win32::ModuleFileName(), L'\\') +
         L"hvversionprobe.exe";
}

class Win32VersionBlock : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(files.fileExists(ProbePath())) << "build hvversionprobe"; }

  // The message ReadVersionData raises for path; empty when it raised none.
  std::wstring failureOf(const std::wstring& path) {
    try {
      ReadVersionData(vi, path);
    } catch (const Error& e) {
      return e.message();
    }
    return {};
  }

  platform::win32::Win32VersionInfo vi;
  platform::win32::Win32Files files;
};

TEST_F(Win32VersionBlock, ReadsTheFirstTranslationsTwelveTexts) {
  const TEXEVersionData d = ReadVersionData(vi, ProbePath());
  EXPECT_EQ(d.CompanyName, L"CALVION");
  EXPECT_EQ(d.FileDescription, L"Horvane Pr\u00fcfprogramm");
  EXPECT_EQ(d.FileVersion, L"10.15.3.4");
  EXPECT_EQ(d.InternalName, L"hvversionprobe");
  EXPECT_EQ(d.LegalCopyright, L"(c) CALVION");
  // Only the second translation has one: the first one's absence shows.
  EXPECT_EQ(d.LegalTrademarks, L"");
  // The block spells it "OriginalFilename"; keys ignore letter case.
  EXPECT_EQ(d.OriginalFileName, L"hvversionprobe.exe");
  EXPECT_EQ(d.ProductName, L"Horvane");
  EXPECT_EQ(d.ProductVersion, L"2.2.0.0");
  EXPECT_EQ(d.Comments, L"Test program");
  EXPECT_EQ(d.PrivateBuild, L"");
  EXPECT_EQ(d.SpecialBuild, L"");
}

TEST_F(Win32VersionBlock, AppVersionIsMajorAndMinorOfTheFixedPart) {
  EXPECT_EQ(AppVersionOf(vi, ProbePath()), L"10.15");
}

// This test program has no version block of its own.
TEST_F(Win32VersionBlock, AFileWithoutABlockFailsWithThePlatformsError) {
  const std::wstring self = platform::win32::ModuleFileName();
  const std::wstring noBlock = failureOf(self);
  EXPECT_EQ(noBlock.rfind(L"System Error.  Code: ", 0), 0u) << noBlock;
  EXPECT_NE(noBlock.find(L".\r\n"), std::wstring::npos) << noBlock;
  EXPECT_EQ(AppVersionOf(vi, self), L"65535.65535");

  const std::wstring missing = failureOf(ProbePath() + L".missing");
  EXPECT_EQ(missing, L"System Error.  Code: 2.\r\n" + vi.errorText(2));
  EXPECT_NE(vi.errorText(2), L"");
  EXPECT_EQ(AppVersionOf(vi, ProbePath() + L".missing"), L"65535.65535");
}

TEST_F(Win32VersionBlock, ReadsAProgramInAFolderOutsideAscii) {
  test::TempFolder folder(L"Horvane \u00dcnic\u00f8de \u6642\u523b");
  const std::wstring copy = folder / L"pr\u00fcfung.exe";
  std::filesystem::copy_file(ProbePath(), copy);
  EXPECT_EQ(ReadVersionData(vi, copy).CompanyName, L"CALVION");
  EXPECT_EQ(AppVersionOf(vi, copy), L"10.15");
}

// The program's own block, when the runner finds a built horvane.exe.
TEST_F(Win32VersionBlock, TheProgramCarriesItsIdentity) {
  const char* exe = std::getenv("HORVANE_PROGRAM_EXE");
  if (exe == nullptr || *exe == '\0') GTEST_SKIP() << "no horvane.exe built";
  const std::filesystem::path path(exe);
  const TEXEVersionData d = ReadVersionData(vi, path.wstring());
  EXPECT_EQ(d.CompanyName, L"CALVION");
  EXPECT_EQ(d.ProductName, L"Horvane");
  EXPECT_EQ(d.FileDescription, L"Horvane");
  EXPECT_EQ(d.InternalName, L"Horvane");
  EXPECT_EQ(d.FileVersion, L"2.2.0.0");
  EXPECT_EQ(d.ProductVersion, L"2.2.0.0");
  EXPECT_EQ(AppVersionOf(vi, path.wstring()), L"2.2");
}

}  // namespace
}  // namespace hv::app
