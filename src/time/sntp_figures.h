#pragma once
// How good an SNTP answer was: the clock offset and the round-trip delay of
// one exchange, from its four timestamps. Differences are taken modulo 2^64
// of the 32.32 fixed-point values, so they hold across the 2036 wrap of the
// seconds as long as the two clocks lie within 68 years of each other.
#include <cstdint>

#include "time/answer_figures.h"
#include "time/sntp_packet.h"

namespace hv::time::sntp {

// The offset and the round trip; nothing else is filled in. t1: request
// sent (our clock), t2: request received (server), t3: reply sent (server),
// t4: reply received (our clock).
AnswerFigures MeasureExchange(NtpTimestamp t1, NtpTimestamp t2, NtpTimestamp t3, NtpTimestamp t4);

// The server's clock when the reply arrived: its transmit time plus half
// the round trip, the way back taken to last as long as the way out. Only
// the path's asymmetry, which no client can see, is left as error.
NtpTimestamp ServerTimeAtArrival(NtpTimestamp t1, NtpTimestamp t2, NtpTimestamp t3,
                                 NtpTimestamp t4);

// t plus a number of microseconds.
NtpTimestamp AddMicroseconds(NtpTimestamp t, std::int64_t us);

}  // namespace hv::time::sntp
