// Answers of the maker's web site, any bytes with any Content-Type, through
// everything that reads them: the charset decoding, the line splitting, the
// date-time line, the tagged lines and the update check's reading.
//
// Input: byte 0 picks the Content-Type and the transport's fallback charset
// (bit 0: plain HTTP, bits 1-3: the Content-Type); the rest is the body.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "i18n/text_decode.h"
#include "support/fake_clock.h"
#include "support/fake_http.h"
#include "support/fake_locale_info.h"
#include "support/fake_registry.h"
#include "time/datetime.h"
#include "time/year_threshold.h"
#include "web/answer_text.h"
#include "web/download_link.h"
#include "web/maker_date_time.h"
#include "web/parse_tag.h"
#include "web/update_check.h"

namespace {

using namespace hv;

void Require(bool ok) {
  if (!ok) std::abort();
}

const wchar_t* const kContentTypes[] = {
    L"",
    L"text/html",
    L"text/html; charset=UTF-8",
    L"text/plain; charset=ISO-8859-1",
    L"text/plain; charset=\"windows-1252\"",
    L"text/plain;charset=utf-16be",
    L"text/plain; charset=us-ascii",
    L"text/plain; charset=x-unknown; q=1",
};

void CheckLines(const std::wstring& text) {
  const auto lines = i18n::SplitLines(text);
  for (const auto& line : lines) {
    Require(line.find(L'\r') == std::wstring::npos && line.find(L'\n') == std::wstring::npos);
    if (const auto t = web::ParseMakerDateTime(line)) {
      // What parses is a real date and time, and reads back as itself.
      Require(web::ParseMakerDateTime(time::FormatDisplay(*t, L"/", L":")) == t);
    }
    for (const wchar_t* tag : {L"version", L"url", L"price", L"result"}) {
      const std::wstring value = web::ParseTag(line, tag);
      if (!value.empty())
        Require(line == L"<" + std::wstring(tag) + L">" + value + L"</" + tag + L">");
    }
  }
}

// What stays the same from input to input is built once: the fakes, and a
// whole check against them, which opens the store the answer is kept in.
struct World {
  test::FakeHttp http;
  test::FakeRegistry registry;
  test::FakeLocaleInfo locale;
  test::FakeClock clock;
  web::UpdateCheckContext check{http, registry, locale, clock, L"h", L"CALVION - Horvane", L"2.2"};
  World() {
    clock.setBias(-330);
    web::CheckForUpdate(check);
  }
};

World& FuzzWorld() {
  static World w;
  return w;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const bool plain = data[0] & 1;
  const wchar_t* contentType = kContentTypes[(data[0] >> 1) & 7];
  const std::string_view body(reinterpret_cast<const char*>(data + 1), size - 1);

  const std::wstring text = web::DecodeAnswer(
      body, contentType, plain ? web::CharsetDefault::OneBytePerChar : web::CharsetDefault::Utf8);
  CheckLines(text);
  World& w = FuzzWorld();

  // The text as the date-time endpoint's answer.
  const auto r = web::ReadMakerAnswer(text, w.clock, true);
  Require(r.outcome != web::MakerTimeFetch::Outcome::Failed || !r.failure.empty());
  // Only a date after 2000 may reach the clock.
  Require(r.outcome != web::MakerTimeFetch::Outcome::Time || time::YearAcceptable(r.time));

  // And as the check endpoint's.
  web::ClearCheckErrors();
  const bool overHttps = data[0] & 16;
  web::TakeCheckAnswer(w.check, text, overHttps);
  // Nothing is taken from an answer the log refused.
  if (web::CheckFailed()) Require(!web::UpdateAvailable() && web::LatestVersion().empty());
  // Only a safe address of a secure answer reaches the notice.
  const std::wstring url = web::DownloadURL();
  Require(url.empty() || (overHttps && web::IsSafeWebAddress(url)));
  Require(web::LatestVersion().size() <= web::kMaxStoredText);
  if (web::UpdateAvailable()) Require(web::LatestVersion() != L"2.2");
  return 0;
}
