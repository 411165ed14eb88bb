// The maker's date-time endpoint: the fixed parse of its first line and the
// turn from GMT into local time by the zone read at fetch time.
#include <gtest/gtest.h>

#include "support/fake_clock.h"
#include "support/fake_http.h"
#include "web/maker_date_time.h"

namespace hv::web {
namespace {

using test::FakeClock;
using test::FakeHttp;
using time::EncodeDateTime;
using time::FormatDisplay;

constexpr wchar_t kHost[] = L"127.0.0.1:18080";
const std::wstring kHttps = L"https://127.0.0.1:18080/php/horvane_serverdatetime.php";
const std::wstring kHttp = L"http://127.0.0.1:18080/php/horvane_serverdatetime.php";

std::wstring ShownText(time::TDateTime t) {
  return FormatDisplay(t, L"/", L":");
}

TEST(ParseMakerDateTime, ReadsDayFirstWithFixedSeparators) {
  EXPECT_EQ(ParseMakerDateTime(L"24/12/2021 18:05:09"), EncodeDateTime(2021, 12, 24, 18, 5, 9, 0));
  EXPECT_EQ(ParseMakerDateTime(L"  01/02/2024 00:00:00 "), EncodeDateTime(2024, 2, 1, 0, 0, 0, 0));
  EXPECT_EQ(ParseMakerDateTime(L"1/2/2024 7:08:09"), EncodeDateTime(2024, 2, 1, 7, 8, 9, 0));
  EXPECT_EQ(ParseMakerDateTime(L"29/02/2024 23:59:59"), EncodeDateTime(2024, 2, 29, 23, 59, 59, 0));
}

TEST(ParseMakerDateTime, RefusesEverythingElse) {
  for (const wchar_t* bad :
       {L"", L"<html>", L"<!DOCTYPE html>", L"24.12.2021 18:05:09", L"2021/12/24 18:05:09",
        L"24/12/21 18:05:09", L"24/12/2021", L"24/12/2021 18:05", L"24/12/2021 18:05:09 GMT",
        L"32/12/2021 18:05:09", L"29/02/2023 10:00:00", L"24/13/2021 18:05:09",
        L"24/12/2021 24:00:00", L"24/12/2021 18:60:09", L"00/12/2021 18:05:09",
        L"24/12/2021\t18:05:09", L"24/12/2021  18:05:09"}) {
    EXPECT_EQ(ParseMakerDateTime(bad), std::nullopt) << std::string(bad, bad + wcslen(bad));
  }
}

platform::TimeZoneInfo Zone(int bias, int daylightBias = 0) {
  platform::TimeZoneInfo z;
  z.bias = bias;
  z.daylightBias = daylightBias;
  return z;
}

TEST(GmtToLocal, CorrectsByTheWholeBiasInMinutes) {
  const auto gmt = EncodeDateTime(2021, 12, 24, 18, 5, 9, 0);
  struct Case {
    int bias, daylightBias;
    bool daylight;
    const wchar_t* local;
  };
  const Case cases[] = {
      {-120, -60, false, L"24/12/2021 20:05:09"},  // GMT+2
      {-120, -60, true, L"24/12/2021 21:05:09"},   // and the daylight bias of -60
      {-330, 0, false, L"24/12/2021 23:35:09"},    // GMT+5:30 keeps its half hour
      {210, -60, false, L"24/12/2021 14:35:09"},   // GMT-3:30
      {210, -60, true, L"24/12/2021 15:35:09"},   {0, -60, false, L"24/12/2021 18:05:09"},
      {-345, 0, true, L"24/12/2021 23:50:09"},   // GMT+5:45, no daylight bias
      {-600, 0, false, L"25/12/2021 04:05:09"},  // across midnight
  };
  for (const auto& c : cases)
    EXPECT_EQ(ShownText(GmtToLocal(gmt, Zone(c.bias, c.daylightBias), c.daylight)), c.local)
        << c.bias << " " << c.daylight;
}

struct Fetch : ::testing::Test {
  FakeHttp http;
  FakeClock clock;
};

TEST_F(Fetch, TakesTheFirstLineAndTheZoneOfThisMoment) {
  http.answer(kHttps, "24/12/2021 18:05:09\r\n<result>1</result>\r\n");
  clock.zone = Zone(-330);
  const auto r = FetchMakerDateTime(http, clock, kHost, false);
  ASSERT_EQ(r.outcome, MakerTimeFetch::Outcome::Time);
  EXPECT_EQ(ShownText(r.time), L"24/12/2021 23:35:09");
  EXPECT_EQ(clock.timeZoneCalls, 1);
  ASSERT_EQ(http.sent.size(), 1u);
  EXPECT_EQ(http.sent[0].request.body, "cmd=datetime");
  EXPECT_EQ(http.sent[0].request.timeoutMs, 3000u);
  EXPECT_FALSE(http.sent[0].hasHeader(L"Connection"));
}

TEST_F(Fetch, TheDaylightBiasIsReadAtFetchTimeWhenTheBoxIsTicked) {
  http.answer(kHttps, "24/12/2021 18:05:09");
  clock.zone = Zone(-120, -60);
  EXPECT_EQ(ShownText(FetchMakerDateTime(http, clock, kHost, true).time), L"24/12/2021 21:05:09");
  EXPECT_EQ(ShownText(FetchMakerDateTime(http, clock, kHost, false).time), L"24/12/2021 20:05:09");
}

TEST_F(Fetch, AnHttpAnswerServesWhenHttpsFails) {
  http.fail(kHttps, L"The certificate authority is invalid or incorrect");
  http.answer(kHttp, "01/06/2022 12:00:00");
  const auto r = FetchMakerDateTime(http, clock, kHost, false);
  ASSERT_EQ(r.outcome, MakerTimeFetch::Outcome::Time);
  EXPECT_EQ(ShownText(r.time), L"01/06/2022 12:00:00");
  // The date-time use keeps the platform client for the plain attempt too.
  EXPECT_EQ(http.sent.at(1).kind, FakeHttp::Kind::Platform);
}

TEST_F(Fetch, ADateOf2000OrEarlierIsRefusedLikeAnSntpAnswer) {
  const struct {
    const char* answer;
    MakerTimeFetch::Outcome outcome;
  } cases[] = {
      {"31/12/1999 23:59:59", MakerTimeFetch::Outcome::TooOld},
      {"4/12/0021 18:05:09", MakerTimeFetch::Outcome::TooOld},
      {"31/12/2000 23:59:59", MakerTimeFetch::Outcome::TooOld},
      {"01/01/2001 00:00:00", MakerTimeFetch::Outcome::Time},
      {"\xEF\xBB\xBF"
       "24/12/2021 18:05:09",
       MakerTimeFetch::Outcome::Time},
  };
  for (const auto& c : cases) {
    FakeHttp h;
    h.answer(kHttps, c.answer);
    EXPECT_EQ(FetchMakerDateTime(h, clock, kHost, false).outcome, c.outcome) << c.answer;
  }
}

TEST_F(Fetch, AnEmptyAnswerChangesNothing) {
  http.answer(kHttps, "");
  EXPECT_EQ(FetchMakerDateTime(http, clock, kHost, false).outcome,
            MakerTimeFetch::Outcome::NoAnswer);
}

TEST_F(Fetch, AnErrorPageFailsWithItsFirstLine) {
  http.answer(kHttps, "<html><head><title>404 Not Found</title></head>\n<body></body></html>", 404);
  const auto r = FetchMakerDateTime(http, clock, kHost, false);
  EXPECT_EQ(r.outcome, MakerTimeFetch::Outcome::Failed);
  EXPECT_EQ(r.failure,
            L"'<html><head><title>404 Not Found</title></head>' is not a valid date and time");
}

// The line is the host's: what the error report quotes of it is short and
// cannot reorder or hide the report's own words.
TEST_F(Fetch, TheQuotedLineIsCleanedAndCut) {
  const std::string long200(200, 'x');
  const struct {
    std::string line;
    std::wstring quoted;
  } cases[] = {
      {"ab\x01"
       "c\x7f"
       "d\tE",
       L"abcdE"},
      // U+202E, U+2066, U+2069, U+200F, U+200E and U+0085 between the letters.
      {"a\u202e"
       "b\u2066"
       "c\u2069"
       "d\u200f"
       "e\u200e"
       "f\u0085"
       "g",
       L"abcdefg"},
      {std::string(120, 'y'), std::wstring(120, L'y')},
      {long200, std::wstring(119, L'x') + L"\u2026"},
      // Removed first, then cut: the marks take no room.
      {std::string(60, '\x02') + std::string(120, 'z'), std::wstring(120, L'z')},
  };
  for (const auto& c : cases) {
    FakeHttp h;
    h.answer(kHttps, c.line + "\r\nsecond line");
    const auto r = FetchMakerDateTime(h, clock, kHost, false);
    EXPECT_EQ(r.outcome, MakerTimeFetch::Outcome::Failed);
    EXPECT_EQ(r.failure, L"'" + c.quoted + L"' is not a valid date and time") << c.line;
  }
}

TEST_F(Fetch, WhenBothAttemptsFailTheSecondFailureIsPassedOn) {
  http.fail(kHttps, L"secure failure");
  http.fail(kHttp, L"plain failure");
  const auto r = FetchMakerDateTime(http, clock, kHost, false);
  EXPECT_EQ(r.outcome, MakerTimeFetch::Outcome::Failed);
  EXPECT_EQ(r.failure, L"plain failure");
  EXPECT_EQ(clock.timeZoneCalls, 0);
}

}  // namespace
}  // namespace hv::web
