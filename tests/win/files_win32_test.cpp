// The files-and-folders adapter on the real file system under Wine.
#include "platform/win32/files_win32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "win/temp_folder.h"

namespace hv::platform::win32 {
namespace {

class Win32FilesAdapter : public ::testing::Test {
 protected:
  test::TempFolder folder{L"Horvane Dateien \u00e4\u6642"};
  Win32Files files;
};

TEST_F(Win32FilesAdapter, ListsFilesBySuffixIgnoringCaseAndSkipsFolders) {
  for (const wchar_t* name : {L"German.lang.txt", L"FRENCH.LANG.TXT", L"T\u00fcrk\u00e7e.lang.txt",
                              L"old.lang.txt.bak", L"notes.txt", L"lang.txt"}) {
    ASSERT_TRUE(files.writeFile(folder / name, "x"));
  }
  files.createDirectory(folder / L"Folder.lang.txt");
  std::vector<std::wstring> names = files.listFiles(folder.path(), L".lang.txt");
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::wstring>{L"FRENCH.LANG.TXT", L"German.lang.txt",
                                              L"T\u00fcrk\u00e7e.lang.txt"}));
  EXPECT_TRUE(files.listFiles(folder / L"missing", L".lang.txt").empty());
}

TEST_F(Win32FilesAdapter, WritesAndReadsEveryByte) {
  std::string bytes;
  for (int i = 0; i < 256 * 5; ++i) bytes += static_cast<char>(i);
  const std::wstring path = folder / L"bytes.bin";
  ASSERT_TRUE(files.writeFile(path, bytes));
  EXPECT_EQ(files.readFile(path), bytes);
  // A write replaces the file, it does not add to it.
  ASSERT_TRUE(files.writeFile(path, "short"));
  EXPECT_EQ(files.readFile(path), "short");
  ASSERT_TRUE(files.writeFile(path, ""));
  EXPECT_EQ(files.readFile(path), "");
  EXPECT_EQ(files.readFile(folder / L"missing"), std::nullopt);
  EXPECT_FALSE(files.writeFile(folder / L"missing\\file", "x"));
}

TEST_F(Win32FilesAdapter, TellsFilesFromFolders) {
  ASSERT_TRUE(files.writeFile(folder / L"file", "x"));
  files.createDirectory(folder / L"sub");
  files.createDirectory(folder / L"sub");  // exists: no failure either
  EXPECT_TRUE(files.fileExists(folder / L"file"));
  EXPECT_FALSE(files.directoryExists(folder / L"file"));
  EXPECT_TRUE(files.directoryExists(folder / L"sub"));
  EXPECT_FALSE(files.fileExists(folder / L"sub"));
  EXPECT_FALSE(files.fileExists(folder / L"none"));
  EXPECT_FALSE(files.directoryExists(folder / L"none"));
}

// run-adapters.sh plants the links on the Unix side, where Wine shows a
// symbolic link as a reparse point; Wine can't make one itself. (A link to
// nothing is invisible to Wine, so it is not tried here.)
TEST_F(Win32FilesAdapter, RefusesToWriteThroughAPlantedLink) {
  const wchar_t* planted = _wgetenv(L"HORVANE_LINK_FOLDER");
  ASSERT_NE(planted, nullptr) << "run through tests/win/run-adapters.sh";
  const std::wstring links = planted;
  struct Row {
    const wchar_t* path;
    bool written;
  };
  const Row rows[] = {
      {L"real\\own.bat", true},         {L"folder-link\\target.bat", false},
      {L"folder-link\\new.bat", false}, {L"file-link.bat", false},
      {L"hard-link.bat", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(row.path)));
    EXPECT_EQ(files.writeFile(links + L"\\" + row.path, "new"), row.written);
  }
  EXPECT_EQ(files.readFile(links + L"\\real\\target.bat"), "old");
  EXPECT_FALSE(files.fileExists(links + L"\\real\\new.bat"));
}

TEST_F(Win32FilesAdapter, AppendsToTheEndOfAFile) {
  const std::wstring path = folder / L"clock-writes.log";
  ASSERT_TRUE(AppendToFile(path, "one\r\n"));
  ASSERT_TRUE(AppendToFile(path, "two\r\n"));
  EXPECT_EQ(files.readFile(path), "one\r\ntwo\r\n");
}

TEST_F(Win32FilesAdapter, KnowsTheProgramTheRoamingAndTheSystemFolder) {
  const std::wstring self = files.moduleFileName();
  EXPECT_TRUE(self.ends_with(L"\\horvane_wintests.exe")) << self;
  EXPECT_TRUE(files.fileExists(self));
  EXPECT_TRUE(files.directoryExists(files.roamingAppDataFolder()));
  // The editor the licence opens in is found there by its full path.
  const std::wstring system = files.systemFolder();
  EXPECT_FALSE(system.ends_with(L"\\")) << system;
  EXPECT_TRUE(files.fileExists(system + L"\\notepad.exe")) << system;
}

}  // namespace
}  // namespace hv::platform::win32
