#include "web/maker_date_time.h"

#include "i18n/text_decode.h"
#include "time/year_threshold.h"
#include "web/answer_excerpt.h"
#include "web/post_form.h"

namespace hv::web {
namespace {

bool IsBlank(wchar_t c) {
  return c == L' ' || c == L'\t';
}

// Reads minDigits to maxDigits decimal digits at pos.
std::optional<int> ReadNumber(std::wstring_view s, std::size_t& pos, std::size_t minDigits,
                              std::size_t maxDigits) {
  int value = 0;
  std::size_t n = 0;
  while (pos < s.size() && n < maxDigits && s[pos] >= L'0' && s[pos] <= L'9') {
    value = value * 10 + (s[pos] - L'0');
    ++pos;
    ++n;
  }
  if (n < minDigits) return std::nullopt;
  return value;
}

bool Expect(std::wstring_view s, std::size_t& pos, wchar_t c) {
  if (pos >= s.size() || s[pos] != c) return false;
  ++pos;
  return true;
}

bool IsLeapYear(int y) {
  return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

}  // namespace

std::optional<time::TDateTime> ParseMakerDateTime(std::wstring_view line) {
  while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
  while (!line.empty() && IsBlank(line.back())) line.remove_suffix(1);
  std::size_t pos = 0;
  const auto day = ReadNumber(line, pos, 1, 2);
  if (!day || !Expect(line, pos, L'/')) return std::nullopt;
  const auto month = ReadNumber(line, pos, 1, 2);
  if (!month || !Expect(line, pos, L'/')) return std::nullopt;
  const auto year = ReadNumber(line, pos, 4, 4);
  if (!year || !Expect(line, pos, L' ')) return std::nullopt;
  const auto hour = ReadNumber(line, pos, 1, 2);
  if (!hour || !Expect(line, pos, L':')) return std::nullopt;
  const auto minute = ReadNumber(line, pos, 2, 2);
  if (!minute || !Expect(line, pos, L':')) return std::nullopt;
  const auto second = ReadNumber(line, pos, 2, 2);
  if (!second || pos != line.size()) return std::nullopt;
  if (*year < 1 || *month < 1 || *month > 12 || *day < 1 || *day > DaysInMonth(*year, *month) ||
      *hour > 23 || *minute > 59 || *second > 59)
    return std::nullopt;
  return time::EncodeDateTime(*year, *month, *day, *hour, *minute, *second, 0);
}

time::TDateTime GmtToLocal(time::TDateTime gmt, const platform::TimeZoneInfo& zone,
                           bool daylightSaving) {
  // UTC = local + bias, so local = UTC - bias; the daylight bias adds on top.
  std::int64_t minutes = -static_cast<std::int64_t>(zone.bias);
  if (daylightSaving) minutes -= zone.daylightBias;
  return time::AddMilliseconds(gmt, minutes * 60 * 1000);
}

MakerTimeFetch ReadMakerAnswer(const std::wstring& answer, platform::Clock& clock,
                               bool daylightSaving) {
  MakerTimeFetch result;
  const auto lines = i18n::SplitLines(answer);
  if (lines.empty()) return result;
  const auto gmt = ParseMakerDateTime(lines.front());
  if (!gmt) {
    result.outcome = MakerTimeFetch::Outcome::Failed;
    // The line is the host's own text: shown only cut and cleaned.
    result.failure = L"'" + AnswerExcerpt(lines.front()) + L"' is not a valid date and time";
    return result;
  }
  result.time = GmtToLocal(*gmt, clock.timeZone(), daylightSaving);
  result.outcome = time::YearAcceptable(result.time) ? MakerTimeFetch::Outcome::Time
                                                     : MakerTimeFetch::Outcome::TooOld;
  return result;
}

MakerTimeFetch FetchMakerDateTime(platform::Http& http, platform::Clock& clock,
                                  std::wstring_view makerHost, bool daylightSaving) {
  std::wstring answer;
  try {
    answer = PostSecureFirst(http, std::wstring(makerHost) + kDateTimePath, {L"cmd=datetime"},
                             FormUse::DateTime)
                 .text;
  } catch (const Error& e) {
    MakerTimeFetch failed;
    failed.outcome = MakerTimeFetch::Outcome::Failed;
    failed.failure = e.message();
    return failed;
  }
  const std::int64_t receivedAtUs = clock.steadyMicroseconds();
  MakerTimeFetch result = ReadMakerAnswer(answer, clock, daylightSaving);
  result.receivedAtUs = receivedAtUs;
  return result;
}

}  // namespace hv::web
