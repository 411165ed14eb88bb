#pragma once
// Operating-system facts as a test sets them.
#include <optional>

#include "platform/system_info.h"

namespace hv::test {

class FakeSystemInfo : public platform::SystemInfo {
 public:
  platform::ReportedVersion reported{10, 0, 19041, 0, 1};
  std::uint16_t architecture = platform::kProcessorArchitectureAmd64;
  std::optional<platform::MajorMinor> workstation;
  bool workstationVerified = true;
  bool r2 = false;
  int architectureQueries = 0;

  platform::ReportedVersion reportedVersion() override { return reported; }
  std::uint16_t nativeProcessorArchitecture() override {
    ++architectureQueries;
    return architecture;
  }
  std::optional<platform::MajorMinor> workstationVersion() override { return workstation; }
  bool verifyWorkstation() override { return workstationVerified; }
  bool serverR2() override { return r2; }
};

}  // namespace hv::test
