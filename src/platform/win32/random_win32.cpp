#include "platform/win32/random_win32.h"

#include <windows.h>
// bcrypt.h needs the types of windows.h first.
#include <bcrypt.h>

#include "base/error.h"

namespace hv::platform::win32 {

void Win32Random::fill(std::span<std::uint8_t> bytes) {
  const NTSTATUS status = BCryptGenRandom(nullptr, bytes.data(), static_cast<ULONG>(bytes.size()),
                                          BCRYPT_USE_SYSTEM_PREFERRED_RNG);
  if (status < 0) throw Error(L"The system's random number generator failed.");
}

}  // namespace hv::platform::win32
