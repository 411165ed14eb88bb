#include "platform/win32/winhttp_exchange.h"

#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <utility>

#include "base/error.h"
#include "platform/call_within.h"
#include "platform/http_budget.h"
#include "platform/win32/unique_handle.h"

namespace hv::platform::win32 {
namespace {

using Steady = std::chrono::steady_clock;

std::int64_t NowUs() {
  return std::chrono::duration_cast<std::chrono::microseconds>(Steady::now().time_since_epoch())
      .count();
}

// Session, connection or request.
struct InternetTraits {
  using Handle = HINTERNET;
  static void free(HINTERNET h) { WinHttpCloseHandle(h); }
};
using InternetHandle = UniqueHandle<InternetTraits>;

std::wstring ReasonOf(DWORD code) {
  switch (code) {
    case ERROR_WINHTTP_TIMEOUT:
      return L"The operation timed out";
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
      return L"The server name or address could not be resolved";
    case ERROR_WINHTTP_CANNOT_CONNECT:
      return L"A connection with the server could not be established";
    case ERROR_WINHTTP_CONNECTION_ERROR:
      return L"The connection with the server was reset or terminated, or an incompatible SSL "
             L"protocol was encountered";
    case ERROR_WINHTTP_INVALID_URL:
      return L"The URL is invalid";
    case ERROR_WINHTTP_UNRECOGNIZED_SCHEME:
      return L"The URL specified a scheme other than \"http:\" or \"https:\"";
    case ERROR_WINHTTP_INVALID_SERVER_RESPONSE:
      return L"The server response could not be parsed";
    case ERROR_WINHTTP_SECURE_FAILURE:
      return L"One or more errors were found in the server's certificate";
    case ERROR_WINHTTP_SECURE_INVALID_CA:
      return L"The certificate authority is invalid or incorrect";
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
      return L"The certificate's name does not match the server";
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
      return L"The certificate has expired or is not yet valid";
    case ERROR_WINHTTP_REDIRECT_FAILED:
      return L"The redirection failed";
    case ERROR_WINHTTP_OPERATION_CANCELLED:
      return L"The operation was cancelled";
  }
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring reason = n && text ? std::wstring(text, n) : L"WinHTTP error";
  if (text) LocalFree(text);
  while (!reason.empty() &&
         (reason.back() == L'\r' || reason.back() == L'\n' || reason.back() == L'.'))
    reason.pop_back();
  return reason;
}

[[noreturn]] void Fail(const wchar_t* step, DWORD code) {
  throw Error(std::wstring(step) + L": " + ReasonOf(code) + L" (" + std::to_wstring(code) + L")");
}

[[noreturn]] void FailLast(const wchar_t* step) {
  Fail(step, GetLastError());
}

struct Target {
  bool secure = false;
  std::wstring host;
  INTERNET_PORT port = 0;
  std::wstring path;
};

Target Crack(const std::wstring& url, const ExchangeRules& rules) {
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof(parts);
  parts.dwSchemeLength = static_cast<DWORD>(-1);
  parts.dwHostNameLength = static_cast<DWORD>(-1);
  parts.dwUrlPathLength = static_cast<DWORD>(-1);
  parts.dwExtraInfoLength = static_cast<DWORD>(-1);
  if (url.size() > INT_MAX ||
      !WinHttpCrackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts))
    FailLast(L"Reading the address");
  Target t;
  t.secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
  if (t.secure && !rules.allowTls)
    throw Error(L"Reading the address: only \"http\" is spoken on this connection");
  t.host.assign(parts.lpszHostName, parts.dwHostNameLength);
  if (t.host.empty()) Fail(L"Reading the address", ERROR_WINHTTP_INVALID_URL);
  t.port = parts.nPort;
  t.path.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
  if (parts.lpszExtraInfo) t.path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (t.path.empty()) t.path = L"/";
  return t;
}

std::wstring QueryText(HINTERNET request, DWORD what) {
  DWORD bytes = 0;
  WinHttpQueryHeaders(request, what, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER, &bytes,
                      WINHTTP_NO_HEADER_INDEX);
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || bytes == 0) return {};
  std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
  if (!WinHttpQueryHeaders(request, what, WINHTTP_HEADER_NAME_BY_INDEX, text.data(), &bytes,
                           WINHTTP_NO_HEADER_INDEX))
    return {};
  text.resize(bytes / sizeof(wchar_t));
  return text;
}

// WSAETIMEDOUT, which Wine's WinHTTP passes on from its socket.
constexpr DWORD kSocketTimedOut = 10060;

