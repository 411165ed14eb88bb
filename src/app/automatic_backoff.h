#pragma once
// How often the automatic check may try a server that keeps failing. After
// a failed turn it waits 20 s, then 40 s, doubling up to 15 minutes; a
// success, another server or the box ticked again starts afresh. A server
// that answered with a kiss-o'-death asking its clients to stop gets no
// automatic turn at all until the user chooses another server or ticks the
// box again; the buttons still reach it.
#include <algorithm>
#include <cstdint>
#include <string>

namespace hv::app {

class AutomaticBackoff {
 public:
  static constexpr std::int64_t kFirstWaitUs = 20'000'000;
  static constexpr std::int64_t kLongestWaitUs = 900'000'000;

  bool allows(std::int64_t nowUs, const std::wstring& host) const {
    if (host != host_) return true;
    return !stopped_ && nowUs >= notBeforeUs_;
  }
  // A turn against host that ended at nowUs without a time.
  void failed(std::int64_t nowUs, const std::wstring& host) {
    forget(host);
    waitUs_ = waitUs_ == 0 ? kFirstWaitUs : std::min(2 * waitUs_, kLongestWaitUs);
    notBeforeUs_ = nowUs + waitUs_;
  }
  void succeeded(const std::wstring& host) {
    forget(host);
    waitUs_ = 0;
    notBeforeUs_ = 0;
  }
  void kissed(const std::wstring& host) {
    forget(host);
    stopped_ = true;
  }
  void reset() { *this = {}; }

 private:
  // What was learnt of another host does not hold for this one.
  void forget(const std::wstring& host) {
    if (host == host_) return;
    *this = {};
    host_ = host;
  }

  std::wstring host_;
  std::int64_t waitUs_ = 0;
  std::int64_t notBeforeUs_ = 0;
  bool stopped_ = false;
};

}  // namespace hv::app
