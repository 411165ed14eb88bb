#pragma once
// Version-block boundary: load a file's version resource and query its parts.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace hv::platform {

struct FixedFileVersion {
  std::uint32_t fileVersionMS = 0;
  std::uint32_t fileVersionLS = 0;
  std::uint32_t productVersionMS = 0;
  std::uint32_t productVersionLS = 0;
};

class VersionInfo {
 public:
  virtual ~VersionInfo() = default;
  // The loaded block stays valid for the query calls below. Each call
  // returns the platform's last error code on failure.
  struct Block {
    std::vector<std::uint8_t> bytes;
  };
  // Size of the block; 0 on failure, with *lastError set.
  virtual std::uint32_t blockSize(const std::wstring& path, std::uint32_t* lastError) = 0;
  // Loads size bytes of the block (size as blockSize gave it) into block.
  virtual bool loadBlock(const std::wstring& path, std::uint32_t size, Block& block,
                         std::uint32_t* lastError) = 0;
  // "\VarFileInfo\Translation\": pairs of (language, code page); nullopt,
  // with *lastError set, when the block has none.
  virtual std::optional<std::vector<std::pair<std::uint16_t, std::uint16_t>>> translations(
      const Block& block, std::uint32_t* lastError) = 0;
  // A string sub-block such as "\StringFileInfo\040904e4\CompanyName".
  virtual std::optional<std::wstring> queryString(const Block& block,
                                                  const std::wstring& subBlock) = 0;
  virtual std::optional<FixedFileVersion> fixedPart(const Block& block) = 0;
  // The platform's text for an error code, without a trailing full stop or
  // line break.
  virtual std::wstring errorText(std::uint32_t code) = 0;
};

}  // namespace hv::platform
