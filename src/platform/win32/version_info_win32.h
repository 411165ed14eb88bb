#pragma once
// Version blocks through the Win32 version library, and system error texts.
#include "platform/version_info.h"

namespace hv::platform::win32 {

class Win32VersionInfo : public VersionInfo {
 public:
  std::uint32_t blockSize(const std::wstring& path, std::uint32_t* lastError) override;
  bool loadBlock(const std::wstring& path, std::uint32_t size, Block& block,
                 std::uint32_t* lastError) override;
  std::optional<std::vector<std::pair<std::uint16_t, std::uint16_t>>> translations(
      const Block& block, std::uint32_t* lastError) override;
  std::optional<std::wstring> queryString(const Block& block,
                                          const std::wstring& subBlock) override;
  std::optional<FixedFileVersion> fixedPart(const Block& block) override;
  std::wstring errorText(std::uint32_t code) override;
};

}  // namespace hv::platform::win32
