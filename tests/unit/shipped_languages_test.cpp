// The language files and LanguageCodes.csv that ship next to the program,
// read from the source tree and loaded through the real catalogue.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "i18n/catalogue.h"
#include "support/fake_files.h"
#include "support/fake_locale.h"
#include "support/new_run.h"
#include "support/translated_keys.h"

namespace hv::i18n {
namespace {

namespace fs = std::filesystem;
using test::ExpectedKeys;

const fs::path kSourceRoot = HORVANE_SOURCE_ROOT;
const fs::path kShipped = kSourceRoot / "Languages";
constexpr wchar_t kExe[] = L"C:\\Horvane\\horvane.exe";
constexpr wchar_t kFolder[] = L"C:\\Horvane\\Languages";

std::string ReadBytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::wstring Widen(const std::string& ascii) {
  return {ascii.begin(), ascii.end()};
}

struct ShippedFile {
  std::wstring name;
  std::string bytes;
};

// The shipped folder in directory order, sorted so that runs agree.
std::vector<ShippedFile> ShippedFiles() {
  std::vector<ShippedFile> out;
  for (const auto& e : fs::directory_iterator(kShipped)) {
    if (e.is_regular_file()) out.push_back({e.path().filename().wstring(), ReadBytes(e.path())});
  }
  std::sort(out.begin(), out.end(),
            [](const ShippedFile& a, const ShippedFile& b) { return a.name < b.name; });
  return out;
}

std::vector<ShippedFile> LanguageFiles() {
  std::vector<ShippedFile> out;
  for (auto& f : ShippedFiles()) {
    if (f.name.ends_with(kLanguageFileSuffix)) out.push_back(std::move(f));
  }
  return out;
}

struct CsvRow {
  std::wstring id;
  std::wstring file;
};

std::vector<CsvRow> CsvRows(const std::string& csv) {
  std::vector<CsvRow> rows;
  for (const auto& line : SplitLines(Widen(csv))) {
    const auto comma = line.find(L',');
    if (comma != std::wstring::npos) {
      rows.push_back({TrimText(line.substr(0, comma)), TrimText(line.substr(comma + 1))});
    }
  }
  return rows;
}

class ShippedLanguages : public ::testing::Test {
 protected:
  void SetUp() override {
    test::BeginNewRun();
    ASSERT_TRUE(fs::is_directory(kShipped)) << kShipped;
    files.addFolder(L"C:\\Horvane");
    files.addFolder(kFolder);
    for (const auto& f : ShippedFiles())
      files.addFile(std::wstring(kFolder) + L"\\" + f.name, f.bytes);
  }
  void TearDown() override { test::BeginNewRun(); }

