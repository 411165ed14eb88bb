#pragma once
// A scripted NTS server on 127.0.0.1 for the answers no real server gives:
// a TLS key exchange that sends the records it is told to, as slowly as it
// is told to, and an NTP side that answers each request in the mode set.
#ifndef _WIN32
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "nts/siv.h"

namespace hv::test {

class ScriptedNts {
 public:
  enum class Reply { Good, Tampered, NoUniqueId, WrongUniqueId, Nak, NoCookies, Silent };

  // certFile and keyFile: the server's PEM files.
  ScriptedNts(const std::string& certFile, const std::string& keyFile);
  ~ScriptedNts();
  ScriptedNts(const ScriptedNts&) = delete;
  ScriptedNts& operator=(const ScriptedNts&) = delete;

  std::uint16_t kePort() const { return kePort_; }
  // The records of a normal answer: NTPv4, AES-SIV, this NTP port, cookies.
  std::vector<std::uint8_t> answer(int cookies) const;

  // Set before a query.
  std::vector<std::uint8_t> records;
  int msPerByte = 0;  // trickle the answer at this pace
  std::atomic<Reply> reply{Reply::Good};
  std::atomic<int> keyExchanges{0};

 private:
  void serveKe();
  void serveNtp();
  std::uint16_t kePort_ = 0;
  std::uint16_t ntpPort_ = 0;
  int keFd_ = -1;
  int ntpFd_ = -1;
  void* ctx_ = nullptr;
  std::atomic<bool> stop_{false};
  std::mutex keys_;
  nts::SivKey c2s_{};
  nts::SivKey s2c_{};
  std::thread ke_;
  std::thread ntp_;
};

}  // namespace hv::test
#endif
