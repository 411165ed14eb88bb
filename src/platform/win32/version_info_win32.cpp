#include "platform/win32/version_info_win32.h"

#include <windows.h>

#include <cwchar>
#include <memory>

namespace hv::platform::win32 {
namespace {

bool Query(const VersionInfo::Block& block, const wchar_t* subBlock, void** data, UINT* len) {
  *data = nullptr;
  *len = 0;
  return !block.bytes.empty() && VerQueryValueW(block.bytes.data(), subBlock, data, len) &&
         *data != nullptr;
}

struct LocalFreeDeleter {
  void operator()(wchar_t* p) const { LocalFree(p); }
};

}  // namespace

std::uint32_t Win32VersionInfo::blockSize(const std::wstring& path, std::uint32_t* lastError) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0 && lastError) *lastError = GetLastError();
  return size;
}

bool Win32VersionInfo::loadBlock(const std::wstring& path, std::uint32_t size, Block& block,
                                 std::uint32_t* lastError) {
  block.bytes.assign(size, 0);
  if (size != 0 && GetFileVersionInfoW(path.c_str(), 0, size, block.bytes.data())) return true;
  if (lastError) *lastError = GetLastError();
  block.bytes.clear();
  return false;
}

std::optional<std::vector<std::pair<std::uint16_t, std::uint16_t>>> Win32VersionInfo::translations(
    const Block& block, std::uint32_t* lastError) {
  void* data = nullptr;
  UINT len = 0;
  SetLastError(ERROR_SUCCESS);
  if (!Query(block, L"\\VarFileInfo\\Translation\\", &data, &len)) {
    if (lastError) *lastError = GetLastError();
    return std::nullopt;
  }
  std::vector<std::pair<std::uint16_t, std::uint16_t>> pairs;
  const auto* words = static_cast<const WORD*>(data);
  for (UINT i = 0; i + 1 < len / sizeof(WORD); i += 2) pairs.emplace_back(words[i], words[i + 1]);
  return pairs;
}

std::optional<std::wstring> Win32VersionInfo::queryString(const Block& block,
                                                          const std::wstring& subBlock) {
  void* data = nullptr;
  UINT len = 0;
  if (!Query(block, subBlock.c_str(), &data, &len)) return std::nullopt;
  const auto* text = static_cast<const wchar_t*>(data);
  return std::wstring(text, wcsnlen(text, len));
}

std::optional<FixedFileVersion> Win32VersionInfo::fixedPart(const Block& block) {
  void* data = nullptr;
  UINT len = 0;
  if (!Query(block, L"\\", &data, &len) || len < sizeof(VS_FIXEDFILEINFO)) return std::nullopt;
  const auto* info = static_cast<const VS_FIXEDFILEINFO*>(data);
  if (info->dwSignature != 0xFEEF04BD) return std::nullopt;
  return FixedFileVersion{info->dwFileVersionMS, info->dwFileVersionLS, info->dwProductVersionMS,
                          info->dwProductVersionLS};
}

std::wstring Win32VersionInfo::errorText(std::uint32_t code) {
  wchar_t* raw = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&raw), 0, nullptr);
  std::unique_ptr<wchar_t, LocalFreeDeleter> owned(raw);
  if (n == 0 || !raw) return {};
  std::wstring text(raw, n);
  while (!text.empty() && (text.back() <= L' ' || text.back() == L'.')) text.pop_back();
  return text;
}

}  // namespace hv::platform::win32