  test::FakeFiles files;
  test::FakeLocale locale;
};

TEST_F(ShippedLanguages, EachFileTranslatesEveryKeyOnceAndNothingElse) {
  const auto languages = LanguageFiles();
  ASSERT_GE(languages.size(), 3u);
  for (const auto& f : languages) {
    SCOPED_TRACE(f.name);
    const auto lines = ReadUtf8Lines(f.bytes);
    std::map<std::wstring, int> seen;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const std::wstring& line = lines[i];
      SCOPED_TRACE("line " + std::to_string(i + 1));
      EXPECT_EQ(line.find(L'\uFFFD'), std::wstring::npos) << "not UTF-8";
      // An entry indented by mistake would be ignored without a word.
      EXPECT_FALSE(!line.starts_with(L"{") && TrimText(line).starts_with(L"{")) << "indented entry";
      if (!line.starts_with(L"{")) continue;
      const auto close = line.find(L'}');
      ASSERT_NE(close, std::wstring::npos) << "entry without a closing brace";
      const std::wstring key = line.substr(1, close - 1);
      const std::wstring value = line.substr(close + 1);
      EXPECT_TRUE(ExpectedKeys().contains(key)) << "unknown key " << key;
      EXPECT_EQ(++seen[key], 1) << "second entry for " << key;
      EXPECT_FALSE(TrimText(value).empty()) << "empty translation of " << key;
      EXPECT_EQ(TrimText(value), value) << "spaces around the translation of " << key;
    }
    for (const auto& key : ExpectedKeys()) EXPECT_TRUE(seen.contains(key)) << "missing " << key;
  }
}

TEST_F(ShippedLanguages, EachFileLoadsAndAnswersThroughTranslate) {
  for (const auto& f : LanguageFiles()) {
    SCOPED_TRACE(f.name);
    test::BeginNewRun();
    LoadLanguage(files, locale, kExe, f.name);
    EXPECT_EQ(LoadedLanguageName() + kLanguageFileSuffix, f.name);
    const auto lines = ReadUtf8Lines(f.bytes);
    for (const auto& key : ExpectedKeys()) {
      const auto value = FindEntry(lines, key);
      ASSERT_TRUE(value) << key;
      if (key != kTranslatorsKey) {
        EXPECT_EQ(Translate(key), *value) << key;
      }
    }
    // The window appends " CTRL + ALT + T" itself.
    EXPECT_NE(Translate(L"Hotkey:").back(), L' ');
  }
}

TEST_F(ShippedLanguages, TableChoosesGermanForItsInterfaceLanguage) {
  const std::string csv = ReadBytes(kShipped / "LanguageCodes.csv");
  const AnsiDecoder ansi = [this](const std::string& b) { return locale.fromAnsi(b); };
  EXPECT_EQ(LanguageFileForId(csv, ansi, L"1031"), L"German.lang.txt");

  locale.uiLanguage = 1031;
  LoadLanguage(files, locale, kExe, L"");
  EXPECT_EQ(LoadedLanguageName(), L"German");
  EXPECT_EQ(Translate(L"Cancel"), L"Abbrechen");
}

TEST_F(ShippedLanguages, TableRowsAreWellFormedAndEachLoadsItsFile) {
  const std::string csv = ReadBytes(kShipped / "LanguageCodes.csv");
  // Read in the ANSI code page: names beyond ASCII would differ by system.
  EXPECT_TRUE(std::all_of(csv.begin(), csv.end(), [](char c) { return c > 0 && c < 0x7F; }));
  const auto rows = CsvRows(csv);
  ASSERT_FALSE(rows.empty());

  std::set<std::wstring> named;
  std::set<std::wstring> ids;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.id + L"," + row.file);
    ASSERT_TRUE(!row.id.empty() && std::all_of(row.id.begin(), row.id.end(), iswdigit));
    ASSERT_NE(row.id.front(), L'0');
    ASSERT_LT(std::stoul(row.id), 0x10000u);
    EXPECT_TRUE(ids.insert(row.id).second) << "identifier listed twice";
    named.insert(row.file);

    test::BeginNewRun();
    locale.uiLanguage = static_cast<std::uint16_t>(std::stoul(row.id));
    LoadLanguage(files, locale, kExe, L"");
    // Exact spelling, so the table also holds on a case-sensitive file system.
    EXPECT_EQ(LoadedLanguageName() + kLanguageFileSuffix, row.file);
  }
  for (const auto& f : LanguageFiles())
    EXPECT_TRUE(named.contains(f.name)) << "unreachable " << f.name;

  test::BeginNewRun();
  locale.uiLanguage = 1033;
  LoadLanguage(files, locale, kExe, L"");
  EXPECT_EQ(LoadedLanguagePath(), L"") << "English is built in";
}

TEST_F(ShippedLanguages, KeysTheSourcesTranslateAreShipped) {
  const std::regex call(R"re(Translate\(\s*L"([^"\\]*)"\s*\))re");
  int calls = 0;
  for (const auto& e : fs::recursive_directory_iterator(kSourceRoot / "src")) {
    if (!e.is_regular_file() || (e.path().extension() != ".cpp" && e.path().extension() != ".h")) {
      continue;
    }
    const std::string text = ReadBytes(e.path());
    for (std::sregex_iterator m(text.begin(), text.end(), call), end; m != end; ++m) {
      ++calls;
      const std::wstring key = Widen((*m)[1].str());
      EXPECT_TRUE(ExpectedKeys().contains(key)) << e.path() << " translates " << key;
    }
  }
  EXPECT_GT(calls, 0) << "no Translate calls found under " << kSourceRoot / "src";
}

}  // namespace
}  // namespace hv::i18n
