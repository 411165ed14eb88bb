// The write probe and the choice of the settings folder on the real file
// system under Wine.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/settings_file.h"
#include "app/settings_folder.h"
#include "platform/win32/files_win32.h"
#include "platform/win32/profile_win32.h"
#include "win/temp_folder.h"

namespace hv::app {
namespace {

// Names of this test's own, so the program's real roaming folder is never
// touched; the product name also tries characters outside ASCII.
constexpr wchar_t kTestCompany[] = L"HorvaneWineTest";
constexpr wchar_t kTestProduct[] = L"Einstellungen \u00e9\u6642";

class Win32SettingsFolder : public ::testing::Test {
 protected:
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(companyFolder(), ignored);
  }

  std::wstring companyFolder() { return files.roamingAppDataFolder() + L"\\" + kTestCompany; }
  std::wstring perUserFolder() { return companyFolder() + L"\\" + kTestProduct + L"\\"; }
  std::wstring choose(const std::wstring& exePath) {
    return ChooseSettingsFolder(files, exePath, kTestCompany, kTestProduct);
  }
  void leaveProbeFile(const test::TempFolder& in) {
    ASSERT_TRUE(files.writeFile(in / L"chk.tmp", "left over"));
  }

  platform::win32::Win32Files files;
  platform::win32::Win32Profile profile;
};

TEST_F(Win32SettingsFolder, TheProbeLeavesNothingBehind) {
  test::TempFolder folder;
  EXPECT_TRUE(IsFolderWritable(files, folder.path()));
  EXPECT_TRUE(IsFolderWritable(files, folder.path() + L"\\"));
  EXPECT_FALSE(files.fileExists(folder / L"chk.tmp"));
  EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

TEST_F(Win32SettingsFolder, ALeftOverProbeFileOrAMissingFolderCountsAsNotWritable) {
  test::TempFolder folder;
  leaveProbeFile(folder);
  EXPECT_FALSE(IsFolderWritable(files, folder.path()));
  // The probe neither replaced nor deleted what it found.
  EXPECT_EQ(files.readFile(folder / L"chk.tmp"), "left over");
  EXPECT_FALSE(IsFolderWritable(files, folder / L"missing"));
}

TEST_F(Win32SettingsFolder, SettingsLiveNextToAWritableProgram) {
  test::TempFolder folder;
  EXPECT_EQ(choose(folder / L"horvane.exe"), folder.path() + L"\\");
  EXPECT_FALSE(files.directoryExists(companyFolder()));
}

// A drive's root keeps its one separator.
TEST_F(Win32SettingsFolder, AProgramAtADriveRootKeepsTheRoot) {
  EXPECT_EQ(choose(L"C:\\horvane.exe"), L"C:\\");
}

TEST_F(Win32SettingsFolder, AFolderThatCannotBeWrittenFallsBackToRoamingAppData) {
  ASSERT_FALSE(files.roamingAppDataFolder().empty());
  ASSERT_TRUE(files.directoryExists(files.roamingAppDataFolder()));
  test::TempFolder folder;
  leaveProbeFile(folder);
  const std::wstring chosen = choose(folder / L"horvane.exe");
  EXPECT_EQ(chosen, perUserFolder());
  EXPECT_TRUE(files.directoryExists(chosen));
  // A second start finds both levels there already.
  EXPECT_EQ(choose(folder / L"horvane.exe"), perUserFolder());

  SettingsFile settings(profile, chosen + kSettingsFileName);
  settings.setServer(L"time.example");
  EXPECT_EQ(SettingsFile(profile, perUserFolder() + kSettingsFileName).server(), L"time.example");
  EXPECT_FALSE(files.fileExists(folder / kSettingsFileName));
}

TEST_F(Win32SettingsFolder, AProgramFolderOutsideAscii) {
  test::TempFolder folder(L"Horvane \u00dcnic\u00f8de \u6642\u523b \u2603");
  const std::wstring chosen = choose(folder / L"horvane.exe");
  ASSERT_EQ(chosen, folder.path() + L"\\");
  SettingsFile settings(profile, chosen + kSettingsFileName);
  settings.setLanguageFile(L"German.lang.txt");
  EXPECT_TRUE(files.fileExists(folder / kSettingsFileName));
  EXPECT_EQ(settings.languageFile(), L"German.lang.txt");

  leaveProbeFile(folder);
  EXPECT_EQ(choose(folder / L"horvane.exe"), perUserFolder());
}

}  // namespace
}  // namespace hv::app
