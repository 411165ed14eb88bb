#pragma once
// HTTP boundary: one POST per client object. Two kinds of client exist, each
// with its own rules: the platform HTTP client and the plain-HTTP transport.
// Every failure (bad address, no connection, time-out, rejected certificate,
// an answer past its size limit) is an hv::Error carrying the
// implementation's own text.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/http_budget.h"

namespace hv::platform {

struct HttpHeader {
  std::wstring name;
  std::wstring value;
};

struct HttpRequest {
  std::wstring url;
  std::vector<HttpHeader> headers;
  std::string body;
  // The deadline of the whole exchange, from the connection to the answer's
  // last byte; an answer body longer than kMaxAnswerBytes fails it too.
  std::uint32_t timeoutMs = 0;
};

struct HttpResponse {
  unsigned status = 0;
  std::wstring reason;
  // The answer's "Content-Type" header; empty when it sent none.
  std::wstring contentType;
  std::string body;
};

class HttpClient {
 public:
  HttpClient() = default;
  HttpClient(const HttpClient&) = delete;
  HttpClient& operator=(const HttpClient&) = delete;
  virtual ~HttpClient() = default;
  // Sends one POST and reads the whole answer, whatever its status.
  virtual HttpResponse post(const HttpRequest& request) = 0;
};

class Http {
 public:
  virtual ~Http() = default;
  // The platform's HTTP client: "https://" and "http://", the system's proxy
  // settings and certificate checks.
  virtual std::unique_ptr<HttpClient> newPlatformClient() = 0;
  // Plain HTTP over a direct TCP connection; any other scheme is refused.
  virtual std::unique_ptr<HttpClient> newPlainTransport() = 0;
};

}  // namespace hv::platform
