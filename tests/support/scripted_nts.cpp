#include "support/scripted_nts.h"

#ifndef _WIN32

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <stdexcept>

#include "nts/nts_packet.h"

namespace hv::test {
namespace {

int BoundSocket(int type, std::uint16_t& port) {
  const int fd = ::socket(AF_INET, type, 0);
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof sa;
  const int on = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &len) != 0)
    throw std::runtime_error("scripted NTS: no socket");
  port = ntohs(sa.sin_port);
  return fd;
}

bool Readable(int fd) {
  pollfd p{fd, POLLIN, 0};
  return ::poll(&p, 1, 50) > 0;
}

void Put16(std::vector<std::uint8_t>& out, unsigned v) {
  out.push_back(static_cast<std::uint8_t>(v >> 8));
  out.push_back(static_cast<std::uint8_t>(v));
}

void PutField(std::vector<std::uint8_t>& out, unsigned type, std::span<const std::uint8_t> body) {
  Put16(out, type);
  Put16(out, 4 + body.size());
  out.insert(out.end(), body.begin(), body.end());
}

int SelectNtske(SSL*, const unsigned char** out, unsigned char* outlen, const unsigned char* in,
                unsigned inlen, void*) {
  static const unsigned char kNtske[] = {7, 'n', 't', 's', 'k', 'e', '/', '1'};
  unsigned char* selected = nullptr;
  if (SSL_select_next_proto(&selected, outlen, kNtske, sizeof kNtske, in, inlen) !=
      OPENSSL_NPN_NEGOTIATED)
    return SSL_TLSEXT_ERR_ALERT_FATAL;
  *out = selected;
  return SSL_TLSEXT_ERR_OK;
}

}  // namespace

ScriptedNts::ScriptedNts(const std::string& certFile, const std::string& keyFile) {
  // A client that gives up closes the stream under a write.
  ::signal(SIGPIPE, SIG_IGN);
  SSL_CTX* ctx = SSL_CTX_new(TLS_server_method());
  SSL_CTX_set_min_proto_version(ctx, TLS1_3_VERSION);
  if (SSL_CTX_use_certificate_chain_file(ctx, certFile.c_str()) != 1 ||
      SSL_CTX_use_PrivateKey_file(ctx, keyFile.c_str(), SSL_FILETYPE_PEM) != 1)
    throw std::runtime_error("scripted NTS: bad certificate");
  SSL_CTX_set_alpn_select_cb(ctx, SelectNtske, nullptr);
  ctx_ = ctx;
  keFd_ = BoundSocket(SOCK_STREAM, kePort_);
  ::listen(keFd_, 4);
  ntpFd_ = BoundSocket(SOCK_DGRAM, ntpPort_);
  records = answer(8);
  ke_ = std::thread([this] { serveKe(); });
  ntp_ = std::thread([this] { serveNtp(); });
}

ScriptedNts::~ScriptedNts() {
  stop_ = true;
  ke_.join();
  ntp_.join();
  ::close(keFd_);
  ::close(ntpFd_);
  SSL_CTX_free(static_cast<SSL_CTX*>(ctx_));
}

std::vector<std::uint8_t> ScriptedNts::answer(int cookies) const {
  std::vector<std::uint8_t> out = {0x80, 1, 0, 2, 0, 0, 0x80, 4, 0, 2, 0, 15, 0x80, 7, 0, 2};
  Put16(out, ntpPort_);
  for (int i = 0; i < cookies; ++i) {
    Put16(out, 5);
    Put16(out, 64);
    out.insert(out.end(), 64, static_cast<std::uint8_t>(0xC0 + i));
  }
  out.insert(out.end(), {0x80, 0, 0, 0});
  return out;
}

