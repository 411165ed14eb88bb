#pragma once
// The computer's clock and time zone through the Win32 time calls. Built with
// HORVANE_RECORD_CLOCK=1 it records clock writes to a file instead of making
// them.
#include "platform/clock.h"

namespace hv::platform::win32 {

class Win32Clock : public Clock {
 public:
  // recordPath: where a recording build writes; empty means the file named
  // by HORVANE_CLOCK_LOG, or else clock-writes.log next to the program.
  explicit Win32Clock(std::wstring recordPath = {});

  SystemTime localTime() override;
  std::int64_t utcMicroseconds() override;
  TimeZoneInfo timeZone() override;
  bool setLocalTime(const SystemTime& t) override;
  bool setSystemTime(const SystemTime& utc) override;
  std::int64_t steadyMicroseconds() override;

  // True in a build that records clock writes instead of making them.
  static bool recordsWrites();
  // The line a recording build writes: the value, "UTC" when it was one,
  // and the computer's own UTC clock at the write, so that a reader can tell
  // how far the written clock lies from the true one:
  // "2021-12-24 18:05:09.750 UTC at 2021-12-24 18:05:09.748312 UTC".
  static std::string recordLine(const SystemTime& t, bool utc, std::int64_t atUtcMicroseconds);

 private:
  std::wstring recordPath() const;
  bool record(const SystemTime& t, bool utc);

  std::wstring recordPath_;
};

}  // namespace hv::platform::win32
