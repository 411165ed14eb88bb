#include "nts/key_exchange.h"

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>
#include <openssl/x509v3.h>

#include <array>
#include <vector>

#include "nts/nts_error.h"

namespace hv::nts {

struct KeyExchanger::Tls {
  struct ContextFree {
    void operator()(SSL_CTX* c) const { SSL_CTX_free(c); }
  };
  std::unique_ptr<SSL_CTX, ContextFree> context;
};

namespace {

struct SslFree {
  void operator()(SSL* s) const { SSL_free(s); }
};

constexpr unsigned char kAlpn[] = {7, 'n', 't', 's', 'k', 'e', '/', '1'};
constexpr char kExporterLabel[] = "EXPORTER-network-time-security";

bool IsAddressLiteral(const std::string& host) {
  ASN1_OCTET_STRING* ip = a2i_IPADDRESS(host.c_str());
  if (ip == nullptr) return false;
  ASN1_OCTET_STRING_free(ip);
  return true;
}

std::string VerifyFailure(long result) {
  switch (result) {
    case X509_V_ERR_HOSTNAME_MISMATCH:
    case X509_V_ERR_IP_ADDRESS_MISMATCH:
      return "certificate names another host";
    case X509_V_ERR_CERT_HAS_EXPIRED:
    case X509_V_ERR_CERT_NOT_YET_VALID:
      return "certificate out of date";
    default:
      return "certificate not trusted";
  }
}

// While the clock may be far off it cannot judge a certificate's dates, so
// they are held against the build date and against each other instead.
bool ChainDatesHold(STACK_OF(X509) * chain, std::int64_t floorUtcSeconds) {
  if (chain == nullptr || sk_X509_num(chain) == 0) return false;
  time_t floor = static_cast<time_t>(floorUtcSeconds);
  for (int i = 0; i < sk_X509_num(chain); ++i) {
    X509* cert = sk_X509_value(chain, i);
    const ASN1_TIME* notBefore = X509_get0_notBefore(cert);
    const ASN1_TIME* notAfter = X509_get0_notAfter(cert);
    if (X509_cmp_time(notAfter, &floor) != 1) return false;
    if (ASN1_TIME_compare(notBefore, notAfter) > 0) return false;
    if (i + 1 < sk_X509_num(chain)) {
      X509* issuer = sk_X509_value(chain, i + 1);
      // Issued while its issuer was valid.
      if (ASN1_TIME_compare(notBefore, X509_get0_notBefore(issuer)) < 0 ||
          ASN1_TIME_compare(notBefore, X509_get0_notAfter(issuer)) > 0)
        return false;
    }
  }
  return true;
}

class Pump {
 public:
  Pump(SSL* ssl, platform::TcpStream& stream, platform::Deadline until)
      : ssl_(ssl), stream_(stream), until_(until) {}

  // What OpenSSL has written goes out.
  void flush() {
    std::array<std::uint8_t, 4096> buffer;
    for (;;) {
      const int n = BIO_read(SSL_get_wbio(ssl_), buffer.data(), buffer.size());
      if (n <= 0) return;
      const int e = stream_.sendAll(std::span(buffer.data(), static_cast<std::size_t>(n)), until_);
      if (e == platform::kTimedOut) throw NtsError("key exchange timed out");
      if (e != 0) throw NtsError("key exchange connection failed");
    }
  }

  // After the answer: a failure to say goodbye costs nothing.
  void flushQuietly() {
    try {
      flush();
    } catch (const NtsError&) {
    }
  }

  // What has arrived goes to OpenSSL; throws at the end of the stream.
  void feed() {
    std::array<std::uint8_t, 4096> buffer;
    const platform::Read got = stream_.receive(buffer, until_);
    if (got.error == platform::kTimedOut) throw NtsError("key exchange timed out");
    if (got.error != 0) throw NtsError("key exchange connection failed");
    if (got.bytes == 0) throw NtsError("key exchange cut short");
    read_ += got.bytes;
    if (read_ > kMostTlsBytes) throw NtsError("key exchange too long");
    BIO_write(SSL_get_rbio(ssl_), buffer.data(), static_cast<int>(got.bytes));
  }

  // Runs step until it succeeds, carrying bytes both ways.
  template <typename Step>
  int drive(Step step, const char* failure) {
    for (;;) {
      ERR_clear_error();
      const int r = step();
      flush();
      if (r > 0) return r;
      const int e = SSL_get_error(ssl_, r);
      if (e == SSL_ERROR_WANT_READ) {
        feed();
        continue;
      }
      // Memory buffers never refuse a write; should one, the deadline ends it.
      if (e == SSL_ERROR_WANT_WRITE && !until_.passed()) continue;
      if (e == SSL_ERROR_WANT_WRITE) throw NtsError("key exchange timed out");
      if (SSL_get_verify_result(ssl_) != X509_V_OK)
        throw NtsError(VerifyFailure(SSL_get_verify_result(ssl_)));
      throw NtsError(failure);
    }
  }

