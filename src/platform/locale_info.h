#pragma once
// Locale identifiers and their names, as the identity fields of web requests
// need them, and the user's short date.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/clock.h"

namespace hv::platform {

namespace lc {
inline constexpr std::uint32_t kLanguageName = 0x02;    // LOCALE_SLANGUAGE
inline constexpr std::uint32_t kAbbrevLanguage = 0x03;  // LOCALE_SABBREVLANGNAME
inline constexpr std::uint32_t kIso639Language = 0x59;  // LOCALE_SISO639LANGNAME
inline constexpr std::uint32_t kIso3166Country = 0x5A;  // LOCALE_SISO3166CTRYNAME
inline constexpr std::uint32_t kEnglishUnitedStates = 0x0409;
}  // namespace lc

class LocaleInfo {
 public:
  virtual ~LocaleInfo() = default;
  // The calling thread's locale; 0 when the platform gives none.
  virtual std::uint32_t threadLocale() = 0;
  // Sets the calling thread's locale to the user's default.
  virtual void useUserDefaultLocale() = 0;
  // The supported locales as the enumeration reports them: hexadecimal
  // texts such as "00000409", in its order.
  virtual std::vector<std::wstring> supportedLocales() = 0;
  // One piece of a locale's information; empty when there is none.
  virtual std::wstring localeText(std::uint32_t lcid, std::uint32_t type) = 0;
  // A date in the user's short date format.
  virtual std::wstring shortDate(const SystemTime& date) = 0;
};

}  // namespace hv::platform
