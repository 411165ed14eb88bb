#include "platform/win32/profile_win32.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace hv::platform::win32 {

std::wstring Win32Profile::readString(const std::wstring& path, const std::wstring& section,
                                      const std::wstring& key, const std::wstring& fallback,
                                      std::size_t bufferChars) {
  if (bufferChars == 0) return {};
  std::vector<wchar_t> buf(bufferChars, L'\0');
  const DWORD n = GetPrivateProfileStringW(section.c_str(), key.c_str(), fallback.c_str(),
                                           buf.data(), static_cast<DWORD>(bufferChars),
                                           path.c_str());
  return std::wstring(buf.data(), std::min<std::size_t>(n, bufferChars - 1));
}

bool Win32Profile::writeString(const std::wstring& path, const std::wstring& section,
                               const std::wstring& key, const std::wstring& value) {
  return WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), path.c_str()) !=
         FALSE;
}

}  // namespace hv::platform::win32
