// The form-post client: the body's encoding, the transport each use takes,
// the status and charset rules, and the secure-first rule.
#include <gtest/gtest.h>

#include "support/fake_http.h"
#include "web/answer_text.h"
#include "web/form_encoding.h"
#include "web/post_form.h"

namespace hv::web {
namespace {

using test::FakeHttp;

struct EncodingCase {
  std::vector<std::wstring> fields;
  std::string body;
};

class FormBody : public ::testing::TestWithParam<EncodingCase> {};

TEST_P(FormBody, EncodesFieldsInOrder) {
  EXPECT_EQ(EncodeFormBody(GetParam().fields), GetParam().body);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, FormBody,
    ::testing::Values(
        // A space becomes "+", the hyphen stays.
        EncodingCase{{L"appname=A - B"}, "appname=A+-+B"},
        EncodingCase{{L"marks=*-._"}, "marks=*-._"}, EncodingCase{{L"v=+%=&"}, "v=%2B%25%3D%26"},
        // An empty value still sends the name and "=".
        EncodingCase{{L"email="}, "email="},
        // Only the first "=" separates; the value's own is escaped.
        EncodingCase{{L"feedback=a=b==c"}, "feedback=a%3Db%3D%3Dc"},
        // Names are escaped the same way as values.
        EncodingCase{{L"my name=x"}, "my+name=x"},
        EncodingCase{{L"text=\u041f\u0440\u0438\u0432\u0435\u0442"},
                     "text=%D0%9F%D1%80%D0%B8%D0%B2%D0%B5%D1%82"},
        EncodingCase{{L"t=caf\u00e9 \u20ac"}, "t=caf%C3%A9+%E2%82%AC"},
        EncodingCase{{L"line=a\r\nb"}, "line=a%0D%0Ab"},
        EncodingCase{{L"cmd=check", L"appname=CALVION - Horvane", L"version=2.2"},
                     "cmd=check&appname=CALVION+-+Horvane&version=2.2"},
        EncodingCase{{}, ""}));

TEST(FormEncoding, CharactersBeyondTheBasicPlaneAreFourUtf8Bytes) {
  std::wstring text;
  if constexpr (sizeof(wchar_t) == 2) {
    text = {static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)};
  } else {
    text = {static_cast<wchar_t>(0x1F600)};
  }
  EXPECT_EQ(EncodeFormComponent(text), "%F0%9F%98%80");
  // A lone surrogate can't be sent as UTF-8; it goes as the replacement mark.
  EXPECT_EQ(EncodeFormComponent(std::wstring(1, static_cast<wchar_t>(0xD800))), "%EF%BF%BD");
}

constexpr wchar_t kEndpoint[] = L"127.0.0.1:1/php/check2.php";
const std::wstring kHttps = std::wstring(L"https://") + kEndpoint;
const std::wstring kHttp = std::wstring(L"http://") + kEndpoint;

struct TransportCase {
  FormUse use;
  std::wstring url;
  FakeHttp::Kind kind;
  std::uint32_t timeout;
  bool close;
  std::wstring contentType;
};

class Transport : public ::testing::TestWithParam<TransportCase> {};

TEST_P(Transport, EachUseFixesItsClientTimeoutAndHeaders) {
  const auto& c = GetParam();
  FakeHttp http;
  http.answer(c.url, "fine");
  EXPECT_EQ(PostForm(http, c.url, {L"cmd=x"}, c.use), L"fine");
  ASSERT_EQ(http.sent.size(), 1u);
  const auto& sent = http.sent[0];
  EXPECT_EQ(sent.kind, c.kind);
  EXPECT_EQ(sent.request.timeoutMs, c.timeout);
  EXPECT_EQ(sent.request.body, "cmd=x");
  EXPECT_EQ(sent.header(L"Content-Type"), c.contentType);
  EXPECT_EQ(sent.hasHeader(L"Connection"), c.close);
  if (c.close) {
    EXPECT_EQ(sent.header(L"Connection"), L"close");
  }
}

const std::wstring kForm = L"application/x-www-form-urlencoded";
const std::wstring kFormUtf8 = L"application/x-www-form-urlencoded; charset=utf-8";

INSTANTIATE_TEST_SUITE_P(
    Uses, Transport,
    ::testing::Values(
        TransportCase{FormUse::DateTime, kHttps, FakeHttp::Kind::Platform, 3000, false, kFormUtf8},
        // The date-time use keeps the platform client for plain URLs too.
        TransportCase{FormUse::DateTime, kHttp, FakeHttp::Kind::Platform, 3000, false, kFormUtf8},
        TransportCase{FormUse::UpdateCheck, kHttps, FakeHttp::Kind::Platform, 10000, true,
                      kFormUtf8},
        TransportCase{FormUse::UpdateCheck, kHttp, FakeHttp::Kind::Plain, 10000, true, kForm},
        // A scheme in capitals does not count as encrypted.
        TransportCase{FormUse::UpdateCheck, L"HTTPS://host/x", FakeHttp::Kind::Plain, 10000, true,
                      kForm},
        TransportCase{FormUse::Feedback, kHttps, FakeHttp::Kind::Platform, 3000, true, kFormUtf8},
        TransportCase{FormUse::Feedback, kHttp, FakeHttp::Kind::Plain, 3000, true, kForm},
        TransportCase{FormUse::Feedback, L"Https://host/x", FakeHttp::Kind::Plain, 3000, true,
                      kForm}));

TEST(PostForm, ThePlatformClientReturnsTheBodyOfAnErrorPage) {
  FakeHttp http;
  http.answer(kHttps, "<html>Not Found</html>", 404);
  EXPECT_EQ(PostForm(http, kHttps, {L"cmd=check"}, FormUse::UpdateCheck),
            L"<html>Not Found</html>");
}

TEST(PostForm, ThePlainTransportRaisesOnClientAndServerErrors) {
  for (unsigned status : {400u, 404u, 500u, 599u}) {
    FakeHttp http;
    http.answer(kHttp, "<html>error page</html>", status);
    try {
      PostForm(http, kHttp, {L"cmd=check"}, FormUse::UpdateCheck);
      ADD_FAILURE() << "status " << status << " was returned";
    } catch (const Error& e) {
      EXPECT_NE(e.message().find(std::to_wstring(status)), std::wstring::npos) << status;
    }
    EXPECT_EQ(http.clientsAlive, 0);
  }
  FakeHttp http;
  http.answer(kHttp, "moved", 302);
  EXPECT_EQ(PostForm(http, kHttp, {L"cmd=check"}, FormUse::Feedback), L"moved");
}

TEST(PostForm, AnEmptyBodyIsAnEmptyAnswer) {
  FakeHttp http;
  http.answer(kHttps, "");
  http.answer(kHttp, "");
  EXPECT_EQ(PostForm(http, kHttps, {L"cmd=datetime"}, FormUse::DateTime), L"");
  EXPECT_EQ(PostForm(http, kHttp, {L"cmd=feedback"}, FormUse::Feedback), L"");
}

TEST(PostForm, EachCallHasItsOwnClientReleasedOnFailureToo) {
  FakeHttp http;
  http.answer(kHttps, "one");
  http.fail(kHttp, L"refused");
  PostForm(http, kHttps, {L"a=1"}, FormUse::Feedback);
  EXPECT_THROW(PostForm(http, kHttp, {L"a=1"}, FormUse::Feedback), Error);
  PostForm(http, kHttps, {L"a=1"}, FormUse::Feedback);
  EXPECT_EQ(http.clientsCreated, 3);
  EXPECT_EQ(http.clientsAlive, 0);
}

// "Ü" is C3 9C in UTF-8 and DC in Latin-1.
TEST(PostForm, AnswersAreDecodedByTheirCharsetOrEachTransportsDefault) {
  struct Case {
    std::wstring url;
    std::wstring contentType;
    std::string body;
    std::wstring text;
  };
  const Case cases[] = {
      {kHttps, L"text/plain", "\xC3\x9C", L"\u00dc"},
      {kHttps, L"text/plain; charset=ISO-8859-1", "\xDC", L"\u00dc"},
      {kHttps, L"", "\xC3\x9C", L"\u00dc"},
      {kHttp, L"text/plain", "\xC3\x9C", L"\u00c3\u009c"},
      {kHttp, L"text/plain; charset=\"utf-8\"", "\xC3\x9C", L"\u00dc"},
      {kHttp, L"text/plain;charset=windows-1252", "\x80", L"\u20ac"},
      {kHttp, L"text/plain; charset=x-unheard-of", "\xDC", L"\u00dc"},
      // One leading byte-order mark goes, whatever the charset claims.
      {kHttps, L"text/plain", "\xEF\xBB\xBFOK", L"OK"},
      {kHttp, L"text/plain", "\xEF\xBB\xBF<version>2.3</version>", L"<version>2.3</version>"},
      {kHttp, L"text/plain; charset=us-ascii", "\xEF\xBB\xBFOK", L"OK"},
      {kHttps, L"text/plain; charset=utf-16le", std::string("\xFF\xFEO\0K\0", 6), L"OK"},
      {kHttps, L"text/plain", "\xEF\xBB\xBF\xEF\xBB\xBFOK", L"\ufeffOK"},
  };
  for (const auto& c : cases) {
    FakeHttp http;
    http.answer(c.url, c.body, 200, c.contentType);
    EXPECT_EQ(PostForm(http, c.url, {L"cmd=x"}, FormUse::Feedback), c.text)
        << std::string(c.contentType.begin(), c.contentType.end());
  }
}

TEST(CharsetOf, FindsTheParameterWhateverItsCaseAndQuotes) {
  EXPECT_EQ(CharsetOf(L"text/html; Charset=UTF-8"), "utf-8");
  EXPECT_EQ(CharsetOf(L"text/html; q=1; charset=\"koi8-r\""), "koi8-r");
  EXPECT_EQ(CharsetOf(L"text/html"), std::nullopt);
  EXPECT_EQ(CharsetOf(L"text/html; charset="), std::nullopt);
}

TEST(SecureFirst, TheHttpsAnswerIsFinal) {
  FakeHttp http;
  http.answer(kHttps, "ERROR");
  http.answer(kHttp, "OK");
  int heard = 0;
  const auto answer = PostSecureFirst(http, kEndpoint, {L"cmd=feedback"}, FormUse::Feedback,
                                      [&](const Error&) { ++heard; });
  EXPECT_EQ(answer.text, L"ERROR");
  EXPECT_TRUE(answer.overHttps);
  EXPECT_EQ(heard, 0);
  EXPECT_EQ(http.sent.size(), 1u);
}

TEST(SecureFirst, AFailedHttpsAttemptIsRepeatedOverHttpWithTheSameFields) {
  FakeHttp http;
  http.fail(kHttps, L"certificate rejected");
  http.answer(kHttp, "24/12/2021 18:05:09");
  std::wstring heard;
  const auto answer =
      PostSecureFirst(http, kEndpoint, {L"cmd=datetime", L"x=a b"}, FormUse::DateTime,
                      [&](const Error& e) { heard = e.message(); });
  EXPECT_EQ(answer.text, L"24/12/2021 18:05:09");
  EXPECT_FALSE(answer.overHttps);
  EXPECT_EQ(heard, L"certificate rejected");
  ASSERT_EQ(http.sent.size(), 2u);
  EXPECT_EQ(http.sent[0].request.url, kHttps);
  EXPECT_EQ(http.sent[1].request.url, kHttp);
  EXPECT_EQ(http.sent[0].request.body, http.sent[1].request.body);
}

TEST(SecureFirst, WhenBothAttemptsFailTheSecondFailureReachesTheCaller) {
  FakeHttp http;
  http.fail(kHttps, L"timed out");
  http.fail(kHttp, L"refused");
  try {
    PostSecureFirst(http, kEndpoint, {L"cmd=check"}, FormUse::UpdateCheck);
    FAIL() << "no failure";
  } catch (const Error& e) {
    EXPECT_EQ(e.message(), L"refused");
  }
  EXPECT_EQ(http.sent.size(), 2u);
  EXPECT_EQ(http.clientsAlive, 0);
}

TEST(SecureFirst, AnErrorStatusOverPlainHttpCountsAsTheSecondFailure) {
  FakeHttp http;
  http.fail(kHttps, L"no TLS");
  http.answer(kHttp, "gone", 500);
  EXPECT_THROW(PostSecureFirst(http, kEndpoint, {L"cmd=check"}, FormUse::UpdateCheck), Error);
}

}  // namespace
}  // namespace hv::web
