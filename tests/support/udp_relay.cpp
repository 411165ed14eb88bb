#include "udp_relay.h"

#ifndef _WIN32

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <pthread.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <stdexcept>
#include <utility>
#include <vector>

namespace hv::test {
namespace {

using Steady = std::chrono::steady_clock;

constexpr std::size_t kMaxClients = 16;
constexpr std::size_t kMaxHeld = 256;
constexpr std::size_t kMaxDatagram = 65536;
// How often the thread looks at its stop flag while nothing is due.
constexpr auto kIdleWake = std::chrono::milliseconds(20);

sockaddr_in LoopbackAddress(std::uint16_t port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return a;
}

// A non-blocking UDP socket on 127.0.0.1 that stamps each arrival; -1 when
// it cannot be had.
int StampingSocket(std::uint16_t port) {
  const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  const int on = 1;
  const sockaddr_in a = LoopbackAddress(port);
  if (::setsockopt(fd, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on) != 0 ||
      ::bind(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

std::uint16_t LocalPort(int fd) {
  sockaddr_in a{};
  socklen_t len = sizeof a;
  if (::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0) return 0;
  return ntohs(a.sin_port);
}

std::chrono::nanoseconds SinceEpoch(const timespec& t) {
  return std::chrono::seconds(t.tv_sec) + std::chrono::nanoseconds(t.tv_nsec);
}

// The kernel stamps arrivals on the real-time scale; moved to the steady
// scale by how long ago that stamp was. A stamp in the future or far back
// (the real-time clock was stepped) counts as now.
Steady::time_point ArrivalOf(msghdr& msg) {
  const Steady::time_point steadyNow = Steady::now();
  timespec realNow{};
  ::clock_gettime(CLOCK_REALTIME, &realNow);
  for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c != nullptr; c = CMSG_NXTHDR(&msg, c)) {
    if (c->cmsg_level != SOL_SOCKET || c->cmsg_type != SCM_TIMESTAMPNS) continue;
    timespec stamp{};
    std::copy_n(CMSG_DATA(c), sizeof stamp, reinterpret_cast<unsigned char*>(&stamp));
    const auto age = SinceEpoch(realNow) - SinceEpoch(stamp);
    if (age > std::chrono::nanoseconds(0) && age < std::chrono::seconds(1)) {
      return steadyNow - std::chrono::duration_cast<Steady::duration>(age);
    }
  }
  return steadyNow;
}

struct Datagram {
  std::vector<std::uint8_t> bytes;
  sockaddr_in source{};
  Steady::time_point arrived;
};

// One datagram off fd, false when none is waiting.
bool ReceiveOne(int fd, Datagram& d) {
  d.bytes.resize(kMaxDatagram);
  iovec io{d.bytes.data(), d.bytes.size()};
  alignas(cmsghdr) unsigned char control[CMSG_SPACE(sizeof(timespec))];
  msghdr msg{};
  msg.msg_name = &d.source;
  msg.msg_namelen = sizeof d.source;
  msg.msg_iov = &io;
  msg.msg_iovlen = 1;
  msg.msg_control = control;
  msg.msg_controllen = sizeof control;
  const ssize_t n = ::recvmsg(fd, &msg, 0);
  if (n < 0) return false;
  d.bytes.resize(static_cast<std::size_t>(n));
  d.arrived = ArrivalOf(msg);
  return true;
}

struct Client {
  std::uint16_t port = 0;  // on 127.0.0.1
  int upstream = -1;       // connected to the server, so only it is heard
  Steady::time_point lastHeard;
};

struct Held {
  std::vector<std::uint8_t> bytes;
  int fd = -1;
  std::uint16_t toPort = 0;  // 0: the socket's connected peer
};

}  // namespace

UdpRelay::UdpRelay(std::uint16_t serverPort, RelayPath path, std::uint16_t listenPort,
                   std::chrono::seconds lifetime)
    : serverPort_(serverPort), path_(path) {
  listen_ = StampingSocket(listenPort);
  if (listen_ < 0) throw std::runtime_error("udp relay: cannot bind 127.0.0.1");
  port_ = LocalPort(listen_);
  const auto end = Steady::now() + lifetime;
  thread_ = std::thread([this, end] { run(end); });
}

UdpRelay::~UdpRelay() {
  stop();
  ::close(listen_);
}

void UdpRelay::setPath(RelayPath path) {
  const std::lock_guard lock(mutex_);
  path_ = path;
}

std::chrono::microseconds UdpRelay::takeLateness() {
  const std::lock_guard lock(mutex_);
  return std::exchange(recentLateness_, std::chrono::microseconds{0});
}

std::chrono::microseconds UdpRelay::worstLateness() const {
  const std::lock_guard lock(mutex_);
  return worstLateness_;
}

void UdpRelay::wait() {
  if (thread_.joinable()) thread_.join();
}

void UdpRelay::stop() {
  stop_ = true;
  wait();
}

void UdpRelay::run(Steady::time_point end) {
  // Wake at the due time, not within the default 50 µs of slack after it,
  // and ahead of busy processes where the system allows it (as root): the
  // thread sleeps but for a few microseconds a datagram.
  ::prctl(PR_SET_TIMERSLACK, 1UL);
  sched_param realtime{};
  realtime.sched_priority = 10;
  ::pthread_setschedparam(::pthread_self(), SCHED_FIFO, &realtime);
  std::vector<Client> clients;
  std::multimap<Steady::time_point, Held> held;
  const auto hold = [&](Steady::time_point due, Held h) {
    if (held.size() < kMaxHeld) held.emplace(due, std::move(h));
  };
  const auto clientFor = [&](std::uint16_t port) -> Client* {
    for (Client& c : clients) {
      if (c.port == port) return &c;
    }
    if (clients.size() >= kMaxClients) {
      // Room for a new client at the cost of the one heard from longest ago
      // that has nothing held; none such, and the newcomer is not served.
      const auto idle = [&](const Client& c) {
        return std::none_of(held.begin(), held.end(),
                            [&](const auto& h) { return h.second.fd == c.upstream; });
      };
      auto oldest = clients.end();
      for (auto c = clients.begin(); c != clients.end(); ++c) {
        if (idle(*c) && (oldest == clients.end() || c->lastHeard < oldest->lastHeard)) oldest = c;
      }
      if (oldest == clients.end()) return nullptr;
      ::close(oldest->upstream);
      clients.erase(oldest);
    }
    const int fd = StampingSocket(0);
    if (fd < 0) return nullptr;
    const sockaddr_in server = LoopbackAddress(serverPort_);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&server), sizeof server) != 0) {
      ::close(fd);
      return nullptr;
    }
    clients.push_back({port, fd, Steady::now()});
    return &clients.back();
  };

