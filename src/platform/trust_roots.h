#pragma once
// The certificates a TLS peer may chain to: the system's root store on
// Windows. Nothing else adds to it, so no setting can make a certificate
// trusted.
#include <cstdint>
#include <vector>

namespace hv::platform {

class TrustRoots {
 public:
  virtual ~TrustRoots() = default;
  // Each root as DER; read when first needed.
  virtual std::vector<std::vector<std::uint8_t>> rootsDer() = 0;
};

}  // namespace hv::platform
