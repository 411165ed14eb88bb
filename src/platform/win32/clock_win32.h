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
  // Each recorded line is recordLine(t), " at " and recordStamp(now).
  explicit Win32Clock(std::wstring recordPath = {});

  SystemTime localTime() override;
  TimeZoneInfo timeZone() override;
  bool setLocalTime(const SystemTime& t) override;
  std::int64_t steadyMicroseconds() override;

  // True in a build that records clock writes instead of making them.
  static bool recordsWrites();
  // The line a recording build writes for t: "2021-12-24 18:05:09.750".
  static std::string recordLine(const SystemTime& t);
  // UTC of a FILETIME to the microsecond, "2021-12-24T17:05:09.750123Z":
  // what follows " at " on a recorded line, the real clock when the write
  // was made.
  static std::string recordStamp(std::uint64_t fileTime);

 private:
  std::wstring recordPath() const;

  std::wstring recordPath_;
};

}  // namespace hv::platform::win32