  std::vector<pollfd> fds;
  Datagram d;
  while (!stop_ && Steady::now() < end) {
    while (!held.empty() && held.begin()->first <= Steady::now()) {
      const auto due = held.begin()->first;
      const Held& h = held.begin()->second;
      ++forwarded_;
      {
        // Noted before the datagram leaves, so that whoever receives it
        // finds its lateness counted.
        const std::lock_guard lock(mutex_);
        const auto late =
            std::chrono::duration_cast<std::chrono::microseconds>(Steady::now() - due);
        recentLateness_ = std::max(recentLateness_, late);
        worstLateness_ = std::max(worstLateness_, late);
      }
      if (h.toPort != 0) {
        const sockaddr_in to = LoopbackAddress(h.toPort);
        ::sendto(h.fd, h.bytes.data(), h.bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to),
                 sizeof to);
      } else {
        ::send(h.fd, h.bytes.data(), h.bytes.size(), 0);
      }
      held.erase(held.begin());
    }

    auto wakeAt = std::min(end, Steady::now() + kIdleWake);
    if (!held.empty()) wakeAt = std::min(wakeAt, held.begin()->first);
    const auto wait = std::max(Steady::duration::zero(), wakeAt - Steady::now());
    const auto secs = std::chrono::duration_cast<std::chrono::seconds>(wait);
    const timespec timeout{static_cast<time_t>(secs.count()),
                           static_cast<long>(std::chrono::nanoseconds(wait - secs).count())};
    fds.assign(1, pollfd{listen_, POLLIN, 0});
    for (const Client& c : clients) fds.push_back({c.upstream, POLLIN, 0});
    if (::ppoll(fds.data(), fds.size(), &timeout, nullptr) <= 0) continue;

    RelayPath path;
    {
      const std::lock_guard lock(mutex_);
      path = path_;
    }
    // An error (a refusal the system reported for an earlier datagram) is
    // taken by the next receive, so a socket that shows one is read too.
    constexpr short kReadable = POLLIN | POLLERR;
    if (fds[0].revents & kReadable) {
      while (ReceiveOne(listen_, d)) {
        if (d.source.sin_addr.s_addr != htonl(INADDR_LOOPBACK)) continue;
        Client* c = clientFor(ntohs(d.source.sin_port));
        if (c == nullptr) continue;
        c->lastHeard = d.arrived;
        hold(d.arrived + path.out, {std::move(d.bytes), c->upstream, 0});
      }
    }
    // Clients may have come and gone above: each socket finds its own.
    for (std::size_t i = 1; i < fds.size(); ++i) {
      if (!(fds[i].revents & kReadable)) continue;
      const auto c = std::find_if(clients.begin(), clients.end(),
                                  [&](const Client& k) { return k.upstream == fds[i].fd; });
      if (c == clients.end()) continue;
      while (ReceiveOne(c->upstream, d)) {
        hold(d.arrived + path.back, {std::move(d.bytes), listen_, c->port});
      }
    }
  }
  for (const Client& c : clients) ::close(c.upstream);
  finished_ = true;
}

}  // namespace hv::test

#endif
