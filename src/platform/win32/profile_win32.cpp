#include "platform/win32/profile_win32.h"

#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/files_win32.h"

namespace hv::platform::win32 {
namespace {

// True when the ANSI code page holds every character of text exactly.
bool FitsAnsi(const std::wstring& text) {
  if (text.empty() || GetACP() == CP_UTF8) return true;
  BOOL lost = FALSE;
  const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(),
                                    static_cast<int>(text.size()), nullptr, 0, nullptr, &lost);
  return n > 0 && !lost;
}

// A profile file in the ANSI code page turns every character that page lacks
// into "?". Before such a character is written the file becomes UTF-16 with
// a byte-order mark, which the profile functions read and keep writing; a
// file that never needs it stays plain ANSI text.
void MakeUnicode(const std::wstring& path) {
  Win32Files files;
  const std::optional<std::string> bytes = files.readFile(path);
  std::wstring text;
  if (bytes) {
    const auto starts = [&](std::string_view mark) { return bytes->starts_with(mark); };
    // Already Unicode: UTF-16 either way round, or UTF-8 with its mark.
    if (starts("\xFF\xFE") || starts("\xFE\xFF") || starts("\xEF\xBB\xBF")) return;
    if (!bytes->empty()) {
      const int size = static_cast<int>(bytes->size());
      const int n = MultiByteToWideChar(CP_ACP, 0, bytes->data(), size, nullptr, 0);
      if (n <= 0) return;
      text.assign(static_cast<std::size_t>(n), L'\0');
      if (MultiByteToWideChar(CP_ACP, 0, bytes->data(), size, text.data(), n) != n) return;
    }
  } else if (files.fileExists(path)) {
    return;  // there but unreadable: leave it to the profile functions
  }
  std::string unicode = "\xFF\xFE";
  for (const wchar_t c : text) {
    unicode += static_cast<char>(c & 0xFF);
    unicode += static_cast<char>((c >> 8) & 0xFF);
  }
  files.writeFile(path, unicode);
}

}  // namespace

std::wstring Win32Profile::readString(const std::wstring& path, const std::wstring& section,
                                      const std::wstring& key, const std::wstring& fallback,
                                      std::size_t bufferChars) {
  if (bufferChars == 0) return {};
  std::vector<wchar_t> buf(bufferChars, L'\0');
  const DWORD n =
      GetPrivateProfileStringW(section.c_str(), key.c_str(), fallback.c_str(), buf.data(),
                               static_cast<DWORD>(bufferChars), path.c_str());
  return std::wstring(buf.data(), std::min<std::size_t>(n, bufferChars - 1));
}

bool Win32Profile::writeString(const std::wstring& path, const std::wstring& section,
                               const std::wstring& key, const std::wstring& value) {
  if (!FitsAnsi(section) || !FitsAnsi(key) || !FitsAnsi(value)) MakeUnicode(path);
  return WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), path.c_str()) !=
         FALSE;
}

}  // namespace hv::platform::win32
