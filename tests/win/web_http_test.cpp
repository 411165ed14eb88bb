// Both WinHTTP clients under Wine against the loopback maker site: its
// listener speaks HTTPS with a certificate the prefix trusts, plain HTTP on
// the same port, and there are listeners with an untrusted certificate and
// one that never answers. run-web.sh starts them and names their ports.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

#include "base/error.h"
#include "platform/win32/http_win32.h"
#include "support/fake_clock.h"
#include "web/maker_date_time.h"
#include "web/post_form.h"

namespace hv::web {
namespace {

using Steady = std::chrono::steady_clock;

std::wstring PortOf(const char* variable) {
  const char* value = std::getenv(variable);
  return value ? std::wstring(value, value + std::strlen(value)) : L"";
}

class WinHttpMaker : public ::testing::Test {
 protected:
  void SetUp() override {
    port = PortOf("HORVANE_MAKER_PORT");
    if (port.empty()) GTEST_SKIP() << "run through tests/win/run-web.sh";
  }
  std::wstring host(const char* variable = "HORVANE_MAKER_PORT") const {
    return L"127.0.0.1:" + PortOf(variable);
  }
  std::wstring url(const wchar_t* scheme, const wchar_t* path,
                   const char* variable = "HORVANE_MAKER_PORT") const {
    return scheme + host(variable) + path;
  }
  std::wstring post(const std::wstring& address, FormUse use,
                    std::vector<std::wstring> fields = {L"cmd=x"}) {
    return PostForm(http, address, fields, use);
  }
  platform::win32::Win32Http http;
  std::wstring port;
};

bool Contains(const std::wstring& text, const std::wstring& part) {
  return text.find(part) != std::wstring::npos;
}

TEST_F(WinHttpMaker, TheSecurePathCarriesTheFormWithTheUsesHeaders) {
  const auto text = post(url(L"https://", L"/echo"), FormUse::UpdateCheck,
                         {L"cmd=check", L"appname=CALVION - Horvane", L"note=a=b",
                          L"text=\u041f\u0440\u0438\u0432\u0435\u0442"});
  EXPECT_TRUE(Contains(text, L"Scheme: https")) << text;
  EXPECT_TRUE(Contains(text, L"Content-Type: application/x-www-form-urlencoded; charset=utf-8"));
  EXPECT_TRUE(Contains(text, L"Connection: close"));
  EXPECT_TRUE(Contains(text,
                       L"\n\ncmd=check&appname=CALVION+-+Horvane&note=a%3Db"
                       L"&text=%D0%9F%D1%80%D0%B8%D0%B2%D0%B5%D1%82"))
      << text;
}

TEST_F(WinHttpMaker, ThePlainTransportSendsItsOwnContentType) {
  const auto text = post(url(L"http://", L"/echo"), FormUse::Feedback, {L"email="});
  EXPECT_TRUE(Contains(text, L"Scheme: http\n")) << text;
  EXPECT_TRUE(Contains(text, L"Content-Type: application/x-www-form-urlencoded\n"));
  EXPECT_TRUE(Contains(text, L"Connection: close"));
  EXPECT_TRUE(text.ends_with(L"\n\nemail="));
}

TEST_F(WinHttpMaker, TheDateTimeUseTakesThePlatformClientForPlainHttpWithoutClose) {
  const auto text = post(url(L"http://", L"/echo"), FormUse::DateTime);
  EXPECT_TRUE(Contains(text, L"Scheme: http\n")) << text;
  EXPECT_TRUE(Contains(text, L"charset=utf-8"));
  EXPECT_FALSE(Contains(text, L"Connection: close"));
}

TEST_F(WinHttpMaker, NotFoundIsAnAnswerOnThePlatformClientAndAFailureOnThePlainOne) {
  const auto page = post(url(L"https://", L"/status/404"), FormUse::UpdateCheck);
  EXPECT_EQ(page, L"<html><body>status 404</body></html>");
  EXPECT_EQ(post(url(L"http://", L"/status/404"), FormUse::DateTime), page);
  try {
    post(url(L"http://", L"/status/404"), FormUse::UpdateCheck);
    FAIL() << "the plain transport returned a 404 page";
  } catch (const Error& e) {
    EXPECT_TRUE(Contains(e.message(), L"404"))
        << std::string(e.message().begin(), e.message().end());
  }
  EXPECT_THROW(post(url(L"http://", L"/status/503"), FormUse::Feedback), Error);
}

TEST_F(WinHttpMaker, AnswersAreDecodedByTheirCharset) {
  EXPECT_EQ(post(url(L"https://", L"/charset/latin1"), FormUse::Feedback), L"\u00dcber");
  EXPECT_EQ(post(url(L"http://", L"/charset/latin1"), FormUse::Feedback), L"\u00dcber");
  EXPECT_EQ(post(url(L"https://", L"/charset/none"), FormUse::Feedback), L"\u00dcber");
  // Without a charset the plain transport takes each byte as one character.
  EXPECT_EQ(post(url(L"http://", L"/charset/none"), FormUse::Feedback), L"\u00c3\u009cber");
  EXPECT_EQ(post(url(L"https://", L"/empty"), FormUse::DateTime), L"");
}

// A redirect could lead the plain transport to another scheme or host; it
// hands the answer back as it came.
TEST_F(WinHttpMaker, ThePlainTransportFollowsNoRedirect) {
  EXPECT_EQ(post(url(L"http://", L"/redirect"), FormUse::Feedback), L"moved");
}

TEST_F(WinHttpMaker, ASchemeInCapitalsIsNoSecureConnectionForThePlainTransport) {
  EXPECT_THROW(post(L"HTTPS://" + host() + L"/echo", FormUse::UpdateCheck), Error);
  const auto text = post(L"HTTP://" + host() + L"/echo", FormUse::UpdateCheck);
  EXPECT_TRUE(Contains(text, L"Scheme: http\n")) << text;
}

TEST_F(WinHttpMaker, AnUntrustedCertificateFailsAndSecureFirstFallsBackToHttp) {
  const auto bad = url(L"https://", L"/echo", "HORVANE_MAKER_BADTLS_PORT");
  EXPECT_THROW(post(bad, FormUse::DateTime), Error);
  std::wstring heard;
  const auto answer =
      PostSecureFirst(http, host("HORVANE_MAKER_BADTLS_PORT") + L"/echo", {L"cmd=x"},
                      FormUse::UpdateCheck, [&](const Error& e) { heard = e.message(); });
  EXPECT_FALSE(answer.overHttps);
  EXPECT_FALSE(heard.empty());
  EXPECT_TRUE(Contains(answer.text, L"Scheme: http\n")) << answer.text;
}

TEST_F(WinHttpMaker, TheTrustedListenerAnswersTheSecureAttempt) {
  const auto answer = PostSecureFirst(http, host() + L"/echo", {L"cmd=x"}, FormUse::Feedback);
  EXPECT_TRUE(answer.overHttps);
  EXPECT_TRUE(Contains(answer.text, L"Scheme: https"));
}

TEST_F(WinHttpMaker, ARefusedConnectionFailsBothAttempts) {
  int heard = 0;
  EXPECT_THROW(PostSecureFirst(http, host("HORVANE_MAKER_CLOSED_PORT") + L"/echo", {L"cmd=x"},
                               FormUse::Feedback, [&](const Error&) { ++heard; }),
               Error);
  EXPECT_EQ(heard, 1);
}

TEST_F(WinHttpMaker, AHostThatNeverAnswersCostsTwoTimeOuts) {
  const auto start = Steady::now();
  EXPECT_THROW(PostSecureFirst(http, host("HORVANE_MAKER_SILENT_PORT") + L"/php/x", {L"cmd=x"},
                               FormUse::DateTime),
               Error);
  const auto waited = Steady::now() - start;
  EXPECT_GE(waited, std::chrono::milliseconds(5500));
  EXPECT_LT(waited, std::chrono::milliseconds(15000));
}

// Hosts that never finish their answer: a trickle ends the attempt at its
// use's deadline, however often a byte comes, and an endless body at the size
// limit, long before its deadline.
TEST_F(WinHttpMaker, AHostileAnswerEndsAtTheDeadlineOrAtTheSizeLimit) {
  using std::chrono::milliseconds;
  const struct {
    const wchar_t* url;
    FormUse use;
    const wchar_t* says;
    milliseconds atLeast, within;
  } cases[] = {
      {L"https:///hostile/headers", FormUse::DateTime, L"timed out", milliseconds(2900),
       milliseconds(3600)},
      {L"https:///hostile/body", FormUse::Feedback, L"timed out", milliseconds(2900),
       milliseconds(3600)},
      {L"http:///hostile/body", FormUse::DateTime, L"timed out", milliseconds(2900),
       milliseconds(3600)},
      {L"https:///hostile/endless", FormUse::UpdateCheck, L"longer than 65536 bytes",
       milliseconds(0), milliseconds(5000)},
      {L"http:///hostile/endless", FormUse::Feedback, L"longer than 65536 bytes", milliseconds(0),
       milliseconds(2000)},
  };
  for (const auto& c : cases) {
    std::wstring address = c.url;
    address.insert(address.find(L"///") + 2, host());
    const std::string name(address.begin(), address.end());
    const auto start = Steady::now();
    try {
      post(address, c.use);
      ADD_FAILURE() << name << " gave an answer";
    } catch (const Error& e) {
      EXPECT_TRUE(Contains(e.message(), c.says)) << name << ": " << e.what();
    }
    const auto waited = Steady::now() - start;
    EXPECT_GE(waited, c.atLeast) << name;
    EXPECT_LT(waited, c.within) << name;
  }
}

TEST_F(WinHttpMaker, TheDateTimeFetchGivesTheSitesGmtInLocalTime) {
  test::FakeClock clock;
  clock.setBias(-330);
  const auto result = FetchMakerDateTime(http, clock, host(), false);
  ASSERT_EQ(result.outcome, MakerTimeFetch::Outcome::Time)
      << std::string(result.failure.begin(), result.failure.end());
  using namespace std::chrono;
  const auto unixMs = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
  const time::TDateTime utcNow = 25569.0 + static_cast<double>(unixMs) / time::kMsPerDay;
  const double offsetMinutes = (result.time - utcNow) * 24 * 60;
  EXPECT_NEAR(offsetMinutes, 330.0, 0.2);
}

}  // namespace
}  // namespace hv::web
