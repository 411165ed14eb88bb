#include "web/os_version.h"

#include <optional>

namespace hv::web {
namespace {

bool AtLeast(std::int32_t major, std::int32_t minor, std::int32_t wantMajor,
             std::int32_t wantMinor) {
  return major > wantMajor || (major == wantMajor && minor >= wantMinor);
}

std::optional<platform::FixedFileVersion> KernelVersion(platform::VersionInfo& versions) {
  const std::wstring path = L"kernel32.dll";
  std::uint32_t lastError = 0;
  const std::uint32_t size = versions.blockSize(path, &lastError);
  if (size == 0) return std::nullopt;
  platform::VersionInfo::Block block;
  if (!versions.loadBlock(path, size, block, &lastError)) return std::nullopt;
  return versions.fixedPart(block);
}

}  // namespace

std::wstring PlatformName(std::int32_t major, std::int32_t minor, Architecture architecture,
                          const ProductFacts& facts) {
  const bool workstation = facts.reportedProductType == platform::kProductTypeWorkstation;
  auto is = [&](std::int32_t a, std::int32_t b) { return major == a && minor == b; };
  if (is(5, 0)) return L"Windows 2000";
  if (is(5, 1)) return L"Windows XP";
  if (is(5, 2)) {
    if (workstation && architecture == Architecture::X64) return L"Windows XP";
    return facts.serverR2 ? L"Windows Server 2003 R2" : L"Windows Server 2003";
  }
  if (is(6, 0)) return workstation ? L"Windows Vista" : L"Windows Server 2008";
  if (is(6, 1)) return workstation ? L"Windows 7" : L"Windows Server 2008 R2";
  if (is(6, 2)) return workstation ? L"Windows 8" : L"Windows Server 2012";
  if (is(6, 3)) return facts.verifiedWorkstation ? L"Windows 8.1" : L"Windows Server 2012 R2";
  if (is(10, 0)) return facts.verifiedWorkstation ? L"Windows 10" : L"Windows Server 2016";
  return L"Windows";
}

OsVersion CaptureOsVersion(platform::SystemInfo& system, platform::VersionInfo& versions) {
  const platform::ReportedVersion reported = system.reportedVersion();
  OsVersion os;
  os.major = reported.major;
  os.minor = reported.minor;
  os.build = reported.build;
  os.servicePackMajor = reported.servicePackMajor;

  if (AtLeast(os.major, os.minor, 5, 1))
    os.architecture = system.nativeProcessorArchitecture() == platform::kProcessorArchitectureAmd64
                          ? Architecture::X64
                          : Architecture::X86;

  // Above 6.1 the reported version may be what the program's manifest lets
  // it see rather than the truth; the system's own files know better.
  if (os.major > 6 || (os.major == 6 && os.minor > 1)) {
    if (const auto kernel = KernelVersion(versions)) {
      os.major = static_cast<std::int32_t>(kernel->productVersionMS >> 16);
      os.minor = static_cast<std::int32_t>(kernel->productVersionMS & 0xFFFF);
      os.build = static_cast<std::int32_t>(kernel->productVersionLS >> 16);
    } else if (const auto service = system.workstationVersion()) {
      os.major = static_cast<std::int32_t>(service->major);
      os.minor = static_cast<std::int32_t>(service->minor);
    }
  }

  ProductFacts facts;
  facts.reportedProductType = reported.productType;
  if (os.major == 5 && os.minor == 2) facts.serverR2 = system.serverR2();
  if ((os.major == 6 && os.minor == 3) || (os.major == 10 && os.minor == 0))
    facts.verifiedWorkstation = system.verifyWorkstation();
  os.platformName = PlatformName(os.major, os.minor, os.architecture, facts);
  return os;
}

std::wstring OsDescription(const OsVersion& os) {
  const wchar_t* edition =
      os.architecture == Architecture::X64 ? L"64-bit Edition" : L"32-bit Edition";
  const std::wstring numbers = L"(Version " + std::to_wstring(os.major) + L"." +
                               std::to_wstring(os.minor) + L", Build " + std::to_wstring(os.build) +
                               L", " + edition + L")";
  std::wstring text = os.platformName;
  if (os.servicePackMajor != 0) text += L" Service Pack " + std::to_wstring(os.servicePackMajor);
  return text + L" " + numbers;
}

namespace {

OsVersion& Current() {
  static OsVersion os;
  return os;
}

}  // namespace

void SetOsVersion(OsVersion os) {
  Current() = std::move(os);
}

const OsVersion& CurrentOsVersion() {
  return Current();
}

std::wstring OsDescription() {
  return OsDescription(CurrentOsVersion());
}

}  // namespace hv::web
