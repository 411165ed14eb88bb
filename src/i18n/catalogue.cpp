#include "i18n/catalogue.h"

#include <algorithm>
#include <utility>

#include "base/error.h"

namespace hv::i18n {
namespace {

CatalogueState& TheCatalogue() {
  static CatalogueState run;
  return run;
}

wchar_t AsciiLower(wchar_t c) {
  return (c >= L'A' && c <= L'Z') ? c - L'A' + L'a' : c;
}

}  // namespace

void ForgetLanguageForTests() {
  TheCatalogue() = {};
}

std::wstring TrimText(const std::wstring& s) {
  std::size_t begin = 0;
  std::size_t end = s.size();
  while (begin < end && s[begin] <= L' ') ++begin;
  while (end > begin && s[end - 1] <= L' ') --end;
  return s.substr(begin, end - begin);
}

bool SameTextAscii(const std::wstring& a, const std::wstring& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](wchar_t x, wchar_t y) { return AsciiLower(x) == AsciiLower(y); });
}

std::vector<std::wstring> ReadUtf8Lines(const std::string& bytes) {
  std::string_view v(bytes);
  if (v.starts_with("\xEF\xBB\xBF")) v.remove_prefix(3);
  return SplitLines(DecodeUtf8(v));
}

std::optional<std::wstring> FindEntry(const std::vector<std::wstring>& lines,
                                      const std::wstring& key) {
  const std::wstring prefix = L"{" + key + L"}";
  for (const auto& line : lines) {
    if (line.starts_with(prefix)) return line.substr(prefix.size());
  }
  return std::nullopt;
}

std::wstring LanguageFileForId(const std::string& csvBytes, const AnsiDecoder& ansi,
                               const std::wstring& languageId) {
  for (const auto& line : SplitLines(DecodeTextWithBom(csvBytes, ansi))) {
    const auto comma = line.find(L',');
    if (comma == std::wstring::npos) continue;
    if (TrimText(line.substr(0, comma)) == languageId) return TrimText(line.substr(comma + 1));
  }
  return {};
}

std::wstring LanguageNameOf(const std::wstring& fileName) {
  const auto at = fileName.find(kLanguageFileSuffix);
  return at == std::wstring::npos ? std::wstring() : fileName.substr(0, at);
}

void LoadLanguage(platform::Files& files, platform::Locale& locale, const std::wstring& exePath,
                  const std::wstring& fileName) {
  const wchar_t sep = files.separator();
  CatalogueState c;
  c.languagesFolder = platform::FolderWithSeparator(exePath, sep) + L"Languages";
  TheCatalogue() = c;
  if (!files.directoryExists(c.languagesFolder)) return;
  c.languageFileNames = files.listFiles(c.languagesFolder, L"lang.txt");

  std::wstring chosen = fileName;
  if (TrimText(fileName).empty()) {
    const std::wstring csvPath = c.languagesFolder + sep + L"LanguageCodes.csv";
    if (files.fileExists(csvPath)) {
      const std::wstring id = std::to_wstring(locale.userDefaultUILanguage());
      // An unreadable table counts as an empty one.
      const std::string csv = files.readFile(csvPath).value_or(std::string());
      const std::wstring wanted = LanguageFileForId(
          csv, [&locale](const std::string& b) { return locale.fromAnsi(b); }, id);
      const auto hit =
          std::find_if(c.languageFileNames.begin(), c.languageFileNames.end(),
                       [&](const std::wstring& n) { return SameTextAscii(n, wanted); });
      if (hit != c.languageFileNames.end()) chosen = *hit;
    }
  }

  const std::wstring path = c.languagesFolder + sep + chosen;
  if (!files.fileExists(path)) {
    TheCatalogue() = std::move(c);
    return;
  }
  c.loadedLanguageName = LanguageNameOf(chosen);
  c.loadedLanguagePath = path;
  const auto bytes = files.readFile(path);
  if (!bytes) {
    // Lookups still consult the (empty) file, so every text stays English.
    TheCatalogue() = std::move(c);
    throw Error(L"Cannot open file \"" + path + L"\".");
  }
  c.languageLines = ReadUtf8Lines(*bytes);
  TheCatalogue() = std::move(c);
}

std::wstring Translate(const std::wstring& english) {
  if (TheCatalogue().loadedLanguagePath.empty()) return english;
  const auto value = FindEntry(TheCatalogue().languageLines, english);
  return (value && !value->empty()) ? *value : english;
}

const std::wstring& LanguagesFolder() {
  return TheCatalogue().languagesFolder;
}
const std::vector<std::wstring>& LanguageFileNames() {
  return TheCatalogue().languageFileNames;
}
const std::wstring& LoadedLanguageName() {
  return TheCatalogue().loadedLanguageName;
}
const std::wstring& LoadedLanguagePath() {
  return TheCatalogue().loadedLanguagePath;
}

}  // namespace hv::i18n
