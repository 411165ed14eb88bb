#pragma once
// A small locale table: enumeration texts and the names of each LCID.
#include <map>
#include <string>
#include <vector>

#include "platform/locale_info.h"

namespace hv::test {

class FakeLocaleInfo : public platform::LocaleInfo {
 public:
  struct Names {
    std::wstring language, abbreviation, iso639, iso3166;
  };
  std::uint32_t thread = 0x0409;
  std::uint32_t userDefault = 0x0409;
  std::vector<std::wstring> enumerated{L"00000409", L"00000407", L"0000040C"};
  std::map<std::uint32_t, Names> names{{0x0409, {L"English (United States)", L"ENU", L"en", L"US"}},
                                       {0x0407, {L"German (Germany)", L"DEU", L"de", L"DE"}},
                                       {0x040C, {L"French (France)", L"FRA", L"fr", L"FR"}}};
  int enumerations = 0;

  std::uint32_t threadLocale() override { return thread; }
  void useUserDefaultLocale() override { thread = userDefault; }
  std::vector<std::wstring> supportedLocales() override {
    ++enumerations;
    return enumerated;
  }
  std::wstring localeText(std::uint32_t lcid, std::uint32_t type) override {
    const auto it = names.find(lcid);
    if (it == names.end()) return {};
    switch (type) {
      case platform::lc::kLanguageName:
        return it->second.language;
      case platform::lc::kAbbrevLanguage:
        return it->second.abbreviation;
      case platform::lc::kIso639Language:
        return it->second.iso639;
      case platform::lc::kIso3166Country:
        return it->second.iso3166;
    }
    return {};
  }
  std::wstring shortDate(const platform::SystemTime& d) override {
    return std::to_wstring(d.month) + L"/" + std::to_wstring(d.day) + L"/" +
           std::to_wstring(d.year);
  }
};

}  // namespace hv::test
