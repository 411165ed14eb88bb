#pragma once
// The language catalogue: one language file, chosen at start-up, answers
// every Translate lookup. English text in, translated text out.
#include <optional>
#include <string>
#include <vector>

#include "i18n/text_decode.h"
#include "platform/files.h"
#include "platform/locale.h"

namespace hv::i18n {

inline constexpr wchar_t kLanguageFileSuffix[] = L".lang.txt";
inline constexpr wchar_t kTranslatorsKey[] = L"INFO:Translated By";

// The run's language. Owner: LoadLanguage, on the UI
// thread before other threads exist. Readers: Translate and the language
// window, on the UI and start-up threads, after it is loaded; it is never
// written again, so no lock is needed.
struct CatalogueState {
  std::wstring languagesFolder;
  std::vector<std::wstring> languageFileNames;
  std::wstring loadedLanguageName;
  std::wstring loadedLanguagePath;
  std::vector<std::wstring> languageLines;
};

// Chooses and loads a language file from the "Languages" folder next to the
// program. An empty (blank) fileName picks one for the user's interface
// language through LanguageCodes.csv. Throws hv::Error when the chosen file
// exists but can't be read.
void LoadLanguage(platform::Files& files, platform::Locale& locale, const std::wstring& exePath,
                  const std::wstring& fileName);

// The translation of english, or english itself. Never fails.
std::wstring Translate(const std::wstring& english);
// Tests: as at process start.
void ForgetLanguageForTests();

const std::wstring& LanguagesFolder();
const std::vector<std::wstring>& LanguageFileNames();
const std::wstring& LoadedLanguageName();
const std::wstring& LoadedLanguagePath();

// The text after "{key}" on the first line that begins with it; nullopt when
// no line does. The value may be empty.
std::optional<std::wstring> FindEntry(const std::vector<std::wstring>& lines,
                                      const std::wstring& key);

// A language file's lines: UTF-8 with an optional byte-order mark.
std::vector<std::wstring> ReadUtf8Lines(const std::string& bytes);

// s without spaces and control characters at both ends.
std::wstring TrimText(const std::wstring& s);

// The file name LanguageCodes.csv gives for languageId (a decimal LANGID):
// the trimmed text after the first comma of the first line whose trimmed
// text before it equals languageId; empty when no line does.
std::wstring LanguageFileForId(const std::string& csvBytes, const AnsiDecoder& ansi,
                               const std::wstring& languageId);

// The part of a language file name before its first ".lang.txt" (exact
// case); empty when it has none.
std::wstring LanguageNameOf(const std::wstring& fileName);

// ASCII letters compared without regard to case, everything else exactly.
bool SameTextAscii(const std::wstring& a, const std::wstring& b);

}  // namespace hv::i18n
