#include "platform/win32/locale_win32.h"

#include <windows.h>

#include <climits>

namespace hv::platform::win32 {
namespace {

std::wstring LocaleText(LCTYPE type, const wchar_t* fallback) {
  const int n = GetLocaleInfoW(LOCALE_USER_DEFAULT, type, nullptr, 0);
  if (n <= 0) return fallback;
  std::wstring text(static_cast<std::size_t>(n), L'\0');
  const int got = GetLocaleInfoW(LOCALE_USER_DEFAULT, type, text.data(), n);
  if (got <= 0) return fallback;
  text.resize(static_cast<std::size_t>(got - 1));
  return text;
}

}  // namespace

std::uint16_t Win32Locale::userDefaultUILanguage() {
  return GetUserDefaultUILanguage();
}

std::wstring Win32Locale::dateSeparator() {
  return LocaleText(LOCALE_SDATE, L"/");
}

std::wstring Win32Locale::timeSeparator() {
  return LocaleText(LOCALE_STIME, L":");
}

std::wstring Win32Locale::decimalSeparator() {
  return LocaleText(LOCALE_SDECIMAL, L".");
}

std::optional<std::string> Win32Locale::toOem(const std::wstring& text) {
  if (text.empty()) return std::string();
  if (text.size() > INT_MAX) return std::nullopt;
  const UINT page = GetOEMCP();
  const int len = static_cast<int>(text.size());
  DWORD flags = WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* used = &usedDefault;
  int n = WideCharToMultiByte(page, flags, text.data(), len, nullptr, 0, nullptr, used);
  if (n <= 0 && GetLastError() == ERROR_INVALID_PARAMETER) {
    // UTF-8 and a few other pages take neither the flag nor the check; the
    // round trip below catches what they would change.
    flags = 0;
    used = nullptr;
    n = WideCharToMultiByte(page, flags, text.data(), len, nullptr, 0, nullptr, used);
  }
  if (n <= 0 || usedDefault) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(n), '\0');
  if (WideCharToMultiByte(page, flags, text.data(), len, bytes.data(), n, nullptr, used) != n ||
      usedDefault) {
    return std::nullopt;
  }
  const int back = MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, bytes.data(), n, nullptr, 0);
  if (back != len) return std::nullopt;
  std::wstring again(static_cast<std::size_t>(back), L'\0');
  MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, bytes.data(), n, again.data(), back);
  if (again != text) return std::nullopt;
  return bytes;
}

std::wstring Win32Locale::fromAnsi(const std::string& bytes) {
  if (bytes.empty() || bytes.size() > INT_MAX) return {};
  const int len = static_cast<int>(bytes.size());
  const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), len, nullptr, 0);
  if (n <= 0) return {};
  std::wstring text(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), len, text.data(), n);
  return text;
}

}  // namespace hv::platform::win32