 private:
  SSL* ssl_;
  platform::TcpStream& stream_;
  platform::Deadline until_;
  std::size_t read_ = 0;
};

SivKey Export(SSL* ssl, std::uint8_t direction) {
  const unsigned char context[] = {0, 0, 0, kAeadAesSivCmac256, direction};
  SivKey key{};
  if (SSL_export_keying_material(ssl, key.data(), key.size(), kExporterLabel,
                                 sizeof kExporterLabel - 1, context, sizeof context, 1) != 1)
    throw NtsError("no keys from TLS");
  return key;
}

}  // namespace

KeyExchanger::KeyExchanger(platform::TrustRoots& roots) : roots_(roots) {}
KeyExchanger::~KeyExchanger() = default;

KeSession KeyExchanger::run(platform::TcpStream& stream, const std::string& host,
                            const CertificateDates& dates, platform::Deadline until) {
  if (!tls_) {
    auto tls = std::make_unique<Tls>();
    tls->context.reset(SSL_CTX_new(TLS_client_method()));
    SSL_CTX* ctx = tls->context.get();
    if (ctx == nullptr || SSL_CTX_set_min_proto_version(ctx, TLS1_3_VERSION) != 1 ||
        SSL_CTX_set_max_proto_version(ctx, TLS1_3_VERSION) != 1)
      throw NtsError("TLS not available");
    SSL_CTX_set_verify(ctx, SSL_VERIFY_PEER, nullptr);
    SSL_CTX_set_session_cache_mode(ctx, SSL_SESS_CACHE_OFF);
    X509_STORE* store = SSL_CTX_get_cert_store(ctx);
    for (const std::vector<std::uint8_t>& der : roots_.rootsDer()) {
      const unsigned char* p = der.data();
      X509* cert = d2i_X509(nullptr, &p, static_cast<long>(der.size()));
      if (cert == nullptr) continue;
      X509_STORE_add_cert(store, cert);
      X509_free(cert);
    }
    tls_ = std::move(tls);
  }

  std::unique_ptr<SSL, SslFree> ssl(SSL_new(tls_->context.get()));
  if (!ssl) throw NtsError("TLS not available");
  BIO* in = BIO_new(BIO_s_mem());
  BIO* out = BIO_new(BIO_s_mem());
  if (in == nullptr || out == nullptr) {
    BIO_free(in);
    BIO_free(out);
    throw NtsError("TLS not available");
  }
  SSL_set_bio(ssl.get(), in, out);
  X509_VERIFY_PARAM* param = SSL_get0_param(ssl.get());
  if (IsAddressLiteral(host)) {
    if (X509_VERIFY_PARAM_set1_ip_asc(param, host.c_str()) != 1) throw NtsError("bad host");
  } else if (SSL_set_tlsext_host_name(ssl.get(), host.c_str()) != 1 ||
             SSL_set1_host(ssl.get(), host.c_str()) != 1) {
    throw NtsError("bad host");
  }
  if (dates.clockTrusted) {
    X509_VERIFY_PARAM_set_time(param, static_cast<time_t>(dates.nowUtcSeconds));
  } else {
    X509_VERIFY_PARAM_set_flags(param, X509_V_FLAG_NO_CHECK_TIME);
  }
  if (SSL_set_alpn_protos(ssl.get(), kAlpn, sizeof kAlpn) != 0) throw NtsError("TLS not available");

  Pump pump(ssl.get(), stream, until);
  pump.drive([&] { return SSL_connect(ssl.get()); }, "TLS handshake failed");
  if (!dates.clockTrusted &&
      !ChainDatesHold(SSL_get0_verified_chain(ssl.get()), dates.floorUtcSeconds))
    throw NtsError("certificate out of date");
  const unsigned char* alpn = nullptr;
  unsigned int alpnLength = 0;
  SSL_get0_alpn_selected(ssl.get(), &alpn, &alpnLength);
  if (alpnLength != sizeof kAlpn - 1 || !std::equal(alpn, alpn + alpnLength, kAlpn + 1))
    throw NtsError("server does not speak NTS");

  const std::vector<std::uint8_t> request = EncodeKeRequest();
  pump.drive([&] { return SSL_write(ssl.get(), request.data(), static_cast<int>(request.size())); },
             "key exchange failed");
  std::vector<std::uint8_t> answer;
  for (;;) {
    std::array<std::uint8_t, 4096> buffer;
    const int n = pump.drive(
        [&] { return SSL_read(ssl.get(), buffer.data(), static_cast<int>(buffer.size())); },
        "key exchange cut short");
    answer.insert(answer.end(), buffer.begin(), buffer.begin() + n);
    const KeParsed parsed = ParseKeAnswer(answer);
    if (parsed.state == KeParsed::State::Refused) throw NtsError(parsed.why);
    if (parsed.state == KeParsed::State::Done) {
      KeSession session{Export(ssl.get(), 0), Export(ssl.get(), 1), parsed.answer};
      // A polite close; the answer is complete whatever comes of it.
      SSL_shutdown(ssl.get());
      pump.flushQuietly();
      return session;
    }
  }
}

}  // namespace hv::nts
