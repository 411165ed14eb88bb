#pragma once
// The string and fixed parts of a program file's version block.
#include <string>

#include "platform/version_info.h"

namespace hv::app {

struct TEXEVersionData {
  std::wstring CompanyName, FileDescription, FileVersion, InternalName, LegalCopyright,
      LegalTrademarks, OriginalFileName, ProductName, ProductVersion, Comments, PrivateBuild,
      SpecialBuild;
};

// The twelve texts of the block's first translation; a key the block lacks
// stays empty. Throws hv::Error "System Error.  Code: N.\r\n<text>" when the
// file has no block, the block can't be loaded or it has no translation.
TEXEVersionData ReadVersionData(platform::VersionInfo& vi, const std::wstring& path);

// "major.minor" of the file version; "65535.65535" when the fixed part can't
// be read.
std::wstring AppVersionOf(platform::VersionInfo& vi, const std::wstring& path);

// The message of a failed platform call with the given last error.
std::wstring SystemErrorMessage(platform::VersionInfo& vi, std::uint32_t code);

}  // namespace hv::app
