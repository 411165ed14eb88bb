// Answers of the maker's web site, any bytes with any Content-Type, through
// everything that reads them: the charset decoding, the line splitting, the
// date-time line, the tagged lines and the whole update check.
//
// Input: byte 0 picks the Content-Type and the transport (bit 0: plain
// HTTP, bits 1-3: the charset); byte 1 bit 0 has the https attempt fail;
// the rest is the body.
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
#include "web/answer_text.h"
#include "web/maker_date_time.h"
#include "web/parse_tag.h"
#include "web/post_form.h"
#include "web/update_check.h"

namespace {

using namespace hv;

void require(bool ok) {
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

void checkLines(const std::wstring& text) {
  const auto lines = i18n::SplitLines(text);
  for (const auto& line : lines) {
    require(line.find(L'\r') == std::wstring::npos && line.find(L'\n') == std::wstring::npos);
    if (const auto t = web::ParseMakerDateTime(line)) {
      // What parses is a real date and time, and reads back as itself.
      require(time::yearOf(*t) >= 1000);
      require(web::ParseMakerDateTime(time::formatDisplay(*t, L"/", L":")) == t);
    }
    for (const wchar_t* tag : {L"version", L"url", L"price", L"result"}) {
      const std::wstring value = web::ParseTag(line, tag);
      if (!value.empty())
        require(line == L"<" + std::wstring(tag) + L">" + value + L"</" + tag + L">");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const bool plain = data[0] & 1;
  const wchar_t* contentType = kContentTypes[(data[0] >> 1) & 7];
  const bool secureFails = data[1] & 1;
  const std::string body(reinterpret_cast<const char*>(data + 2), size - 2);

  const std::wstring text = web::DecodeAnswer(
      body, contentType, plain ? web::CharsetDefault::OneBytePerChar : web::CharsetDefault::Utf8);
  checkLines(text);

  // The same bytes as the date-time endpoint's answer.
  {
    test::FakeHttp http;
    test::FakeClock clock;
    clock.setBias(-330);
    const std::wstring url =
        std::wstring(secureFails ? L"http://" : L"https://") + L"h" + web::kDateTimePath;
    if (secureFails) http.fail(L"https://h" + std::wstring(web::kDateTimePath), L"down");
    http.answer(url, body, 200, contentType);
    const auto r = web::FetchMakerDateTime(http, clock, L"h", true);
    require(r.outcome != web::MakerTimeFetch::Outcome::Failed || !r.failure.empty());
    require(http.clientsAlive == 0);
  }

  // And as the check endpoint's.
  {
    web::ResetUpdateCheckForTests();
    test::FakeHttp http;
    test::FakeRegistry registry;
    test::FakeLocaleInfo locale;
    test::FakeClock clock;
    const std::wstring endpoint = L"h" + std::wstring(web::kCheckPath);
    if (secureFails) http.fail(L"https://" + endpoint, L"down");
    http.answer((secureFails ? L"http://" : L"https://") + endpoint, body, plain ? 404 : 200,
                contentType);
    web::CheckForUpdate({http, registry, locale, clock, L"h", L"CALVION - Horvane", L"2.2"});
    require(web::CheckDone());
    // Nothing is taken from an answer the log refused.
    if (web::CheckFailed()) require(!web::UpdateAvailable() && web::LatestVersion().empty());
    if (web::UpdateAvailable()) require(web::LatestVersion() != L"2.2");
    web::ResetUpdateCheckForTests();
  }
  return 0;
}
