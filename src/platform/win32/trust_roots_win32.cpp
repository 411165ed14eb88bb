#include "platform/win32/trust_roots_win32.h"

// wincrypt.h needs the types of windows.h first.
// clang-format off
#include <windows.h>
#include <wincrypt.h>
// clang-format on

#include "platform/win32/unique_handle.h"

namespace hv::platform {
namespace {

struct StoreTraits {
  using Handle = HCERTSTORE;
  static void free(HCERTSTORE s) { CertCloseStore(s, 0); }
};

}  // namespace

std::vector<std::vector<std::uint8_t>> Win32TrustRoots::rootsDer() {
  std::vector<std::vector<std::uint8_t>> roots;
  const win32::UniqueHandle<StoreTraits> store(CertOpenSystemStoreW(0, L"ROOT"));
  if (!store) return roots;
  for (PCCERT_CONTEXT c = CertEnumCertificatesInStore(store.get(), nullptr); c != nullptr;
       c = CertEnumCertificatesInStore(store.get(), c)) {
    if (c->dwCertEncodingType & X509_ASN_ENCODING)
      roots.emplace_back(c->pbCertEncoded, c->pbCertEncoded + c->cbCertEncoded);
  }
  return roots;
}

}  // namespace hv::platform
