#include "i18n/catalogue.h"

#include <gtest/gtest.h>

#include "base/error.h"
#include "support/fake_files.h"
#include "support/fake_locale.h"
#include "support/new_run.h"

namespace hv::i18n {
namespace {

constexpr wchar_t kFolder[] = L"C:\\Tools\\Languages";
const std::string kGerman = "{OK}Okay\r\n{Cancel}Abbrechen\r\n";

struct File {
  const wchar_t* name;
  std::string bytes;
};

struct Scenario {
  const char* what;
  std::vector<File> files;  // in listing order; nullptr bytes not used
  std::optional<std::string> csv;
  const wchar_t* setting;
  std::uint16_t uiLanguage;
  const wchar_t* loadedName;  // nullptr: nothing loaded
  std::vector<std::pair<std::wstring, std::wstring>> lookups;
};

class Catalogue : public ::testing::Test {
 protected:
  void SetUp() override { test::BeginNewRun(); }
  void TearDown() override { test::BeginNewRun(); }

  void load(const Scenario& s) {
    files.addFolder(L"C:\\Tools");
    files.addFolder(kFolder);
    for (const auto& f : s.files) files.addFile(std::wstring(kFolder) + L"\\" + f.name, f.bytes);
    if (s.csv) files.addFile(std::wstring(kFolder) + L"\\LanguageCodes.csv", *s.csv);
    locale.uiLanguage = s.uiLanguage;
    LoadLanguage(files, locale, L"C:\\Tools\\horvane.exe", s.setting);
  }

