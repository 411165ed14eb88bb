#pragma once
// A fixed locale: English (United States) separators, Latin-1 as the ANSI
// and the OEM code page (characters beyond it can't be written in it).
#include <string>

#include "platform/locale.h"

namespace hv::test {

class FakeLocale : public platform::Locale {
 public:
  std::uint16_t uiLanguage = 1033;
  std::wstring date = L"/";
  std::wstring time = L":";
  std::wstring decimal = L".";

  std::uint16_t userDefaultUILanguage() override { return uiLanguage; }
  std::wstring dateSeparator() override { return date; }
  std::wstring timeSeparator() override { return time; }
  std::wstring decimalSeparator() override { return decimal; }
  std::optional<std::string> toOem(const std::wstring& text) override {
    std::string out;
    for (wchar_t c : text) {
      if (static_cast<unsigned>(c) > 0xFF) return std::nullopt;
      out.push_back(static_cast<char>(c));
    }
    return out;
  }
  std::wstring fromAnsi(const std::string& bytes) override {
    std::wstring out;
    for (char c : bytes) out.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    return out;
  }
};

}  // namespace hv::test
