#pragma once
// The real socket adapter of the build under test: Winsock under Wine, the
// host's sockets natively. Tests that talk to loopback peers use this one.
#ifdef _WIN32
#include "platform/win32/udp_win32.h"
#else
#include "platform/posix/udp_posix.h"
#endif

namespace hv::test {

#ifdef _WIN32
using TestNetwork = platform::Win32Network;
#else
using TestNetwork = platform::PosixNetwork;
#endif

}  // namespace hv::test
