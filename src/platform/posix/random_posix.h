#pragma once
// The kernel's generator for the native build.
#include "platform/random.h"

namespace hv::platform {

class PosixRandom : public Random {
 public:
  void fill(std::span<std::uint8_t> bytes) override;
};

}  // namespace hv::platform
