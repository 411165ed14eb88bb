#include "platform/win32/files_win32.h"

#include <shlobj.h>
#include <windows.h>

#include <algorithm>

#include "platform/win32/kernel_handle.h"

namespace hv::platform::win32 {
namespace {

wchar_t AsciiLower(wchar_t c) {
  return (c >= L'A' && c <= L'Z') ? c - L'A' + L'a' : c;
}

bool EndsWithIgnoringCase(const std::wstring& name, const std::wstring& suffix) {
  if (name.size() < suffix.size()) return false;
  const std::size_t offset = name.size() - suffix.size();
  for (std::size_t i = 0; i < suffix.size(); ++i) {
    if (AsciiLower(name[offset + i]) != AsciiLower(suffix[i])) return false;
  }
  return true;
}

struct FindTraits {
  using Handle = HANDLE;
  static HANDLE empty() { return INVALID_HANDLE_VALUE; }
  static void free(HANDLE h) { FindClose(h); }
};
using FindHandle = UniqueHandle<FindTraits>;

bool WriteAll(HANDLE h, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
    DWORD written = 0;
    if (!WriteFile(h, bytes.data() + done, chunk, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}

// True when path, or a folder on the way to it, is a junction or a symbolic
// link. The attributes are the link's own, even when its target is missing.
bool ThroughLink(const std::wstring& path) {
  std::wstring at = path;
  for (;;) {
    const DWORD a = GetFileAttributesW(at.c_str());
    if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return true;
    const std::wstring up = FolderWithoutSeparator(at, L'\\');
    if (up.empty() || up == at) return false;
    at = up;
  }
}

}  // namespace

std::wstring ModuleFileName() {
  std::wstring buf(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return {};
    if (n < buf.size()) {
      buf.resize(n);
      return buf;
    }
    buf.resize(buf.size() * 2);
  }
}

bool AppendToFile(const std::wstring& path, const std::string& bytes) {
  KernelHandle h(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
  return h && WriteAll(h.get(), bytes);
}

std::wstring Win32Files::moduleFileName() {
  return ModuleFileName();
}

bool Win32Files::createProbeFile(const std::wstring& path) {
  KernelHandle h(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_FLAG_DELETE_ON_CLOSE | FILE_ATTRIBUTE_TEMPORARY, nullptr));
  return static_cast<bool>(h);
}

std::wstring Win32Files::systemFolder() {
  wchar_t buf[MAX_PATH] = {};
  const UINT n = GetSystemDirectoryW(buf, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::wstring(buf, n) : std::wstring();
}

std::wstring Win32Files::roamingAppDataFolder() {
  wchar_t buf[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, buf))) return {};
  return buf;
}

void Win32Files::createDirectory(const std::wstring& path) {
  CreateDirectoryW(path.c_str(), nullptr);
}

bool Win32Files::directoryExists(const std::wstring& path) {
  const DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Win32Files::fileExists(const std::wstring& path) {
  const DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::vector<std::wstring> Win32Files::listFiles(const std::wstring& folder,
                                                const std::wstring& suffix) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data{};
  const std::wstring pattern = WithTrailingSeparator(folder, L'\\') + L"*" + suffix;
  FindHandle find(FindFirstFileW(pattern.c_str(), &data));
  if (!find) return names;
  do {
    const std::wstring name = data.cFileName;
    // The pattern also matches short 8.3 aliases; only the long name counts.
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
        EndsWithIgnoringCase(name, suffix)) {
      names.push_back(name);
    }
  } while (FindNextFileW(find.get(), &data));
  return names;
}

std::optional<std::string> Win32Files::readFile(const std::wstring& path) {
  KernelHandle h(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h) return std::nullopt;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(h.get(), &size) || size.QuadPart < 0 || size.QuadPart > (1ll << 30)) {
    return std::nullopt;
  }
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD got = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
    if (!ReadFile(h.get(), bytes.data() + done, chunk, &got, nullptr)) return std::nullopt;
    if (got == 0) break;  // the file shrank meanwhile
    done += got;
  }
  bytes.resize(done);
  return bytes;
}

bool Win32Files::writeFile(const std::wstring& path, const std::string& bytes) {
  if (ThroughLink(path)) return false;
  // The link itself is opened, never what it names, so one planted after the
  // check is still seen below. A second hard link would carry the write to
  // another name.
  KernelHandle h(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!h) return false;
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(h.get(), &info) ||
      (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0 ||
      info.nNumberOfLinks > 1) {
    return false;
  }
  return SetEndOfFile(h.get()) && WriteAll(h.get(), bytes);
}

}  // namespace hv::platform::win32
