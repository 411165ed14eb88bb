#pragma once
// The system's preferred cryptographic generator (BCryptGenRandom).
#include "platform/random.h"

namespace hv::platform::win32 {

class Win32Random : public Random {
 public:
  void fill(std::span<std::uint8_t> bytes) override;
};

}  // namespace hv::platform::win32
