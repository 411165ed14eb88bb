#pragma once
// TNtsClient: time from an NTS server (RFC 8915). A key exchange over TLS
// gives keys and cookies, kept for the run; each query is one NTPv4 request
// whose reply counts only when it authenticates and passes every check a
// plain reply passes. Nothing falls back to unauthenticated time.
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "nts/key_exchange.h"
#include "platform/clock.h"
#include "platform/random.h"
#include "platform/tcp.h"
#include "platform/trust_roots.h"
#include "platform/udp.h"
#include "time/datetime.h"
#include "time/sntp.h"

namespace hv::nts {

inline constexpr std::uint16_t kKeyExchangePort = 4460;
// The stock of cookies each request tops up to.
inline constexpr std::size_t kCookieStock = 8;

class TNtsClient {
 public:
  TNtsClient(platform::Clock& clock, platform::Network& network, platform::TcpNetwork& tcp,
             platform::Random& random, platform::TrustRoots& roots);
  TNtsClient(const TNtsClient&) = delete;
  TNtsClient& operator=(const TNtsClient&) = delete;

  // The key-exchange server; a change starts a new key exchange.
  std::wstring Host;
  std::uint16_t Port = kKeyExchangePort;
  // Milliseconds for the key exchange and the query together; 0 or less
  // waits without limit for the reply, and up to kMostKeyExchangeMs for
  // the key exchange.
  std::int32_t ReceiveTimeout = 0;
  bool CheckStratum = true;
  // The build date, in UTC seconds since 1970: no certificate that expired
  // before it is trusted, whatever the clock says.
  std::int64_t FloorUtcSeconds = 0;
  // The clock was set from an authenticated answer: certificates' dates are
  // then held against it. An authenticated answer that agrees with the
  // clock sets it too.
  bool ClockTrusted = false;

  // The server's time as TIdSNTP::DateTime gives it, or 0 when no authentic
  // acceptable reply came in time. Throws NtsError when the key exchange
  // fails and EIdSocketError for socket failures.
  time::TDateTime DateTime();
  const time::AnswerFigures& LastReply() const { return last_; }
  // The NTP server of the session: the one the key exchange named.
  const std::wstring& NtpServer() const { return ntpServerName_; }
  // Why the last query got no time, in a few words; empty after success.
  const std::string& LastWhy() const { return why_; }
  std::size_t CookieStock() const { return cookies_.size(); }

 private:
  enum class Outcome { Authentic, Nak, None };
  void keyExchange(platform::Deadline until);
  Outcome query(platform::Deadline until, time::TDateTime& t);
  platform::IpAddress resolve(const std::wstring& host);
  double utcOffsetDays();

  platform::Clock& clock_;
  platform::Network& network_;
  platform::TcpNetwork& tcp_;
  platform::Random& random_;
  KeyExchanger exchanger_;
  std::mutex query_;
  std::optional<KeSession> session_;
  std::wstring sessionHost_;
  std::uint16_t sessionPort_ = 0;
  platform::IpAddress ntpAddress_;
  std::uint16_t ntpPort_ = 0;
  std::wstring ntpServerName_;
  std::deque<std::vector<std::uint8_t>> cookies_;
  time::AnswerFigures last_;
  std::string why_;
};

inline constexpr std::int64_t kMostKeyExchangeMs = 10'000;

}  // namespace hv::nts
