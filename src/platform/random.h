#pragma once
// Random bytes from the platform's cryptographic generator, for what an
// off-path forger must not guess (the nonce of an SNTP request).
#include <cstdint>
#include <span>

namespace hv::platform {

class Random {
 public:
  virtual ~Random() = default;
  // Throws hv::Error when the generator fails.
  virtual void fill(std::span<std::uint8_t> bytes) = 0;

  std::uint32_t next32() {
    std::uint8_t b[4];
    fill(b);
    return static_cast<std::uint32_t>(b[0]) << 24 | static_cast<std::uint32_t>(b[1]) << 16 |
           static_cast<std::uint32_t>(b[2]) << 8 | b[3];
  }
};

}  // namespace hv::platform
