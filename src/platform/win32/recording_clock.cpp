#include "platform/win32/recording_clock.h"

#include <windows.h>

#include <cstdio>
#include <utility>

#include "platform/win32/files_win32.h"

namespace hv::platform::win32 {
namespace {

// FILETIME counts 100 ns from 1601; this many of them lie before 1970.
constexpr std::int64_t kUnixEpochTicks = 116444736000000000;

}  // namespace

RecordingClock::RecordingClock(Clock& real, std::wstring recordPath)
    : real_(real), recordPath_(std::move(recordPath)) {}

std::string RecordingClock::recordLine(const SystemTime& t, bool utc,
                                       std::int64_t atUtcMicroseconds) {
  const auto ticks = static_cast<std::uint64_t>(atUtcMicroseconds * 10 + kUnixEpochTicks);
  FILETIME f{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  SYSTEMTIME at{};
  FileTimeToSystemTime(&f, &at);
  char buf[96];
  std::snprintf(buf, sizeof buf,
                "%04u-%02u-%02u %02u:%02u:%02u.%03u%s at %04u-%02u-%02u %02u:%02u:%02u.%06u UTC",
                unsigned{t.year}, unsigned{t.month}, unsigned{t.day}, unsigned{t.hour},
                unsigned{t.minute}, unsigned{t.second}, unsigned{t.milliseconds}, utc ? " UTC" : "",
                unsigned{at.wYear}, unsigned{at.wMonth}, unsigned{at.wDay}, unsigned{at.wHour},
                unsigned{at.wMinute}, unsigned{at.wSecond},
                static_cast<unsigned>(atUtcMicroseconds % 1000000));
  return buf;
}

std::wstring RecordingClock::recordPath() const {
  if (!recordPath_.empty()) return recordPath_;
  const DWORD size = GetEnvironmentVariableW(L"HORVANE_CLOCK_LOG", nullptr, 0);
  if (size > 1) {
    std::wstring value(size, L'\0');
    const DWORD n = GetEnvironmentVariableW(L"HORVANE_CLOCK_LOG", value.data(), size);
    if (n > 0 && n < size) return value.substr(0, n);
  }
  return FolderWithSeparator(ModuleFileName(), L'\\') + L"clock-writes.log";
}

bool RecordingClock::record(const SystemTime& t, bool utc) {
  return AppendToFile(recordPath(), recordLine(t, utc, real_.utcMicroseconds()) + "\r\n");
}

}  // namespace hv::platform::win32