  test::FakeFiles files;
  test::FakeLocale locale;
};

TEST_F(Catalogue, ChoosesLoadsAndAnswers) {
  const Scenario scenarios[] = {
      {"stored name",
       {{L"German.lang.txt", kGerman}},
       std::nullopt,
       L"German.lang.txt",
       1033,
       L"German",
       {{L"OK", L"Okay"}, {L"Cancel", L"Abbrechen"}, {L"Help", L"Help"}}},
      {"automatic, CSV spelling differs from the listing",
       {{L"French.lang.txt", "{OK}D'accord"}, {L"German.lang.txt", kGerman}},
       "1036,French.lang.txt\n1031,german.lang.txt\n",
       L"",
       1031,
       L"German",
       {{L"OK", L"Okay"}}},
      {"automatic, both fields trimmed",
       {{L"German.lang.txt", kGerman}},
       " 1031 , German.lang.txt \r\n",
       L"",
       1031,
       L"German",
       {{L"OK", L"Okay"}}},
      {"blank setting counts as empty",
       {{L"German.lang.txt", kGerman}},
       "1031,German.lang.txt",
       L" \t",
       1031,
       L"German",
       {{L"OK", L"Okay"}}},
      {"identifier is compared as text",
       {{L"German.lang.txt", kGerman}},
       "01031,German.lang.txt",
       L"",
       1031,
       nullptr,
       {{L"OK", L"OK"}}},
      {"first matching line counts",
       {{L"German.lang.txt", kGerman}, {L"Swiss.lang.txt", "{OK}Guet"}},
       "header without comma\n2055,Swiss.lang.txt\n2055,German.lang.txt\n",
       L"",
       2055,
       L"Swiss",
       {{L"OK", L"Guet"}}},
      {"no line for the language",
       {{L"German.lang.txt", kGerman}},
       "1031,German.lang.txt",
       L"",
       1033,
       nullptr,
       {{L"OK", L"OK"}}},
      {"no CSV",
       {{L"German.lang.txt", kGerman}},
       std::nullopt,
       L"",
       1031,
       nullptr,
       {{L"OK", L"OK"}}},
      {"CSV names a file that is not there",
       {{L"German.lang.txt", kGerman}},
       "1031,Deutsch.lang.txt",
       L"",
       1031,
       nullptr,
       {{L"OK", L"OK"}}},
      {"stored name missing: no automatic choice",
       {{L"German.lang.txt", kGerman}},
       "1031,German.lang.txt",
       L"Klingon.lang.txt",
       1031,
       nullptr,
       {{L"OK", L"OK"}}},
      {"further commas belong to the file name",
       {{L"A,B.lang.txt", "{OK}AB"}},
       "1031,A,B.lang.txt",
       L"",
       1031,
       L"A,B",
       {{L"OK", L"AB"}}},
      {"UTF-16LE table",
       {{L"German.lang.txt", kGerman}},
       std::string("\xFF\xFE"
                   "1\0"
                   "0\0"
                   "3\0"
                   "1\0"
                   ",\0"
                   "G\0"
                   "e\0"
                   "r\0"
                   "m\0"
                   "a\0"
                   "n\0"
                   ".\0"
                   "l\0"
                   "a\0"
                   "n\0"
                   "g\0"
                   ".\0"
                   "t\0"
                   "x\0"
                   "t\0",
                   42),
       L"",
       1031,
       L"German",
       {{L"OK", L"Okay"}}},
      {"UTF-16BE table",
       {{L"German.lang.txt", kGerman}},
       std::string("\xFE\xFF"
                   "\0"
                   "1"
                   "\0"
                   "0"
                   "\0"
                   "3"
                   "\0"
                   "1"
                   "\0"
                   ","
                   "\0"
                   "G"
                   "\0"
                   "e"
                   "\0"
                   "r"
                   "\0"
                   "m"
                   "\0"
                   "a"
                   "\0"
                   "n"
                   "\0"
                   "."
                   "\0"
                   "l"
                   "\0"
                   "a"
                   "\0"
                   "n"
                   "\0"
                   "g"
                   "\0"
                   "."
                   "\0"
                   "t"
                   "\0"
                   "x"
                   "\0"
                   "t",
                   42),
       L"",
       1031,
       L"German",
       {{L"OK", L"Okay"}}},
      {"ANSI table with a non-ASCII name",
       {{L"Fran\u00e7ais.lang.txt", "{OK}D'accord"}},
       "1036,Fran\xE7"
       "ais.lang.txt",
       L"",
       1036,
       L"Fran\u00e7ais",
       {{L"OK", L"D'accord"}}},
      {"UTF-8 table with a non-ASCII name",
       {{L"T\u00fcrk\u00e7e.lang.txt", "{OK}Tamam"}},
       "\xEF\xBB\xBF"
       "1055,T\xC3\xBCrk\xC3\xA7"
       "e.lang.txt",
       L"",
       1055,
       L"T\u00fcrk\u00e7e",
       {{L"OK", L"Tamam"}}},
      {"ASCII case only: non-ASCII letters must match exactly",
       {{L"\u00c9cole.lang.txt", "{OK}x"}},
       "\xEF\xBB\xBF"
       "1036,\xC3\xA9"
       "cole.lang.txt",
       L"",
       1036,
       nullptr,
       {{L"OK", L"OK"}}},
      {"upper-case suffix: loaded, name empty",
       {{L"Polish.LANG.TXT", "{OK}Dobrze"}},
       std::nullopt,
       L"Polish.LANG.TXT",
       1033,
       L"",
       {{L"OK", L"Dobrze"}}},
      {"no point before lang",
       {{L"Germanlang.txt", "{OK}Gut"}},
       std::nullopt,
       L"Germanlang.txt",
       1033,
       L"",
       {{L"OK", L"Gut"}}},
      {"cut at the first suffix",
       {{L"X.lang.txt.lang.txt", "{OK}X"}},
       std::nullopt,
       L"X.lang.txt.lang.txt",
       1033,
       L"X",
       {{L"OK", L"X"}}},
  };
  for (const auto& s : scenarios) {
    SCOPED_TRACE(s.what);
    test::BeginNewRun();
    files = test::FakeFiles();
    load(s);
    if (s.loadedName) {
      EXPECT_EQ(LoadedLanguageName(), s.loadedName);
      EXPECT_NE(LoadedLanguagePath(), L"");
    } else {
      EXPECT_EQ(LoadedLanguageName(), L"");
      EXPECT_EQ(LoadedLanguagePath(), L"");
    }
    for (const auto& [key, expected] : s.lookups) EXPECT_EQ(Translate(key), expected) << key;
  }
}

TEST_F(Catalogue, EntryRules) {
  const struct {
    const char* what;
    std::string file;
    const wchar_t* key;
    const wchar_t* expected;
  } cases[] = {
      {"empty translation returns the key", "{OK}\n", L"OK", L"OK"},
      {"key case is exact", "{Ok}Okay\n", L"OK", L"OK"},
      {"brace must start the line", " {OK}Okay\n", L"OK", L"OK"},
      {"spaces in the translation stay", "{OK} Okay \n", L"OK", L" Okay "},
      {"BOM before the first entry", "\xEF\xBB\xBF{OK}Okay\n", L"OK", L"Okay"},
      {"first entry wins", "{OK}Erst\n{OK}Zweit\n", L"OK", L"Erst"},
      {"an empty first entry still stops the search", "{OK}\n{OK}Zweit\n", L"OK", L"OK"},
      {"CR ends a line", "{OK}Okay\r{Cancel}Abbrechen", L"Cancel", L"Abbrechen"},
      {"CR LF ends a line", "{OK}Okay\r\n{Cancel}Abbrechen\r\n", L"OK", L"Okay"},
      {"comments and blank lines are ignored", "# Deutsch\n\n{OK}Okay\n", L"OK", L"Okay"},
      {"a key holding a brace", "{a}b}X\n", L"a}b", L"X"},
      {"nothing is unescaped", "{Hotkey:}Taste\\n:\n", L"Hotkey:", L"Taste\\n:"},
      {"key with dots", "{Language...}Sprache...\n", L"Language...", L"Sprache..."},
      {"prefix of a longer key", "{Server Time:}Serverzeit:\n", L"Server", L"Server"},
      {"UTF-8 translation", "{Exit}\xC3\x87\xC4\xB1k\xC4\xB1\xC5\x9F\n", L"Exit",
       L"\u00c7\u0131k\u0131\u015f"},
  };
  for (const auto& c : cases) {
    test::BeginNewRun();
    files = test::FakeFiles();
    load({c.what, {{L"T.lang.txt", c.file}}, std::nullopt, L"T.lang.txt", 1033, L"T", {}});
    EXPECT_EQ(Translate(c.key), c.expected) << c.what;
  }
}

TEST_F(Catalogue, ListingKeepsOrderAndSkipsOtherEntries) {
  files.addFolder(L"C:\\Tools");
  files.addFolder(kFolder);
  for (const wchar_t* name : {L"Zulu.lang.txt", L"German.lang.txt", L"Polish.LANG.TXT",
                              L"Germanlang.txt", L"notes.txt", L"LanguageCodes.csv"}) {
    files.addFile(std::wstring(kFolder) + L"\\" + name, "");
  }
  files.addFolder(std::wstring(kFolder) + L"\\Old.lang.txt");
  LoadLanguage(files, locale, L"C:\\Tools\\horvane.exe", L"");
  EXPECT_EQ(LanguagesFolder(), kFolder);
  EXPECT_EQ(LanguageFileNames(),
            (std::vector<std::wstring>{L"Zulu.lang.txt", L"German.lang.txt", L"Polish.LANG.TXT",
                                       L"Germanlang.txt"}));
}

TEST_F(Catalogue, NoLanguagesFolderLeavesEverythingEnglish) {
  files.addFolder(L"C:\\Tools");
  LoadLanguage(files, locale, L"C:\\Tools\\horvane.exe", L"German.lang.txt");
  EXPECT_EQ(LanguagesFolder(), kFolder);
  EXPECT_TRUE(LanguageFileNames().empty());
  EXPECT_EQ(LoadedLanguagePath(), L"");
  EXPECT_EQ(Translate(L"OK"), L"OK");
}

TEST_F(Catalogue, EmptySettingDoesNotLoadTheFolderItself) {
  load({"", {}, std::nullopt, L"", 1031, nullptr, {}});
  EXPECT_EQ(LoadedLanguagePath(), L"");
}

TEST_F(Catalogue, UnreadableTableCountsAsEmpty) {
  files.unreadable.insert(std::wstring(kFolder) + L"\\LanguageCodes.csv");
  load({"", {{L"German.lang.txt", kGerman}}, "1031,German.lang.txt", L"", 1031, nullptr, {}});
  EXPECT_EQ(LoadedLanguagePath(), L"");
}

TEST_F(Catalogue, UnreadableLanguageFileFailsButKeepsItsPath) {
  const std::wstring path = std::wstring(kFolder) + L"\\German.lang.txt";
  files.unreadable.insert(path);
  try {
    load(
        {"", {{L"German.lang.txt", kGerman}}, std::nullopt, L"German.lang.txt", 1033, nullptr, {}});
    ADD_FAILURE() << "an unreadable language file went unnoticed";
  } catch (const Error& e) {
    EXPECT_EQ(e.message(), L"Cannot open file \"" + path + L"\".");
  }
  EXPECT_EQ(LoadedLanguagePath(), path);
  EXPECT_EQ(LoadedLanguageName(), L"German");
  EXPECT_EQ(Translate(L"OK"), L"OK");
  EXPECT_EQ(LanguageFileNames(), std::vector<std::wstring>{L"German.lang.txt"});
}

TEST_F(Catalogue, ALaterLoadForgetsTheEarlierLanguage) {
  load({"", {{L"German.lang.txt", kGerman}}, std::nullopt, L"German.lang.txt", 1033, nullptr, {}});
  ASSERT_EQ(Translate(L"OK"), L"Okay");
  LoadLanguage(files, locale, L"C:\\Tools\\horvane.exe", L"English.lang.txt");
  EXPECT_EQ(LoadedLanguageName(), L"");
  EXPECT_EQ(Translate(L"OK"), L"OK");
}

}  // namespace
}  // namespace hv::i18n
