#pragma once
// Get Server Time for the maker's own host: one form post asks the maker's
// date-time endpoint for the current GMT, which is then turned into local
// time by the time zone read at that moment.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/http.h"
#include "time/datetime.h"

namespace hv::web {

inline constexpr wchar_t kDateTimePath[] = L"/php/horvane_serverdatetime.php";

// "dd/mm/yyyy hh:nn:ss" with fixed separators, whatever the regional
// settings. Single-digit day, month and hours are accepted too; blanks
// around the line are ignored.
std::optional<time::TDateTime> ParseMakerDateTime(std::wstring_view line);

// GMT into local time by the zone's full bias in minutes, plus its daylight
// bias when the Daylight Saving box is ticked.
time::TDateTime GmtToLocal(time::TDateTime gmt, const platform::TimeZoneInfo& zone,
                           bool daylightSaving);

struct MakerTimeFetch {
  enum class Outcome { Time, NoAnswer, TooOld, Failed };
  Outcome outcome = Outcome::NoAnswer;
  time::TDateTime time = 0;       // local time, for Outcome::Time
  std::int64_t receivedAtUs = 0;  // when the answer came, on the steady clock
  std::wstring failure;           // the message to pass on, for Outcome::Failed
};

// Posts "cmd=datetime" secure first. An empty answer is NoAnswer; a date of
// 2000 or earlier is TooOld, as an SNTP answer would be; a failed second
// attempt, or a first line that is not a date and time, is Failed.
// What the answer's text gives: the first line read as GMT and turned into
// local time by the zone of this moment.
MakerTimeFetch ReadMakerAnswer(const std::wstring& answer, platform::Clock& clock,
                               bool daylightSaving);

MakerTimeFetch FetchMakerDateTime(platform::Http& http, platform::Clock& clock,
                                  std::wstring_view makerHost, bool daylightSaving);

}  // namespace hv::web
