#include "platform/win32/locale_info_win32.h"

#include <windows.h>

#include <mutex>

namespace hv::platform::win32 {
namespace {

// EnumSystemLocalesW's callback has no context argument; the mutex keeps
// two enumerations from sharing the list.
std::mutex gEnumMutex;
std::vector<std::wstring>* gEnumTarget = nullptr;

BOOL CALLBACK CollectLocale(LPWSTR text) {
  if (gEnumTarget && text) gEnumTarget->emplace_back(text);
  return TRUE;
}

}  // namespace

std::uint32_t Win32LocaleInfo::threadLocale() {
  return GetThreadLocale();
}

void Win32LocaleInfo::useUserDefaultLocale() {
  SetThreadLocale(LOCALE_USER_DEFAULT);
}

std::vector<std::wstring> Win32LocaleInfo::supportedLocales() {
  std::vector<std::wstring> list;
  std::lock_guard lock(gEnumMutex);
  gEnumTarget = &list;
  EnumSystemLocalesW(CollectLocale, LCID_SUPPORTED);
  gEnumTarget = nullptr;
  return list;
}

std::wstring Win32LocaleInfo::localeText(std::uint32_t lcid, std::uint32_t type) {
  wchar_t buffer[1024];
  const int n = GetLocaleInfoW(lcid, type, buffer, 1024);
  if (n <= 1) return {};
  return std::wstring(buffer, static_cast<std::size_t>(n - 1));
}

std::wstring Win32LocaleInfo::shortDate(const SystemTime& date) {
  SYSTEMTIME s{};
  s.wYear = date.year;
  s.wMonth = date.month;
  s.wDay = date.day;
  s.wDayOfWeek = date.dayOfWeek;
  wchar_t buffer[128];
  const int n = GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &s, nullptr, buffer, 128);
  if (n <= 1) return {};
  return std::wstring(buffer, static_cast<std::size_t>(n - 1));
}

}  // namespace hv::platform::win32
