#include "app/settings_file.h"

#include <cstdint>
#include <utility>

#include "base/error.h"

namespace hv::app {
namespace {

constexpr wchar_t kSection[] = L"Settings";
// Values longer than 2047 characters are cut to that length.
constexpr std::size_t kValueBufferChars = 2048;

int DigitValue(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

}  // namespace

std::optional<int> ParseProfileInteger(const std::wstring& text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
  int base = 10;
  if (i + 1 < text.size() && text[i] == L'0' && (text[i + 1] == L'x' || text[i + 1] == L'X')) {
    base = 16;
    i += 2;
  }
  if (i == text.size()) return std::nullopt;
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    const int d = DigitValue(text[i]);
    if (d < 0 || d >= base) return std::nullopt;
    value = value * base + d;
    if (value > 0xFFFFFFFFll) return std::nullopt;
  }
  if (negative) value = -value;
  // Hexadecimal spells the 32-bit pattern, so 0xFFFFFFFF is -1.
  if (base == 16 && value > 0x7FFFFFFFll) value -= 0x100000000ll;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<int>(value);
}

SettingsFile::SettingsFile(platform::ProfileFile& profile, std::wstring path)
    : profile_(&profile), path_(std::move(path)) {}

std::wstring SettingsFile::read(const wchar_t* key) {
  return profile_->readString(path_, kSection, key, L"", kValueBufferChars);
}

void SettingsFile::write(const wchar_t* key, const std::wstring& value) {
  if (!profile_->writeString(path_, kSection, key, value)) {
    throw Error(L"Unable to write to " + path_);
  }
}

std::wstring SettingsFile::languageFile() {
  return read(L"LanguageFile");
}
std::wstring SettingsFile::server() {
  return read(L"Server");
}
bool SettingsFile::daylight() {
  return ParseProfileInteger(read(L"Daylight")).value_or(0) == 1;
}
bool SettingsFile::automaticallySynchronize() {
  return read(L"AutomaticallySynchronize") == L"ON";
}

void SettingsFile::setLanguageFile(const std::wstring& name) {
  write(L"LanguageFile", name);
}
void SettingsFile::setServer(const std::wstring& text) {
  write(L"Server", text);
}
void SettingsFile::setDaylight(bool on) {
  write(L"Daylight", on ? L"1" : L"0");
}
void SettingsFile::setAutomaticallySynchronize(bool on) {
  write(L"AutomaticallySynchronize", on ? L"ON" : L"OFF");
}

}  // namespace hv::app
