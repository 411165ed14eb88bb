// LanguageCodes.csv of any bytes (any encoding mark, any lines), with the
// interface language taken from the first two bytes, through the automatic
// choice of LoadLanguage.
#include <algorithm>
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

constexpr const wchar_t* kListed[] = {L"German.lang.txt", L"French.lang.txt", L"A,B.lang.txt",
                                      L"Polish.LANG.TXT", L"Germanlang.txt"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const auto language = static_cast<std::uint16_t>(data[0] | data[1] << 8);
  const std::string csv(reinterpret_cast<const char*>(data) + 2, size - 2);

  hv::test::FakeFiles files;
  hv::test::FakeLocale locale;
  locale.uiLanguage = language;
  files.addFolder(L"C:\\H");
  files.addFolder(L"C:\\H\\Languages");
  for (const wchar_t* name : kListed)
    files.addFile(std::wstring(L"C:\\H\\Languages\\") + name, "{OK}x");
  files.addFile(L"C:\\H\\Languages\\LanguageCodes.csv", csv);

  const std::wstring id = std::to_wstring(language);
  const AnsiDecoder ansi = [&locale](const std::string& b) { return locale.fromAnsi(b); };
  const std::wstring wanted = LanguageFileForId(csv, ansi, id);
  Require(TrimText(wanted) == wanted);
  Require(wanted.find_first_of(L"\r\n") == std::wstring::npos);

  hv::test::BeginNewRun();
  LoadLanguage(files, locale, L"C:\\H\\horvane.exe", L"");
  const bool any = std::any_of(std::begin(kListed), std::end(kListed),
                               [&](const wchar_t* n) { return SameTextAscii(n, wanted); });
  // Loaded exactly when the table names a listed file, in its listed spelling.
  Require(LoadedLanguagePath().empty() != any);
  if (any) Require(SameTextAscii(LoadedLanguagePath(), L"C:\\H\\Languages\\" + wanted));
  hv::test::BeginNewRun();
  return 0;
}
