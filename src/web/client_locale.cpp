#include "web/client_locale.h"

#include <atomic>
#include <mutex>
#include <optional>

#include "base/error.h"

namespace hv::web {
namespace {

std::shared_ptr<ClientLocaleState>& SharedState() {
  static auto run = std::make_shared<ClientLocaleState>();
  return run;
}

ClientLocaleState& StateOf() {
  return *SharedState();
}

int HexDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

}  // namespace

std::shared_ptr<ClientLocaleState> SharedClientLocaleState() {
  return SharedState();
}

void ForgetClientLocaleForTests() {
  SharedState() = std::make_shared<ClientLocaleState>();
}

void CaptureDefaultLocaleId(platform::LocaleInfo& locale) {
  std::uint32_t id = platform::lc::kEnglishUnitedStates;
  if (const std::uint32_t thread = locale.threadLocale(); thread != 0) id = thread;
  StateOf().defaultId.store(id);
}

void RefreshDefaultLocaleId(platform::LocaleInfo& locale) {
  locale.useUserDefaultLocale();
  CaptureDefaultLocaleId(locale);
}

std::uint32_t DefaultLocaleId() {
  return StateOf().defaultId.load();
}

std::optional<std::uint32_t> LcidOfLocaleText(const std::wstring& text) {
  if (text.size() < 8) return std::nullopt;
  std::uint32_t lcid = 0;
  for (std::size_t i = 4; i < 8; ++i) {
    const int d = HexDigit(text[i]);
    if (d < 0) return std::nullopt;
    lcid = lcid * 16 + static_cast<std::uint32_t>(d);
  }
  return lcid;
}

std::vector<SystemLocale> EnumerateSystemLocales(platform::LocaleInfo& locale) {
  std::vector<SystemLocale> list;
  for (const auto& text : locale.supportedLocales()) {
    const auto lcid = LcidOfLocaleText(text);
    if (!lcid) continue;
    SystemLocale entry;
    entry.lcid = *lcid;
    entry.abbreviation = locale.localeText(*lcid, platform::lc::kAbbrevLanguage);
    if (entry.abbreviation.empty()) continue;
    entry.languageName = locale.localeText(*lcid, platform::lc::kLanguageName);
    entry.localeName = locale.localeText(*lcid, platform::lc::kIso639Language) + L"-" +
                       locale.localeText(*lcid, platform::lc::kIso3166Country);
    list.push_back(std::move(entry));
  }
  return list;
}

std::wstring CurrentLocaleName(platform::LocaleInfo& locale) {
  return CurrentLocaleName(locale, StateOf());
}

std::wstring CurrentLocaleName(platform::LocaleInfo& locale, ClientLocaleState& s) {
  const std::uint32_t id = s.defaultId.load();
  std::lock_guard lock(s.mutex);
  if (!s.systemLocales) s.systemLocales = EnumerateSystemLocales(locale);
  for (const auto& entry : *s.systemLocales)
    if (entry.lcid == id) return entry.localeName;
  throw Error(L"Locale " + std::to_wstring(id) + L" is not among the system's locales");
}

}  // namespace hv::web
