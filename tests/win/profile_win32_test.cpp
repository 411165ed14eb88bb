// settings.ini through the real profile functions under Wine.
#include "platform/win32/profile_win32.h"

#include <gtest/gtest.h>

#include <string>

#include "app/settings_file.h"
#include "base/error.h"
#include "platform/win32/files_win32.h"
#include "win/temp_folder.h"

namespace hv::app {
namespace {

class Win32ProfileSettings : public ::testing::Test {
 protected:
  std::string bytesOnDisk() { return files.readFile(path).value_or("<no file>"); }
  void handWrite(const std::string& text) { ASSERT_TRUE(files.writeFile(path, text)); }

  test::TempFolder folder;
  std::wstring path = folder / kSettingsFileName;
  platform::win32::Win32Profile profile;
  platform::win32::Win32Files files;
  SettingsFile settings{profile, path};
};

TEST_F(Win32ProfileSettings, NoFileGivesTheDefaultsAndCreatesNone) {
  EXPECT_EQ(settings.languageFile(), L"");
  EXPECT_EQ(settings.server(), L"");
  EXPECT_FALSE(settings.daylight());
  EXPECT_FALSE(settings.automaticallySynchronize());
  EXPECT_FALSE(files.fileExists(path));
}

TEST_F(Win32ProfileSettings, TheFirstWriteCreatesAnAnsiFileAndEveryKeyRoundTrips) {
  settings.setServer(L"zeit.b\u00fccher.de");
  ASSERT_TRUE(files.fileExists(path));
  // Plain 8-bit text, ü as the one byte of the ANSI code page.
  EXPECT_EQ(bytesOnDisk(),
            "[Settings]\r\nServer=zeit.b\xfc"
            "cher.de\r\n");

  settings.setLanguageFile(L"German.lang.txt");
  settings.setDaylight(true);
  settings.setAutomaticallySynchronize(true);
  EXPECT_EQ(settings.server(), L"zeit.b\u00fccher.de");
  EXPECT_EQ(settings.languageFile(), L"German.lang.txt");
  EXPECT_TRUE(settings.daylight());
  EXPECT_TRUE(settings.automaticallySynchronize());
  EXPECT_NE(bytesOnDisk().find("Daylight=1\r\n"), std::string::npos);
  EXPECT_NE(bytesOnDisk().find("AutomaticallySynchronize=ON\r\n"), std::string::npos);

  settings.setDaylight(false);
  settings.setAutomaticallySynchronize(false);
  EXPECT_FALSE(settings.daylight());
  EXPECT_FALSE(settings.automaticallySynchronize());
  EXPECT_NE(bytesOnDisk().find("Daylight=0\r\n"), std::string::npos);
  EXPECT_NE(bytesOnDisk().find("AutomaticallySynchronize=OFF\r\n"), std::string::npos);
}

// The whole value is kept in the file; a read sees its first 2047 characters.
TEST_F(Win32ProfileSettings, ValuesAreReadUpTo2047Characters) {
  std::wstring value;
  for (int i = 0; i < 3000; ++i) value += static_cast<wchar_t>(L'a' + i % 26);
  for (const std::size_t length : {2046u, 2047u, 2048u, 3000u}) {
    settings.setServer(value.substr(0, length));
    EXPECT_EQ(settings.server(), value.substr(0, std::min<std::size_t>(length, 2047))) << length;
  }
  EXPECT_NE(bytesOnDisk().find("Server=" + std::string(value.begin(), value.end()) + "\r\n"),
            std::string::npos);
}

TEST_F(Win32ProfileSettings, ReadsAHandWrittenFileAsTheProfileFunctionsDo) {
  struct Case {
    const char* file;
    bool daylight;
    bool autoSync;
    const wchar_t* server;
  };
  const Case cases[] = {
      {"[Settings]\r\nDaylight=1\r\nAutomaticallySynchronize=ON\r\n", true, true, L""},
      {"[Settings]\r\nDaylight=0x1\r\nAutomaticallySynchronize=on\r\n", true, false, L""},
      {"[Settings]\r\nDaylight=2\r\nAutomaticallySynchronize=OFF\r\n", false, false, L""},
      {"[Settings]\r\nDaylight=yes\r\n", false, false, L""},
      // Section and key names ignore letter case; blanks and one pair of
      // quotes around a value go.
      {"[settings]\r\ndaylight=1\r\nSERVER = \"time.example\"  \r\n", true, false, L"time.example"},
      {"[Settings]\nServer=unix.example\n", false, false, L"unix.example"},
      {"[Other]\r\nServer=elsewhere\r\n", false, false, L""},
  };
  for (const auto& c : cases) {
    handWrite(c.file);
    EXPECT_EQ(settings.daylight(), c.daylight) << c.file;
    EXPECT_EQ(settings.automaticallySynchronize(), c.autoSync) << c.file;
    EXPECT_EQ(settings.server(), c.server) << c.file;
  }
}

TEST_F(Win32ProfileSettings, AWriteKeepsEverythingElseInTheFile) {
  handWrite("; kept\r\n[Other]\r\nKey=value\r\n[Settings]\r\nServer=old\r\nLanguageFile=x\r\n");
  settings.setServer(L"new");
  EXPECT_EQ(settings.server(), L"new");
  EXPECT_EQ(settings.languageFile(), L"x");
  EXPECT_EQ(profile.readString(path, L"Other", L"Key", L"", 2048), L"value");
  EXPECT_NE(bytesOnDisk().find("; kept"), std::string::npos);
}

// The ANSI code page has no Cyrillic: written as ANSI the name would come
// back as "?????.??".
TEST_F(Win32ProfileSettings, ValuesOutsideTheAnsiCodePageAreKept) {
  const std::wstring cyrillic = L"\u0432\u0440\u0435\u043c\u044f.\u0440\u0444";
  settings.setServer(cyrillic);
  EXPECT_EQ(settings.server(), cyrillic);
  EXPECT_EQ(bytesOnDisk().substr(0, 2), "\xFF\xFE");
  // Later writes and what was there before stay as they were.
  settings.setDaylight(true);
  EXPECT_EQ(settings.server(), cyrillic);
  EXPECT_TRUE(settings.daylight());
}

TEST_F(Win32ProfileSettings, AnAnsiFileKeepsItsTextWhenItMustHoldMore) {
  handWrite(
      "; kept\r\n[Settings]\r\nLanguageFile=Fran\xe7"
      "ais.lang.txt\r\n[Other]\r\nKey=value\r\n");
  const std::wstring greek = L"\u03ce\u03c1\u03b1.example";
  settings.setServer(greek);
  EXPECT_EQ(settings.server(), greek);
  EXPECT_EQ(settings.languageFile(), L"Fran\u00e7ais.lang.txt");
  EXPECT_EQ(profile.readString(path, L"Other", L"Key", L"", 2048), L"value");
}

TEST_F(Win32ProfileSettings, ARefusedWriteRaisesUnableToWrite) {
  const std::wstring nowhere = folder / L"missing\\settings.ini";
  SettingsFile lost(profile, nowhere);
  for (const wchar_t* value : {L"pool.ntp.org", L"\u0432\u0440\u0435\u043c\u044f.\u0440\u0444"}) {
    try {
      lost.setServer(value);
      ADD_FAILURE() << "no error";
    } catch (const Error& e) {
      EXPECT_EQ(e.message(), L"Unable to write to " + nowhere);
    }
  }
  EXPECT_FALSE(files.directoryExists(folder / L"missing"));
}

}  // namespace
}  // namespace hv::app
