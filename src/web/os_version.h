#pragma once
// OsVersion: what the program tells the maker about the operating system,
// captured once at start and formatted as the "os=" field.
#include <cstdint>
#include <string>

#include "platform/system_info.h"
#include "platform/version_info.h"

namespace hv::web {

enum class Architecture { X86, X64 };

struct OsVersion {
  std::wstring platformName = L"Windows";
  std::int32_t major = 0;
  std::int32_t minor = 0;
  std::int32_t build = 0;
  std::int32_t servicePackMajor = 0;
  Architecture architecture = Architecture::X86;
};

// The product-type facts the name table asks about.
struct ProductFacts {
  std::uint8_t reportedProductType = 0;  // from the extended version query
  bool verifiedWorkstation = false;      // the version check's verdict
  bool serverR2 = false;
};

// The platform name for a major.minor version; "Windows" without a row.
std::wstring PlatformName(std::int32_t major, std::int32_t minor, Architecture architecture,
                          const ProductFacts& facts);

// Queries the version, the architecture and, above 6.1, the version of
// kernel32.dll (or of the workstation service), then names the platform.
OsVersion CaptureOsVersion(platform::SystemInfo& system, platform::VersionInfo& versions);

// "Windows 10 (Version 10.0, Build 19041, 64-bit Edition)", with
// " Service Pack N" after the name when one is installed.
std::wstring OsDescription(const OsVersion& os);

// The run's OsVersion. Owner: the UI thread at start, before the update
// check's thread exists, which takes its description with it.
void SetOsVersion(OsVersion os);
const OsVersion& CurrentOsVersion();
std::wstring OsDescription();

}  // namespace hv::web
