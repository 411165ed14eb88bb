#pragma once
// TIdSNTP: one SNTP exchange over UDP that yields the server's time as a
// local TDateTime.
#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/random.h"
#include "platform/udp.h"
#include "time/answer_figures.h"
#include "time/datetime.h"
#include "time/sntp_error.h"
#include "time/sntp_figures.h"
#include "time/sntp_packet.h"

namespace hv::time {

class TIdSNTP {
 public:
  TIdSNTP(platform::Clock& clock, platform::Network& network, platform::Random& random);
  TIdSNTP(const TIdSNTP&) = delete;
  TIdSNTP& operator=(const TIdSNTP&) = delete;

  // Read by each query; changing them leaves the socket open.
  std::wstring Host;
  std::uint16_t Port = 123;
  // Milliseconds for the whole wait for a reply; 0 or less waits without limit.
  std::int32_t ReceiveTimeout = 0;
  // Refuse replies of stratum 0 or above 15.
  bool CheckStratum = true;

  // One query of Host, in local time: the server's clock when its reply
  // arrived, unrounded, or, when the figures are not reliable, its transmit
  // time to the whole millisecond; exactly 0 when no acceptable reply came
  // in time. Throws EIdSocketError or hv::Error for look-up, socket and
  // time-zone failures. A name with several addresses is asked at the next
  // one too each second the earlier ones stay silent, within the one
  // ReceiveTimeout; the first acceptable reply wins.
  TDateTime DateTime();
  // The figures of the last query's reply, whose answerUtcUs is what
  // DateTime handed on; read them on the thread that queried.
  const AnswerFigures& LastReply() const { return last_; }

 private:
  std::vector<platform::IpAddress> resolve(const std::wstring& host);
  // The socket of the family, opened and bound on first use.
  platform::UdpSocket& socket(platform::IpFamily family);
  // When a request went out: its transmit timestamp (with the nonce), our
  // precise clock then, and the steady clock then.
  struct Sending {
    sntp::NtpTimestamp transmit;
    sntp::NtpTimestamp clock;
    std::int64_t steadyUs = 0;
  };
  // One address's request of the query under way.
  struct Request {
    platform::IpAddress server;
    Sending sending;
    bool open = true;  // neither accepted nor refused yet
  };
  Sending stampRequest();
  // Sends sending's request to server; throws what the send costs.
  void sendRequest(const platform::IpAddress& server, std::uint16_t port, Sending& sending);
  // The wait and every reply of the requests made so far; asks the further
  // addresses as their turn comes.
  TDateTime awaitReply(const std::vector<platform::IpAddress>& servers, std::uint16_t port,
                       Sending first);
  double utcOffsetDays();

  platform::Clock& clock_;
  platform::Network& network_;
  platform::Random& random_;
  // Nonces drawn in bulk: one call of the generator costs about as much as
  // the rest of a query.
  std::uint32_t nextNonce();
  std::array<std::uint8_t, 256> nonces_{};
  std::size_t noncesUsed_ = sizeof(nonces_);
  // One query at a time: the sockets and their queues belong to that query.
  std::mutex query_;
  struct FamilySocket {
    std::unique_ptr<platform::UdpSocket> socket;
    // Every request sent on it took its reply: that leaves no report of an
    // unreachable peer behind, and strays fail the originate check, so the
    // next query need not spend a system call draining the queue.
    bool clean = false;
    int sent = 0;      // in the query under way
    int answered = 0;  // of those
  };
  std::array<FamilySocket, 2> sockets_;  // IPv4, IPv6
  AnswerFigures last_;
};

}  // namespace hv::time
