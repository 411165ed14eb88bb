#pragma once
// What one answer of a time server told beside its time: how good it was,
// who gave it and when it came. The SNTP client fills all of it; the
// maker's endpoint only the source, the offset and the arrival.
#include <cstdint>
#include <string>

#include "platform/udp.h"

namespace hv::time {

struct AnswerFigures {
  enum class Source { Sntp, Web };
  Source source = Source::Sntp;
  bool arrived = false;      // a whole reply to the request came, accepted or not
  double offsetSeconds = 0;  // how far the server's clock is ahead of ours
  double delaySeconds = 0;   // the round trip, less the server's own time
  int stratum = 0;
  std::string kissCode;        // of a kiss-o'-death, else empty
  platform::IpAddress server;  // the address that answered
  // A round trip from 0 to the receive time-out: the figures can be trusted.
  bool reliable = false;
  std::int64_t receivedAtUs = 0;  // on the clock's steady scale
  // The answer, unrounded, in UTC microseconds since 1970: the server's
  // clock at receivedAtUs when reliable, else its transmit time.
  std::int64_t answerUtcUs = 0;
  // The server named by an NTS key exchange whose keys authenticated the
  // answer; empty for an answer nothing vouched for.
  std::wstring authenticatedBy;
};

}  // namespace hv::time
