#pragma once
// A version block described field by field. Each failure can be switched on
// with the error code the platform would report.
#include <cwchar>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/version_info.h"

namespace hv::test {

class FakeVersionInfo : public platform::VersionInfo {
 public:
  // Non-zero: the step fails with this code.
  std::uint32_t sizeError = 0;
  std::uint32_t loadError = 0;
  std::uint32_t translationError = 0;
  std::vector<std::pair<std::uint16_t, std::uint16_t>> translationTable = {{0x0409, 0x04E4}};
  // Full sub-block path to text, e.g. L"\\StringFileInfo\\040904e4\\CompanyName".
  std::map<std::wstring, std::wstring> strings;
  std::optional<platform::FixedFileVersion> fixed;
  std::map<std::uint32_t, std::wstring> errorTexts = {
      {2, L"The system cannot find the file specified"},
      {1813, L"The specified resource type cannot be found in the image file"}};
  std::vector<std::wstring> queried;

  // Fills strings for the first translation's prefix.
  void setString(const std::wstring& key, const std::wstring& text) {
    wchar_t prefix[32];
    std::swprintf(prefix, 32, L"\\StringFileInfo\\%.4x%.4x\\", translationTable.at(0).first,
                  translationTable.at(0).second);
    strings[prefix + key] = text;
  }
  static platform::FixedFileVersion version(unsigned a, unsigned b, unsigned c, unsigned d) {
    return {(a << 16) | b, (c << 16) | d, (a << 16) | b, (c << 16) | d};
  }

  std::uint32_t blockSize(const std::wstring&, std::uint32_t* lastError) override {
    if (sizeError == 0) return 64;
    *lastError = sizeError;
    return 0;
  }
  bool loadBlock(const std::wstring&, std::uint32_t size, Block& block,
                 std::uint32_t* lastError) override {
    if (loadError == 0) {
      block.bytes.assign(size, 0);
      return true;
    }
    *lastError = loadError;
    return false;
  }
  std::optional<std::vector<std::pair<std::uint16_t, std::uint16_t>>> translations(
      const Block&, std::uint32_t* lastError) override {
    if (translationError == 0) return translationTable;
    *lastError = translationError;
    return std::nullopt;
  }
  std::optional<std::wstring> queryString(const Block&, const std::wstring& subBlock) override {
    queried.push_back(subBlock);
    const auto it = strings.find(subBlock);
    if (it == strings.end()) return std::nullopt;
    return it->second;
  }
  std::optional<platform::FixedFileVersion> fixedPart(const Block&) override { return fixed; }
  std::wstring errorText(std::uint32_t code) override {
    const auto it = errorTexts.find(code);
    return it == errorTexts.end() ? L"Unknown error" : it->second;
  }
};

}  // namespace hv::test
