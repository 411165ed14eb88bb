#pragma once
// The user's language and regional settings, and the ANSI and OEM code pages.
#include "platform/locale.h"

namespace hv::platform::win32 {

class Win32Locale : public Locale {
 public:
  std::uint16_t userDefaultUILanguage() override;
  std::wstring dateSeparator() override;
  std::wstring timeSeparator() override;
  std::wstring decimalSeparator() override;
  std::wstring fromAnsi(const std::string& bytes) override;
  std::optional<std::string> toOem(const std::wstring& text) override;
};

}  // namespace hv::platform::win32
