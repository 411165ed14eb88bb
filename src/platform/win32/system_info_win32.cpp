#include "platform/win32/system_info_win32.h"

#include <windows.h>
// After <windows.h>, whose types it uses.
#include <lm.h>

namespace hv::platform::win32 {

ReportedVersion Win32SystemInfo::reportedVersion() {
  OSVERSIONINFOEXW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  static_assert(sizeof(OSVERSIONINFOEXW) == 284);
  ReportedVersion v;
  if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info))) return v;
  v.major = static_cast<std::int32_t>(info.dwMajorVersion);
  v.minor = static_cast<std::int32_t>(info.dwMinorVersion);
  v.build = static_cast<std::int32_t>(info.dwBuildNumber);
  v.servicePackMajor = info.wServicePackMajor;
  v.productType = info.wProductType;
  return v;
}

std::uint16_t Win32SystemInfo::nativeProcessorArchitecture() {
  SYSTEM_INFO info{};
  GetNativeSystemInfo(&info);
  return info.wProcessorArchitecture;
}

std::optional<MajorMinor> Win32SystemInfo::workstationVersion() {
  LPBYTE buffer = nullptr;
  if (NetWkstaGetInfo(nullptr, 100, &buffer) != NERR_Success || !buffer) {
    if (buffer) NetApiBufferFree(buffer);
    return std::nullopt;
  }
  const auto* info = reinterpret_cast<const WKSTA_INFO_100*>(buffer);
  const MajorMinor version{info->wki100_ver_major, info->wki100_ver_minor};
  NetApiBufferFree(buffer);
  return version;
}

bool Win32SystemInfo::verifyWorkstation() {
  OSVERSIONINFOEXW wanted{};
  wanted.dwOSVersionInfoSize = sizeof(wanted);
  wanted.wProductType = VER_NT_WORKSTATION;
  const DWORDLONG mask = VerSetConditionMask(0, VER_PRODUCT_TYPE, VER_EQUAL);
  return VerifyVersionInfoW(&wanted, VER_PRODUCT_TYPE, mask) != FALSE;
}

bool Win32SystemInfo::serverR2() {
  return GetSystemMetrics(SM_SERVERR2) != 0;
}

}  // namespace hv::platform::win32
