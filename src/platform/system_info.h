#pragma once
// Operating-system facts: the reported version, the machine's architecture,
// the workstation service's version and the product type checks.
#include <cstdint>
#include <optional>

namespace hv::platform {

// What the extended version query reports; all zero when it is refused.
struct ReportedVersion {
  std::int32_t major = 0;
  std::int32_t minor = 0;
  std::int32_t build = 0;
  std::int32_t servicePackMajor = 0;
  std::uint8_t productType = 0;  // 1: workstation
};

struct MajorMinor {
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
};

inline constexpr std::uint16_t kProcessorArchitectureAmd64 = 9;
inline constexpr std::uint8_t kProductTypeWorkstation = 1;

class SystemInfo {
 public:
  virtual ~SystemInfo() = default;
  virtual ReportedVersion reportedVersion() = 0;
  // The processor architecture of the machine, not of this process.
  virtual std::uint16_t nativeProcessorArchitecture() = 0;
  // The workstation service's platform version; nullopt when it can't be read.
  virtual std::optional<MajorMinor> workstationVersion() = 0;
  // Whether the version check says the product type is workstation.
  virtual bool verifyWorkstation() = 0;
  // Non-zero system metric SM_SERVERR2.
  virtual bool serverR2() = 0;
};

}  // namespace hv::platform
