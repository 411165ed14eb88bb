#pragma once
// The key exchange of NTS over TLS 1.3 (RFC 8915 section 4): keys from the
// TLS exporter, cookies and the NTP server from the records. OpenSSL works
// on memory buffers; the stream carries them, so the exchange is bounded by
// the caller's deadline and by kMostTlsBytes.
#include <cstdint>
#include <memory>
#include <string>

#include "nts/ke_records.h"
#include "nts/siv.h"
#include "platform/deadline.h"
#include "platform/tcp.h"
#include "platform/trust_roots.h"

namespace hv::nts {

inline constexpr std::size_t kMostTlsBytes = 64 * 1024;

struct KeSession {
  SivKey c2s{};
  SivKey s2c{};
  KeAnswer answer;
};

// What the certificates' dates are held against, in UTC seconds since 1970.
struct CertificateDates {
  // The clock has been set from an authenticated answer, or agreed with one.
  bool clockTrusted = false;
  std::int64_t nowUtcSeconds = 0;
  std::int64_t floorUtcSeconds = 0;  // the build date
};

class KeyExchanger {
 public:
  // roots are read at the first exchange, not before.
  explicit KeyExchanger(platform::TrustRoots& roots);
  ~KeyExchanger();
  KeyExchanger(const KeyExchanger&) = delete;
  KeyExchanger& operator=(const KeyExchanger&) = delete;

  // host is what the certificate must name: an ASCII name, sent as SNI, or
  // an IP address. Throws NtsError with the reason when anything fails.
  KeSession run(platform::TcpStream& stream, const std::string& host, const CertificateDates& dates,
                platform::Deadline until);

 private:
  struct Tls;
  platform::TrustRoots& roots_;
  std::unique_ptr<Tls> tls_;
};

}  // namespace hv::nts
