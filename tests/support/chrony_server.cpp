#include "chrony_server.h"

#include <cstdlib>
#include <memory>

#ifdef _WIN32

namespace hv::test {

std::uint16_t ChronydPort() {
  const char* given = std::getenv("HORVANE_CHRONYD_PORT");
  const long port = given != nullptr ? std::strtol(given, nullptr, 10) : 0;
  return port > 0 && port < 65536 ? static_cast<std::uint16_t>(port) : 0;
}

std::string ChronydLog() {
  return "no chronyd: run these through tests/win/run-adapters.sh, which starts one and sets "
         "HORVANE_CHRONYD_PORT";
}

}  // namespace hv::test

#else

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

#include "platform/posix/clock_posix.h"
#include "platform/posix/udp_posix.h"

extern char** environ;

namespace hv::test {
namespace {

constexpr const char* kChronyd = "/usr/sbin/chronyd";

std::uint16_t FreePort() {
  platform::PosixNetwork network;
  platform::Opened probe = network.openUdp(platform::IpFamily::V4);
  if (probe.error != 0 || probe.socket->bindAnyPort() != 0) return 0;
  return probe.socket->localPort();
}

bool Exited(pid_t pid) {
  int status = 0;
  return ::waitpid(pid, &status, WNOHANG) == pid;
}

}  // namespace

ChronyServer::ChronyServer(std::uint16_t port, std::string extraConfig)
    : extraConfig_(std::move(extraConfig)) {
  char dir[] = "/tmp/horvane-chronyd-XXXXXX";
  if (::mkdtemp(dir) == nullptr) throw std::runtime_error("chronyd: no temporary folder");
  dir_ = dir;
  // A free port can be taken again before chronyd binds it: try a few.
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (start(port != 0 ? port : FreePort())) return;
    if (port != 0) break;
  }
  const std::string why = log();
  stop();
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
  throw std::runtime_error("chronyd did not start: " + why);
}

ChronyServer::~ChronyServer() {
  stop();
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

bool ChronyServer::start(std::uint16_t port) {
  if (port == 0) return false;
  stop();
  port_ = port;
  {
    std::ofstream conf(dir_ + "/chrony.conf");
    conf << "local stratum 1\n"
         << "allow 127.0.0.1\n"
         << "allow ::1\n"
         << "port " << port << "\n"
         << "bindaddress 127.0.0.1\n"
         << "bindaddress ::1\n"
         << "cmdport 0\n"
         << "bindcmdaddress /\n"
         << "pidfile " << dir_ << "/chronyd.pid\n"
         << "driftfile " << dir_ << "/drift\n"
         << extraConfig_;
  }
  const std::string conf = dir_ + "/chrony.conf";
  const std::string logFile = dir_ + "/chronyd.log";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  // -x: never touch the host's clock; -t: gone after 15 minutes even if this
  // process dies without stopping it.
  std::vector<std::string> args = {kChronyd, "-x", "-d", "-u", "root", "-t", "900", "-f", conf};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const int rc = ::posix_spawn(&pid_, kChronyd, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) {
    pid_ = -1;
    return false;
  }
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (std::chrono::steady_clock::now() < until) {
    if (Exited(pid_)) {
      pid_ = -1;
      return false;
    }
    if (answers()) return true;
  }
  return false;
}

// A synchronised answer (leap indicator not 3, stratum 1) to one request,
// on 127.0.0.1 and on ::1.
bool ChronyServer::answers() {
  platform::PosixNetwork network;
  platform::PosixClock clock;
  for (const platform::IpAddress LoopbackAddress :
       {platform::IpAddress(platform::kLoopback), platform::IpAddress(platform::kLoopback6)}) {
    platform::Opened opened = network.openUdp(LoopbackAddress.family);
    if (opened.error != 0 || opened.socket->bindAnyPort() != 0) return false;
    std::uint8_t request[48] = {0x23};
    request[40] = 0xEB;  // any non-zero transmit timestamp
    opened.socket->sendTo(LoopbackAddress, port_, request);
    if (opened.socket->waitReadable(platform::Deadline::after(clock, 200)).readiness !=
        platform::Readiness::Readable)
      return false;
    std::uint8_t reply[48];
    const platform::Received got = opened.socket->receive(reply);
    if (got.error != 0 || got.bytes != 48 || (reply[0] >> 6) == 3 || reply[1] != 1) return false;
  }
  return true;
}

void ChronyServer::stop() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  while (!Exited(pid_)) {
    if (std::chrono::steady_clock::now() > until) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  pid_ = -1;
}

namespace {

// Started by the first test that asks, stopped as the test program ends.
struct SharedChronyd {
  std::unique_ptr<ChronyServer> server;
  std::string failure;
  SharedChronyd() {
    try {
      server = std::make_unique<ChronyServer>();
    } catch (const std::exception& e) {
      failure = e.what();
    }
  }
};

SharedChronyd& SharedState() {
  static SharedChronyd chronyd;
  return chronyd;
}

}  // namespace

std::uint16_t ChronydPort() {
  return SharedState().server ? SharedState().server->port() : 0;
}

std::string ChronydLog() {
  return SharedState().server ? SharedState().server->log() : SharedState().failure;
}

std::string ChronyServer::log() const {
  std::ifstream in(dir_ + "/chronyd.log");
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace hv::test
#endif
