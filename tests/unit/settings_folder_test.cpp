#include "app/settings_folder.h"

#include <gtest/gtest.h>

#include "support/fake_files.h"

namespace hv::app {
namespace {

TEST(SettingsFolder, ProgramFolderWhenItCanBeWritten) {
  test::FakeFiles files;
  files.addFolder(L"C:\\Tools");
  EXPECT_EQ(ChooseSettingsFolder(files, L"C:\\Tools\\horvane.exe", L"CALVION", L"Horvane"),
            L"C:\\Tools\\");
  EXPECT_EQ(files.probes, std::vector<std::wstring>{L"C:\\Tools\\chk.tmp"});
  EXPECT_TRUE(files.createdFolders.empty());
  EXPECT_FALSE(files.fileExists(L"C:\\Tools\\chk.tmp"));
}

TEST(SettingsFolder, DriveRootKeepsItsSeparator) {
  test::FakeFiles files;
  files.addFolder(L"D:\\");
  EXPECT_EQ(ChooseSettingsFolder(files, L"D:\\horvane.exe", L"CALVION", L"Horvane"), L"D:\\");
  EXPECT_EQ(files.probes, std::vector<std::wstring>{L"D:\\chk.tmp"});
}

TEST(SettingsFolder, FallsBackToThePerUserFolder) {
  const struct {
    const char* why;
    bool leftOverProbe;
    bool readOnly;
  } cases[] = {{"chk.tmp left over", true, false}, {"no rights", false, true}};
  for (const auto& c : cases) {
    test::FakeFiles files;
    files.addFolder(L"C:\\Program Files\\Horvane");
    files.addFolder(files.roaming);
    if (c.leftOverProbe) files.addFile(L"C:\\Program Files\\Horvane\\chk.tmp", "");
    if (c.readOnly) files.readOnlyFolders.insert(L"C:\\Program Files\\Horvane");
    EXPECT_EQ(ChooseSettingsFolder(files, L"C:\\Program Files\\Horvane\\horvane.exe", L"CALVION",
                                   L"Horvane"),
              L"C:\\Users\\me\\AppData\\Roaming\\CALVION\\Horvane\\")
        << c.why;
    EXPECT_TRUE(files.directoryExists(L"C:\\Users\\me\\AppData\\Roaming\\CALVION\\Horvane"));
    EXPECT_EQ(files.createdFolders,
              (std::vector<std::wstring>{L"C:\\Users\\me\\AppData\\Roaming\\CALVION",
                                         L"C:\\Users\\me\\AppData\\Roaming\\CALVION\\Horvane"}));
  }
}

TEST(SettingsFolder, NoRoamingFolderStartsAtTheBareSeparator) {
  test::FakeFiles files;
  files.roaming.clear();
  EXPECT_EQ(PerUserFolder(files, L"CALVION", L"Horvane"), L"\\CALVION\\Horvane\\");
}

TEST(SettingsFolder, ProbeAddsTheSeparatorOnlyWhenMissing) {
  test::FakeFiles files;
  files.addFolder(L"C:\\Data");
  EXPECT_TRUE(IsFolderWritable(files, L"C:\\Data"));
  EXPECT_TRUE(IsFolderWritable(files, L"C:\\Data\\"));
  EXPECT_FALSE(IsFolderWritable(files, L"C:\\Missing"));
  EXPECT_EQ(files.probes, (std::vector<std::wstring>{L"C:\\Data\\chk.tmp", L"C:\\Data\\chk.tmp",
                                                     L"C:\\Missing\\chk.tmp"}));
}

TEST(SettingsFolder, PathHelpers) {
  const struct {
    const wchar_t* path;
    wchar_t sep;
    const wchar_t* with;
    const wchar_t* without;
  } cases[] = {
      {L"C:\\Tools\\horvane.exe", L'\\', L"C:\\Tools\\", L"C:\\Tools"},
      {L"C:\\horvane.exe", L'\\', L"C:\\", L"C:\\"},
      {L"C:horvane.exe", L'\\', L"C:", L"C:"},
      {L"\\\\server\\share\\horvane.exe", L'\\', L"\\\\server\\share\\", L"\\\\server\\share"},
      {L"horvane.exe", L'\\', L"", L""},
      {L"/opt/horvane/horvane", L'/', L"/opt/horvane/", L"/opt/horvane"},
      {L"/horvane", L'/', L"/", L"/"},
      {L"a:b/horvane", L'/', L"a:b/", L"a:b"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::FolderWithSeparator(c.path, c.sep), c.with) << c.path;
    EXPECT_EQ(platform::FolderWithoutSeparator(c.path, c.sep), c.without) << c.path;
  }
}

}  // namespace
}  // namespace hv::app
