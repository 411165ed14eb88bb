#include "platform/posix/random_posix.h"

#include <sys/random.h>

#include <cerrno>

#include "base/error.h"

namespace hv::platform {

void PosixRandom::fill(std::span<std::uint8_t> bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = getrandom(bytes.data() + done, bytes.size() - done, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw Error(L"The system's random number generator failed.");
    done += static_cast<std::size_t>(n);
  }
}

}  // namespace hv::platform
