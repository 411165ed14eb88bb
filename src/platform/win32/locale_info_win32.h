#pragma once
// The thread's locale, the supported locales and their names, the short date.
#include "platform/locale_info.h"

namespace hv::platform::win32 {

class Win32LocaleInfo : public LocaleInfo {
 public:
  std::uint32_t threadLocale() override;
  void useUserDefaultLocale() override;
  std::vector<std::wstring> supportedLocales() override;
  std::wstring localeText(std::uint32_t lcid, std::uint32_t type) override;
  std::wstring shortDate(const SystemTime& date) override;
};

}  // namespace hv::platform::win32
