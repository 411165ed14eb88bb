#pragma once
// Version, architecture and product-type queries.
#include "platform/system_info.h"

namespace hv::platform::win32 {

class Win32SystemInfo : public SystemInfo {
 public:
  ReportedVersion reportedVersion() override;
  std::uint16_t nativeProcessorArchitecture() override;
  std::optional<MajorMinor> workstationVersion() override;
  bool verifyWorkstation() override;
  bool serverR2() override;
};

}  // namespace hv::platform::win32
