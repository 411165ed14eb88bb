#pragma once
// Throw-away certificates for NTS tests, made with the openssl command line
// in a temporary folder: a CA, a second CA nobody trusts, and certificates
// for "localhost" signed by the first, one valid now and one long expired.
// Also a chronyd that serves NTS with one of them.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/trust_roots.h"

#ifndef _WIN32
#include "support/chrony_server.h"

namespace hv::test {

class TestPki {
 public:
  // Throws std::runtime_error when openssl fails.
  TestPki();
  ~TestPki();
  TestPki(const TestPki&) = delete;
  TestPki& operator=(const TestPki&) = delete;

  const std::string& dir() const { return dir_; }
  std::vector<std::uint8_t> caDer() const { return der("ca"); }
  std::vector<std::uint8_t> otherCaDer() const { return der("other"); }
  // The PEM files of a leaf: "valid" or "expired".
  std::string certFile(const std::string& leaf) const { return dir_ + "/" + leaf + ".pem"; }
  std::string keyFile(const std::string& leaf) const { return dir_ + "/" + leaf + ".key"; }

 private:
  std::vector<std::uint8_t> der(const std::string& name) const;
  std::string dir_;
};

// A free TCP port on 127.0.0.1, 0 when none.
std::uint16_t FreeTcpPort();

// chronyd with NTS on loopback, its key exchange on ntsPort().
class NtsChrony {
 public:
  NtsChrony(const TestPki& pki, const std::string& leaf);
  std::uint16_t ntsPort() const { return ntsPort_; }
  std::uint16_t ntpPort() const { return server_->port(); }
  std::string log() const { return server_->log(); }

 private:
  std::uint16_t ntsPort_ = 0;
  std::unique_ptr<ChronyServer> server_;
};

}  // namespace hv::test
#endif

namespace hv::test {

struct FixedRoots : platform::TrustRoots {
  std::vector<std::vector<std::uint8_t>> roots;
  int reads = 0;
  std::vector<std::vector<std::uint8_t>> rootsDer() override {
    ++reads;
    return roots;
  }
};

}  // namespace hv::test
