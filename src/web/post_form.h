#pragma once
// PostForm: one form post to the maker's web site, answered by one text.
// Each use fixes its time-out, whether it asks the server to close the
// connection, and which transport carries a URL that is not "https://".
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/error.h"
#include "platform/http.h"

namespace hv::web {

enum class FormUse { DateTime, UpdateCheck, Feedback };

struct UseSettings {
  std::uint32_t timeoutMs;
  bool closeConnection;
  // A URL that is not "https://" goes over the plain-HTTP transport.
  bool plainTransport;
};

UseSettings SettingsOf(FormUse use);

inline constexpr wchar_t kSecureScheme[] = L"https://";
inline constexpr wchar_t kPlainScheme[] = L"http://";

// True only for a URL that begins with "https://" in lower case.
bool IsSecureUrl(std::wstring_view url);

// Posts fields to url and returns the answer body as text. The platform
// client returns the body of any status; the plain transport raises on 4xx
// and 5xx. Every failure is an hv::Error; a fresh client serves each call.
std::wstring PostForm(platform::Http& http, const std::wstring& url,
                      const std::vector<std::wstring>& fields, FormUse use);

struct SecureFirstAnswer {
  std::wstring text;
  bool overHttps = true;
};

// PostForm to "https://" + endpoint and, when that raises, once more to
// "http://" + endpoint. secureFailed hears the first failure; the second
// one propagates to the caller.
SecureFirstAnswer PostSecureFirst(platform::Http& http, std::wstring_view endpoint,
                                  const std::vector<std::wstring>& fields, FormUse use,
                                  const std::function<void(const Error&)>& secureFailed = {});

}  // namespace hv::web
