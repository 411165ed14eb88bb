#pragma once
// The user's language and regional settings, and the ANSI code page.
#include "platform/locale.h"

namespace hv::platform::win32 {

class Win32Locale : public Locale {
 public:
  std::uint16_t userDefaultUILanguage() override;
  std::wstring dateSeparator() override;
  std::wstring timeSeparator() override;
  std::wstring decimalSeparator() override;
  std::string toAnsi(const std::wstring& text) override;
  std::wstring fromAnsi(const std::string& bytes) override;
};

}  // namespace hv::platform::win32
