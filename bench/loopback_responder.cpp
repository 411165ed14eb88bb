#include "loopback_responder.h"

#include <algorithm>
#include <stdexcept>

#include "platform/posix/clock_posix.h"
#include "time/sntp_packet.h"

namespace hv::bench {

LoopbackResponder::LoopbackResponder(platform::Network& network) {
  platform::Opened opened = network.openUdp(platform::IpFamily::V4);
  if (opened.error != 0 || opened.socket->bindAnyPort() != 0) {
    throw std::runtime_error("loopback responder: no socket");
  }
  socket_ = std::move(opened.socket);
  port_ = socket_->localPort();
  thread_ = std::thread([this] { run(); });
}

LoopbackResponder::~LoopbackResponder() {
  stop_ = true;
  thread_.join();
}

void LoopbackResponder::run() {
  using namespace time::sntp;
  platform::PosixClock clock;
  while (!stop_) {
    // The short wait only bounds how long the destructor waits.
    if (socket_->waitReadable(platform::Deadline::after(clock, 50)).readiness !=
        platform::Readiness::Readable)
      continue;
    Packet request{};
    const platform::Received got = socket_->receive(request);
    if (got.error != 0 || got.bytes != kPacketSize) continue;
    Packet reply{};
    reply[kFlagsOffset] = 0x24;  // leap 0, version 4, server
    reply[kStratumOffset] = 2;
    std::copy_n(request.begin() + kTransmitOffset, kTimestampSize,
                reply.begin() + kOriginateOffset);
    // 2 September 2021 12:00:00.5 UTC, as receive and transmit time.
    const Packet stamp = EncodeRequest({3839572800u, 0x80000000u});
    std::copy_n(stamp.begin() + kTransmitOffset, kTimestampSize, reply.begin() + kReceiveOffset);
    std::copy_n(stamp.begin() + kTransmitOffset, kTimestampSize, reply.begin() + kTransmitOffset);
    socket_->sendTo(got.source, got.sourcePort, reply);
  }
}

}  // namespace hv::bench
