#pragma once
// A real chronyd on 127.0.0.1 and ::1, one port for both. It serves the host's clock from its local
// reference and never adjusts that clock (-x).
#include <cstdint>
#include <string>

#ifndef _WIN32
#include <sys/types.h>
#endif

namespace hv::test {

// The chronyd the client tests talk to. Natively the first call starts one
// for the whole run; chronyd cannot run inside Wine, so there the runner
// starts it on the Linux side and hands its port over in
// HORVANE_CHRONYD_PORT. 0 when there is none; ChronydLog() says why.
std::uint16_t ChronydPort();
std::string ChronydLog();

#ifndef _WIN32

class ChronyServer {
 public:
  // port 0 picks a free port; extraConfig is appended to the configuration.
  // Throws std::runtime_error when chronyd does not start or does not answer
  // within a few seconds.
  explicit ChronyServer(std::uint16_t port = 0, std::string extraConfig = {});
  ~ChronyServer();
  ChronyServer(const ChronyServer&) = delete;
  ChronyServer& operator=(const ChronyServer&) = delete;

  std::uint16_t port() const { return port_; }
  // What chronyd wrote to its standard error, for failure messages.
  std::string log() const;

 private:
  bool start(std::uint16_t port);
  bool answers();
  void stop();

  std::string dir_;
  std::string extraConfig_;
  std::uint16_t port_ = 0;
  pid_t pid_ = -1;
};
#endif

}  // namespace hv::test
