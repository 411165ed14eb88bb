#pragma once
// The roots of the system's "ROOT" certificate store, for OpenSSL, which
// cannot read the store itself.
#include "platform/trust_roots.h"

namespace hv::platform {

class Win32TrustRoots : public TrustRoots {
 public:
  std::vector<std::vector<std::uint8_t>> rootsDer() override;
};

}  // namespace hv::platform
