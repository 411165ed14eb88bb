#include "nts/nts_address.h"

#include <gtest/gtest.h>

namespace hv::nts {
namespace {

TEST(NtsAddress, ReadsTheSchemeHostAndPortAndRefusesTheRest) {
  struct Case {
    const wchar_t* written;
    std::optional<NtsAddress> read;
  } const cases[] = {
      {L"nts://time.cloudflare.com", NtsAddress{L"time.cloudflare.com", 4460}},
      {L"NTS://nts.netnod.se:4461", NtsAddress{L"nts.netnod.se", 4461}},
      {L"nts://[2001:db8::1]:4460/", NtsAddress{L"[2001:db8::1]", 4460}},
      {L"nts://127.0.0.1:65535", NtsAddress{L"127.0.0.1", 65535}},
      {L"time.cloudflare.com", std::nullopt},
      {L"nts://", std::nullopt},
      {L"nts://:4460", std::nullopt},
      {L"nts://host:0", std::nullopt},
      {L"nts://host:65536", std::nullopt},
      {L"nts://host:44a", std::nullopt},
      {L"nts://user@host", std::nullopt},
      {L"nts://[::1", std::nullopt},
      {L"nts://host/path", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseNtsAddress(c.written), c.read)
        << testing::PrintToString(std::wstring(c.written));
  }
  EXPECT_TRUE(IsNtsServer(L"nts://host:0"));  // refused as NTS, never asked in plain
  EXPECT_FALSE(IsNtsServer(L"ntp.example"));
}

}  // namespace
}  // namespace hv::nts
