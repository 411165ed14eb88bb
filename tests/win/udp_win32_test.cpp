// What only the Winsock adapter does: names outside ASCII go to the
// resolver in their IDNA form.
#include "platform/win32/udp_win32.h"

#include <gtest/gtest.h>

namespace hv::platform {
namespace {

TEST(Win32UdpNames, NamesOutsideAsciiGoThroughIdna) {
  EXPECT_EQ(AsciiHostName(L"pool.ntp.org"), L"pool.ntp.org");
  EXPECT_EQ(AsciiHostName(L"b\u00fccher.example"), L"xn--bcher-kva.example");
  EXPECT_EQ(AsciiHostName(L"\u0432\u0440\u0435\u043c\u044f.\u0440\u0444"),
            L"xn--b1agvo1f.xn--p1ai");
}

}  // namespace
}  // namespace hv::platform
