#include "support/nts_pki.h"

#ifndef _WIN32

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

namespace hv::test {
namespace {

constexpr const char* kCaConfig = R"([ca]
default_ca = d
[d]
database = index.txt
new_certs_dir = .
serial = serial
default_md = sha256
policy = p
copy_extensions = copy
unique_subject = no
[p]
commonName = supplied
[v3_ca]
basicConstraints = critical,CA:true
keyUsage = critical,keyCertSign,cRLSign
subjectKeyIdentifier = hash
[leaf]
basicConstraints = CA:false
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
)";

// "20261210000000Z", days from now.
std::string StampDaysFromNow(int days) {
  const std::time_t t = std::time(nullptr) + static_cast<std::time_t>(days) * 86400;
  std::tm tm{};
  gmtime_r(&t, &tm);
  char out[32];
  std::strftime(out, sizeof out, "%Y%m%d%H%M%SZ", &tm);
  return out;
}

void Run(const std::string& dir, const std::string& command) {
  const std::string line = "cd '" + dir + "' && " + command + " >>openssl.log 2>&1";
  if (std::system(line.c_str()) != 0) throw std::runtime_error("openssl failed: " + command);
}

void MakeKey(const std::string& dir, const std::string& name, const std::string& subject) {
  Run(dir, "openssl req -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -keyout " + name +
               ".key -out " + name + ".csr -subj " + subject +
               " -addext subjectAltName=DNS:localhost");
}

void Sign(const std::string& dir, const std::string& name, const std::string& ca,
          const std::string& extra) {
  Run(dir, "openssl ca -batch -config ca.cnf -notext -in " + name + ".csr -out " + name + ".pem " +
               extra + (ca.empty() ? "" : " -cert " + ca + ".pem -keyfile " + ca + ".key"));
}

}  // namespace

TestPki::TestPki() {
  char dir[] = "/tmp/horvane-pki-XXXXXX";
  if (::mkdtemp(dir) == nullptr) throw std::runtime_error("no temporary folder");
  dir_ = dir;
  std::ofstream(dir_ + "/ca.cnf") << kCaConfig;
  std::ofstream(dir_ + "/index.txt");
  std::ofstream(dir_ + "/serial") << "01\n";
  const std::string caDates =
      " -startdate " + StampDaysFromNow(-3000) + " -enddate " + StampDaysFromNow(3000);
  for (const char* ca : {"ca", "other"}) {
    MakeKey(dir_, ca, std::string("/CN=Horvane-test-") + ca);
    Sign(dir_, ca, "",
         std::string("-selfsign -keyfile ") + ca + ".key -extensions v3_ca" + caDates);
  }
  MakeKey(dir_, "valid", "/CN=localhost");
  Sign(dir_, "valid", "ca",
       "-extensions leaf -startdate " + StampDaysFromNow(-1) + " -enddate " + StampDaysFromNow(30));
  MakeKey(dir_, "expired", "/CN=localhost");
  Sign(dir_, "expired", "ca",
       "-extensions leaf -startdate " + StampDaysFromNow(-2000) + " -enddate " +
           StampDaysFromNow(-1900));
  for (const char* ca : {"ca", "other"}) {
    Run(dir_, std::string("openssl x509 -in ") + ca + ".pem -outform DER -out " + ca + ".der");
  }
}

TestPki::~TestPki() {
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

std::vector<std::uint8_t> TestPki::der(const std::string& name) const {
  std::ifstream in(dir_ + "/" + name + ".der", std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint16_t FreeTcpPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return 0;
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof sa;
  std::uint16_t port = 0;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0 &&
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &len) == 0)
    port = ntohs(sa.sin_port);
  ::close(fd);
  return port;
}

namespace {

bool Listens(std::uint16_t port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_port = htons(port);
  sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0;
  ::close(fd);
  return ok;
}

}  // namespace

NtsChrony::NtsChrony(const TestPki& pki, const std::string& leaf) : ntsPort_(FreeTcpPort()) {
  const std::string dump = pki.dir() + "/dump-" + leaf;
  std::filesystem::create_directories(dump);
  server_ = std::make_unique<ChronyServer>(
      0, "ntsserverkey " + pki.keyFile(leaf) + "\nntsservercert " + pki.certFile(leaf) +
             "\nntsport " + std::to_string(ntsPort_) + "\nntsdumpdir " + dump + "\n");
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!Listens(ntsPort_)) {
    if (std::chrono::steady_clock::now() > until)
      throw std::runtime_error("chronyd's key exchange does not listen: " + log());
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

}  // namespace hv::test

#endif
