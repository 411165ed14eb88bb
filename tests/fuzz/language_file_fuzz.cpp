// A language file of any bytes, loaded through LoadLanguage and asked for
// the keys it carries and a few it may not.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "i18n/catalogue.h"
#include "support/fake_files.h"
#include "support/fake_locale.h"
#include "support/new_run.h"

namespace {

using namespace hv::i18n;

void Require(bool ok) {
  if (!ok) std::abort();
}

// What a lookup must answer, from the lines alone.
void CheckLookup(const std::vector<std::wstring>& lines, const std::wstring& key) {
  const auto entry = FindEntry(lines, key);
  const std::wstring got = Translate(key);
  Require(got == ((entry && !entry->empty()) ? *entry : key));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  hv::test::FakeFiles files;
  hv::test::FakeLocale locale;
  files.addFolder(L"C:\\H");
  files.addFolder(L"C:\\H\\Languages");
  files.addFile(L"C:\\H\\Languages\\Fuzz.lang.txt", bytes);

  hv::test::BeginNewRun();
  LoadLanguage(files, locale, L"C:\\H\\horvane.exe", L"Fuzz.lang.txt");
  Require(LoadedLanguageName() == L"Fuzz");

  const auto lines = ReadUtf8Lines(bytes);
  for (const auto& line : lines) {
    Require(line.find_first_of(L"\r\n") == std::wstring::npos);
  }
  // The keys the file itself names, as far as the first "}" of each entry.
  std::size_t asked = 0;
  for (const auto& line : lines) {
    if (asked == 64) break;
    if (!line.starts_with(L"{")) continue;
    const auto close = line.find(L'}');
    if (close == std::wstring::npos) continue;
    CheckLookup(lines, line.substr(1, close - 1));
    ++asked;
  }
  for (const wchar_t* key : {L"OK", L"", L"Hotkey:", kTranslatorsKey}) CheckLookup(lines, key);
  hv::test::BeginNewRun();
  return 0;
}
