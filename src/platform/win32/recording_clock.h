#pragma once
// The clock of the build the end-to-end journeys drive: it reads the clock it
// wraps and records writes to a file instead of passing them on.
#include "platform/clock.h"

namespace hv::platform::win32 {

class RecordingClock : public Clock {
 public:
  // recordPath: empty means the file named by HORVANE_CLOCK_LOG, or else
  // clock-writes.log next to the program.
  explicit RecordingClock(Clock& real, std::wstring recordPath = {});

  SystemTime localTime() override { return real_.localTime(); }
  std::int64_t utcMicroseconds() override { return real_.utcMicroseconds(); }
  TimeZoneInfo timeZone() override { return real_.timeZone(); }
  bool setLocalTime(const SystemTime& t) override { return record(t, false); }
  bool setSystemTime(const SystemTime& utc) override { return record(utc, true); }
  std::int64_t steadyMicroseconds() override { return real_.steadyMicroseconds(); }

  // One line of the record: the value, "UTC" when it was one, and the
  // computer's own UTC clock at the write, so that a reader can tell how far
  // the written clock lies from the true one:
  // "2021-12-24 18:05:09.750 UTC at 2021-12-24 18:05:09.748312 UTC".
  static std::string recordLine(const SystemTime& t, bool utc, std::int64_t atUtcMicroseconds);

 private:
  std::wstring recordPath() const;
  bool record(const SystemTime& t, bool utc);

  Clock& real_;
  std::wstring recordPath_;
};

}  // namespace hv::platform::win32
