#pragma once
// The real socket, clock and random adapters of the build under test:
// Winsock, the Windows clock and BCrypt under Wine, the host's sockets, clock
// and getrandom natively. Tests that talk to loopback peers use these.
#ifdef _WIN32
#include "platform/win32/clock_win32.h"
#include "platform/win32/random_win32.h"
#include "platform/win32/udp_win32.h"
#else
#include "platform/posix/clock_posix.h"
#include "platform/posix/random_posix.h"
#include "platform/posix/udp_posix.h"
#endif

namespace hv::test {

#ifdef _WIN32
using TestNetwork = platform::Win32Network;
using TestClock = platform::win32::Win32Clock;
using TestRandom = platform::win32::Win32Random;
#else
using TestNetwork = platform::PosixNetwork;
using TestClock = platform::PosixClock;
using TestRandom = platform::PosixRandom;
#endif

}  // namespace hv::test
