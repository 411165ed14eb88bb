// The NTS client under Wine against chronyd's NTS server on the Linux side,
// through Winsock, the Windows clock, BCrypt and the system root store.
// nts-wine.sh starts chronyd with a throw-away CA and names the CA's file; the
// test puts it into this prefix's root store for the run and takes it out
// again, so the client finds it where it finds every root. A wrong CA is the
// native tests' case.
#include <gtest/gtest.h>
// wincrypt.h needs the types of windows.h first.
// clang-format off
#include <windows.h>
#include <wincrypt.h>
// clang-format on

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "nts/nts_client.h"
#include "nts/nts_error.h"
#include "platform/win32/clock_win32.h"
#include "platform/win32/random_win32.h"
#include "platform/win32/tcp_win32.h"
#include "platform/win32/trust_roots_win32.h"
#include "platform/win32/udp_win32.h"

namespace hv::nts {
namespace {

// The CA in a root store that Wine keeps in the prefix's registry (the
// machine's or the user's), while it lives: a store opened on that key
// writes it through.
class RootForTheRun {
 public:
  RootForTheRun(HKEY hive, const std::vector<std::uint8_t>& der) {
    if (RegCreateKeyExW(hive, L"Software\\Microsoft\\SystemCertificates\\Root", 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, &key_, nullptr) != ERROR_SUCCESS)
      return;
    store_ = CertOpenStore(CERT_STORE_PROV_REG, 0, 0, 0, key_);
    if (store_ == nullptr) return;
    added_ = CertAddEncodedCertificateToStore(store_, X509_ASN_ENCODING, der.data(),
                                              static_cast<DWORD>(der.size()),
                                              CERT_STORE_ADD_REPLACE_EXISTING, &cert_) != FALSE;
  }
  ~RootForTheRun() {
    if (cert_ != nullptr) CertDeleteCertificateFromStore(cert_);  // frees cert_ too
    if (store_ != nullptr) CertCloseStore(store_, 0);
    if (key_ != nullptr) RegCloseKey(key_);
  }
  RootForTheRun(const RootForTheRun&) = delete;
  RootForTheRun& operator=(const RootForTheRun&) = delete;
  bool added() const { return added_; }

 private:
  HKEY key_ = nullptr;
  HCERTSTORE store_ = nullptr;
  PCCERT_CONTEXT cert_ = nullptr;
  bool added_ = false;
};

bool Holds(platform::TrustRoots& roots, const std::vector<std::uint8_t>& der) {
  for (const auto& r : roots.rootsDer()) {
    if (r == der) return true;
  }
  return false;
}

TEST(NtsWine, AuthenticatedTimeThroughTheSystemRootStore) {
  const char* port = std::getenv("HORVANE_NTS_PORT");
  const char* caFile = std::getenv("HORVANE_NTS_CA");
  ASSERT_TRUE(port != nullptr && caFile != nullptr) << "run through tests/win/nts-wine.sh";
  std::ifstream in(caFile, std::ios::binary);
  const std::vector<std::uint8_t> der{std::istreambuf_iterator<char>(in),
                                      std::istreambuf_iterator<char>()};
  ASSERT_FALSE(der.empty()) << caFile;

  // Before anything reads the root store: Wine builds it once per process.
  const RootForTheRun machine(HKEY_LOCAL_MACHINE, der);
  const RootForTheRun user(HKEY_CURRENT_USER, der);
  ASSERT_TRUE(machine.added() && user.added()) << GetLastError();
  platform::win32::Win32Clock clock;
  platform::Win32Network network;
  platform::Win32TcpNetwork tcp;
  platform::win32::Win32Random random;
  platform::Win32TrustRoots roots;
  ASSERT_TRUE(Holds(roots, der)) << "the system root store does not show the added CA";
  TNtsClient client(clock, network, tcp, random, roots);
  client.Host = L"localhost";
  client.Port = static_cast<std::uint16_t>(std::atoi(port));
  client.ReceiveTimeout = 5000;
  for (int i = 0; i < 3; ++i) {
    ASSERT_NE(client.DateTime(), 0) << client.LastWhy();
    EXPECT_LT(std::fabs(client.LastReply().offsetSeconds), 1.0);
  }
  EXPECT_EQ(client.CookieStock(), kCookieStock);
  EXPECT_EQ(client.NtpServer(), L"localhost");
}

}  // namespace
}  // namespace hv::nts
