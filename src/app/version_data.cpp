#include "app/version_data.h"

#include <cstdio>
#include <cwchar>

#include "base/error.h"

namespace hv::app {
namespace {

[[noreturn]] void RaiseLastError(platform::VersionInfo& vi, std::uint32_t code) {
  throw Error(SystemErrorMessage(vi, code));
}

std::wstring Hex4(std::uint16_t v) {
  wchar_t buf[8];
  std::swprintf(buf, 8, L"%.4x", static_cast<unsigned>(v));
  return buf;
}

}  // namespace

std::wstring SystemErrorMessage(platform::VersionInfo& vi, std::uint32_t code) {
  // A failure that left no error code must not claim the call succeeded.
  if (code == 0) return L"A call to an OS function failed";
  return L"System Error.  Code: " + std::to_wstring(code) + L".\r\n" + vi.errorText(code);
}

TEXEVersionData ReadVersionData(platform::VersionInfo& vi, const std::wstring& path) {
  std::uint32_t lastError = 0;
  const std::uint32_t size = vi.blockSize(path, &lastError);
  if (size == 0) RaiseLastError(vi, lastError);
  platform::VersionInfo::Block block;
  if (!vi.loadBlock(path, size, block, &lastError)) RaiseLastError(vi, lastError);
  const auto translations = vi.translations(block, &lastError);
  if (!translations || translations->empty()) RaiseLastError(vi, lastError);

  const auto [language, codePage] = translations->front();
  const std::wstring prefix = L"\\StringFileInfo\\" + Hex4(language) + Hex4(codePage) + L"\\";
  TEXEVersionData d;
  const std::pair<std::wstring TEXEVersionData::*, const wchar_t*> fields[] = {
      {&TEXEVersionData::CompanyName, L"CompanyName"},
      {&TEXEVersionData::FileDescription, L"FileDescription"},
      {&TEXEVersionData::FileVersion, L"FileVersion"},
      {&TEXEVersionData::InternalName, L"InternalName"},
      {&TEXEVersionData::LegalCopyright, L"LegalCopyright"},
      {&TEXEVersionData::LegalTrademarks, L"LegalTrademarks"},
      {&TEXEVersionData::OriginalFileName, L"OriginalFileName"},
      {&TEXEVersionData::ProductName, L"ProductName"},
      {&TEXEVersionData::ProductVersion, L"ProductVersion"},
      {&TEXEVersionData::Comments, L"Comments"},
      {&TEXEVersionData::PrivateBuild, L"PrivateBuild"},
      {&TEXEVersionData::SpecialBuild, L"SpecialBuild"},
  };
  for (const auto& [field, key] : fields) {
    if (auto text = vi.queryString(block, prefix + key)) {
      d.*field = text->substr(0, std::wcslen(text->c_str()));
    }
  }
  return d;
}

std::wstring AppVersionOf(platform::VersionInfo& vi, const std::wstring& path) {
  std::uint32_t ms = 0xFFFFFFFFu;
  std::uint32_t lastError = 0;
  platform::VersionInfo::Block block;
  if (const std::uint32_t size = vi.blockSize(path, &lastError);
      size != 0 && vi.loadBlock(path, size, block, &lastError)) {
    if (const auto fixed = vi.fixedPart(block)) ms = fixed->fileVersionMS;
  }
  return std::to_wstring(ms >> 16) + L"." + std::to_wstring(ms & 0xFFFFu);
}

}  // namespace hv::app
