#pragma once
// The user's locale as the "local=" field names it: DefaultLocaleId and the
// list of supported locales it is looked up in.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/locale_info.h"

namespace hv::web {

struct SystemLocale {
  std::wstring languageName;  // display name
  std::uint32_t lcid = 0;
  std::wstring abbreviation;  // abbreviated language name
  std::wstring localeName;    // ISO 639 "-" ISO 3166, such as en-US
};

// The run's locale facts. defaultId: owner the UI thread (start and
// regional-settings notices), reader the update check's thread. The list:
// built by the first CurrentLocaleName under the mutex.
struct ClientLocaleState {
  std::atomic<std::uint32_t> defaultId{platform::lc::kEnglishUnitedStates};
  std::mutex mutex;
  std::optional<std::vector<SystemLocale>> systemLocales;
};

// This run's facts, shared with the update check that reads them.
std::shared_ptr<ClientLocaleState> SharedClientLocaleState();
// Tests: as at process start.
void ForgetClientLocaleForTests();

// 1033, or the thread's locale when the platform gives one.
void CaptureDefaultLocaleId(platform::LocaleInfo& locale);
// After the regional settings changed: the thread takes the user's default
// locale again, then the capture runs.
void RefreshDefaultLocaleId(platform::LocaleInfo& locale);
std::uint32_t DefaultLocaleId();

// The LCID in characters 5 to 8 of an enumerated locale text; nullopt when
// they are not hexadecimal digits.
std::optional<std::uint32_t> LcidOfLocaleText(const std::wstring& text);

// Every supported locale with an abbreviated name, in enumeration order.
std::vector<SystemLocale> EnumerateSystemLocales(platform::LocaleInfo& locale);

// The locale name of DefaultLocaleId. Builds the list on first use (one
// thread at a time); throws hv::Error when the list lacks that LCID.
std::wstring CurrentLocaleName(platform::LocaleInfo& locale, ClientLocaleState& facts);
std::wstring CurrentLocaleName(platform::LocaleInfo& locale);

}  // namespace hv::web
