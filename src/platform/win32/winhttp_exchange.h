#pragma once
// One POST over WinHTTP, from opening the session to the last byte of the
// answer. Both HTTP clients of the program sit on it, each with its rules.
#include "platform/http.h"

namespace hv::platform::win32 {

struct ExchangeRules {
  // Through the system's configured proxy, or a direct connection.
  bool systemProxy = true;
  // Whether "https" may be used; otherwise only "http" is accepted.
  bool allowTls = true;
  bool followRedirects = true;
};

// Returns by the request's deadline: past it, or past the size limit of the
// body, it throws as a time-out does. Throws hv::Error with WinHTTP's reason
// when any step fails; every handle is closed on every way out.
HttpResponse WinHttpPost(const HttpRequest& request, const ExchangeRules& rules);

}  // namespace hv::platform::win32
