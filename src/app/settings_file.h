#pragma once
// settings.ini, section "Settings". Holds only the path: every read and
// write goes straight to the profile functions, so there is no save step.
#include <optional>
#include <string>

#include "platform/profile.h"

namespace hv::app {

inline constexpr wchar_t kSettingsFileName[] = L"settings.ini";

class SettingsFile {
 public:
  SettingsFile(platform::ProfileFile& profile, std::wstring path);
  const std::wstring& path() const { return path_; }

  std::wstring languageFile();      // empty: choose the language automatically
  std::wstring server();            // empty: keep the first preset
  bool daylight();                  // ticked only for the integer 1
  bool automaticallySynchronize();  // exactly "ON"

  // Each write throws hv::Error "Unable to write to <path>" when refused.
  void setLanguageFile(const std::wstring& name);
  void setServer(const std::wstring& text);
  void setDaylight(bool on);
  void setAutomaticallySynchronize(bool on);

 private:
  std::wstring read(const wchar_t* key);
  void write(const wchar_t* key, const std::wstring& value);

  platform::ProfileFile* profile_;
  std::wstring path_;
};

// A profile integer: optional sign, then decimal digits or "0x" and hex
// digits; nullopt for anything else, including values beyond 32 bits.
std::optional<int> ParseProfileInteger(const std::wstring& text);

}  // namespace hv::app