void ScriptedNts::serveKe() {
  while (!stop_) {
    if (!Readable(keFd_)) continue;
    const int fd = ::accept(keFd_, nullptr, nullptr);
    if (fd < 0) continue;
    ++keyExchanges;
    SSL* ssl = SSL_new(static_cast<SSL_CTX*>(ctx_));
    SSL_set_fd(ssl, fd);
    std::uint8_t request[64];
    if (SSL_accept(ssl) == 1 && SSL_read(ssl, request, sizeof request) > 0) {
      {
        const std::lock_guard lock(keys_);
        static const char kLabel[] = "EXPORTER-network-time-security";
        const unsigned char c2s[] = {0, 0, 0, 15, 0};
        const unsigned char s2c[] = {0, 0, 0, 15, 1};
        SSL_export_keying_material(ssl, c2s_.data(), c2s_.size(), kLabel, sizeof kLabel - 1, c2s,
                                   sizeof c2s, 1);
        SSL_export_keying_material(ssl, s2c_.data(), s2c_.size(), kLabel, sizeof kLabel - 1, s2c,
                                   sizeof s2c, 1);
      }
      if (msPerByte == 0) {
        SSL_write(ssl, records.data(), static_cast<int>(records.size()));
      } else {
        for (std::size_t i = 0; i < records.size() && !stop_; ++i) {
          if (SSL_write(ssl, &records[i], 1) <= 0) break;
          std::this_thread::sleep_for(std::chrono::milliseconds(msPerByte));
        }
      }
      SSL_shutdown(ssl);
    }
    SSL_free(ssl);
    ::close(fd);
  }
}

void ScriptedNts::serveNtp() {
  std::vector<std::uint8_t> request(4096);
  while (!stop_) {
    if (!Readable(ntpFd_)) continue;
    sockaddr_in from{};
    socklen_t fromLen = sizeof from;
    const ssize_t n = ::recvfrom(ntpFd_, request.data(), request.size(), 0,
                                 reinterpret_cast<sockaddr*>(&from), &fromLen);
    if (n < 48) continue;
    std::vector<std::uint8_t> uniqueId;
    int placeholders = 0;
    nts::WalkFields(std::span(request.data() + 48, static_cast<std::size_t>(n) - 48),
                    [&](std::uint16_t type, std::size_t, std::span<const std::uint8_t> body) {
                      if (type == nts::kUniqueId) uniqueId.assign(body.begin(), body.end());
                      if (type == nts::kPlaceholder) ++placeholders;
                      return true;
                    });
    const Reply mode = reply;
    if (mode == Reply::Silent) continue;
    std::vector<std::uint8_t> out(48, 0);
    out[0] = 0x24;
    out[1] = mode == Reply::Nak ? 0 : 1;
    if (mode == Reply::Nak) std::memcpy(&out[12], "NTSN", 4);
    std::copy_n(&request[40], 8, &out[24]);  // originate: our transmit
    // Receive and transmit: the request's own stamp, which is the client's clock.
    std::copy_n(&request[40], 8, &out[32]);
    std::copy_n(&request[40], 8, &out[40]);
    if (mode == Reply::WrongUniqueId) uniqueId[0] ^= 1;
    if (mode != Reply::NoUniqueId) PutField(out, nts::kUniqueId, uniqueId);
    if (mode != Reply::Nak) {
      std::vector<std::uint8_t> plain;
      const int cookies = mode == Reply::NoCookies ? 0 : 1 + placeholders;
      for (int i = 0; i < cookies; ++i) {
        const std::vector<std::uint8_t> cookie(64, static_cast<std::uint8_t>(i));
        PutField(plain, nts::kCookieField, cookie);
      }
      const std::uint8_t nonce[16] = {1, 2, 3};
      nts::SivKey s2c;
      {
        const std::lock_guard lock(keys_);
        s2c = s2c_;
      }
      const std::vector<std::uint8_t> sealed = nts::SivSeal(s2c, out, nonce, plain);
      Put16(out, nts::kAuthenticator);
      Put16(out, 4 + 4 + 16 + (sealed.size() + 3) / 4 * 4);
      Put16(out, 16);
      Put16(out, sealed.size());
      out.insert(out.end(), nonce, nonce + 16);
      out.insert(out.end(), sealed.begin(), sealed.end());
      out.insert(out.end(), (4 - sealed.size() % 4) % 4, 0);
      if (mode == Reply::Tampered) out[44] ^= 1;
    }
    ::sendto(ntpFd_, out.data(), out.size(), 0, reinterpret_cast<sockaddr*>(&from), fromLen);
  }
}

}  // namespace hv::test

#endif
