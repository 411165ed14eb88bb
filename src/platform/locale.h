#pragma once
// Locale and language boundary.
#include <cstdint>
#include <optional>
#include <string>

namespace hv::platform {

class Locale {
 public:
  virtual ~Locale() = default;
  // The user's default interface language as a Windows LANGID.
  virtual std::uint16_t userDefaultUILanguage() = 0;
  // Regional date and time separators of the user ("/" and ":" in en-US).
  virtual std::wstring dateSeparator() = 0;
  virtual std::wstring timeSeparator() = 0;
  // The user's decimal separator ("." in en-US, "," in de-DE).
  virtual std::wstring decimalSeparator() = 0;
  // The system's ANSI code page, for files other programs wrote in it.
  virtual std::wstring fromAnsi(const std::string& bytes) = 0;
  // text in the OEM code page, the one cmd reads batch files in; nullopt
  // when a character has no exact counterpart there (no best fit: a
  // look-alike could mean something else to cmd).
  virtual std::optional<std::string> toOem(const std::wstring& text) = 0;
};

}  // namespace hv::platform