// Every blocking step is given what is left of the deadline, and the body is
// read in pieces no larger than what is left of the limit.
class Steps {
 public:
  explicit Steps(const ExchangeBudget& budget) : budget_(budget) {}
  DWORD left() const {
    return static_cast<DWORD>(std::min<std::uint32_t>(budget_.remainingMs(NowUs()), INT_MAX));
  }
  // The next blocking call on h waits at most what is left.
  void bound(HINTERNET h) const {
    const int ms = static_cast<int>(left());
    if (!WinHttpSetTimeouts(h, ms, ms, ms, ms)) FailLast(L"Setting the time-outs");
  }
  void boundHeaders(HINTERNET request) const {
    bound(request);
    DWORD ms = left();
    if (!WinHttpSetOption(request, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &ms, sizeof(ms)))
      FailLast(L"Setting the time-outs");
  }
  // A step that timed out was given all that was left: the deadline came.
  [[noreturn]] void failed(const wchar_t* step) const {
    const DWORD code = GetLastError();
    if (code == ERROR_WINHTTP_TIMEOUT || code == kSocketTimedOut) throw budget_.TimedOut();
    Fail(step, code);
  }

 private:
  const ExchangeBudget& budget_;
};

// The whole exchange, on a thread of its own: it may outlive its caller, so
// it owns its request and every handle.
HttpResponse Exchange(const HttpRequest& request, const ExchangeRules& rules, const Target& target,
                      const ExchangeBudget& budget) {
  const Steps steps(budget);
  InternetHandle session(WinHttpOpen(
      L"Horvane",
      rules.systemProxy ? WINHTTP_ACCESS_TYPE_DEFAULT_PROXY : WINHTTP_ACCESS_TYPE_NO_PROXY,
      WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
  if (!session) FailLast(L"Opening the HTTP session");
  steps.bound(session.get());

  InternetHandle connection(WinHttpConnect(session.get(), target.host.c_str(), target.port, 0));
  if (!connection) steps.failed(L"Connecting");

  InternetHandle req(WinHttpOpenRequest(connection.get(), L"POST", target.path.c_str(), nullptr,
                                        WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                        target.secure ? WINHTTP_FLAG_SECURE : 0));
  if (!req) FailLast(L"Opening the request");
  if (!rules.followRedirects) {
    DWORD policy = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
    if (!WinHttpSetOption(req.get(), WINHTTP_OPTION_REDIRECT_POLICY, &policy, sizeof(policy)))
      FailLast(L"Setting the redirect policy");
  }
  for (const auto& h : request.headers) {
    const std::wstring line = h.name + L": " + h.value;
    if (!WinHttpAddRequestHeaders(req.get(), line.c_str(), static_cast<DWORD>(line.size()),
                                  WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE))
      FailLast(L"Adding a request header");
  }

  // The form goes with the request itself, so a redirect can send it again.
  const auto length = static_cast<DWORD>(request.body.size());
  void* body = length ? const_cast<char*>(request.body.data()) : WINHTTP_NO_REQUEST_DATA;
  // Set on the request as well: not every WinHTTP hands the session's
  // time-outs down to its requests.
  steps.bound(req.get());
  if (!WinHttpSendRequest(req.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, body, length, length, 0))
    steps.failed(L"Sending the request");
  // The wait for the answer's headers has a time-out of its own.
  steps.boundHeaders(req.get());
  if (!WinHttpReceiveResponse(req.get(), nullptr)) steps.failed(L"Receiving the answer");

  HttpResponse response;
  DWORD status = 0;
  DWORD size = sizeof(status);
  if (!WinHttpQueryHeaders(req.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                           WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX))
    steps.failed(L"Reading the status");
  response.status = status;
  response.reason = QueryText(req.get(), WINHTTP_QUERY_STATUS_TEXT);
  response.contentType = QueryText(req.get(), WINHTTP_QUERY_CONTENT_TYPE);

  while (true) {
    steps.bound(req.get());
    DWORD available = 0;
    if (!WinHttpQueryDataAvailable(req.get(), &available)) steps.failed(L"Receiving the answer");
    if (available == 0) break;
    const std::size_t at = response.body.size();
    const auto ask = static_cast<DWORD>(std::min<std::size_t>(available, budget.room(at)));
    response.body.resize(at + ask);
    DWORD read = 0;
    steps.bound(req.get());
    if (!WinHttpReadData(req.get(), response.body.data() + at, ask, &read))
      steps.failed(L"Receiving the answer");
    response.body.resize(at + read);
    budget.checkSize(response.body.size());
    if (read == 0) break;
  }
  return response;
}

}  // namespace

HttpResponse WinHttpPost(const HttpRequest& request, const ExchangeRules& rules) {
  const Target target = Crack(request.url, rules);
  if (request.body.size() > ULONG_MAX / 2) throw Error(L"The form is too long");
  const ExchangeBudget budget(NowUs(), request.timeoutMs);
  // The caller goes at the deadline, whatever WinHTTP still waits for: some
  // WinHTTPs bound each read only, and a host can trickle its headers.
  const auto deadline = Steady::time_point(std::chrono::microseconds(budget.deadlineUs()));
  return CallWithin<HttpResponse>(
      deadline,
      [request, rules, target, budget] { return Exchange(request, rules, target, budget); },
      budget.TimedOut());
}

}  // namespace hv::platform::win32
