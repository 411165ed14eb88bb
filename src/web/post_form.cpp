#include "web/post_form.h"

#include "web/answer_text.h"
#include "web/form_encoding.h"

namespace hv::web {

UseSettings SettingsOf(FormUse use) {
  switch (use) {
    case FormUse::DateTime:
      return {3000, false, false};
    case FormUse::UpdateCheck:
      return {10000, true, true};
    case FormUse::Feedback:
      return {3000, true, true};
  }
  return {3000, true, true};
}

bool IsSecureUrl(std::wstring_view url) {
  return url.starts_with(kSecureScheme);
}

std::wstring PostForm(platform::Http& http, const std::wstring& url,
                      const std::vector<std::wstring>& fields, FormUse use) {
  const UseSettings settings = SettingsOf(use);
  const bool plain = !IsSecureUrl(url) && settings.plainTransport;

  platform::HttpRequest request;
  request.url = url;
  request.timeoutMs = settings.timeoutMs;
  request.body = EncodeFormBody(fields);
  request.headers.push_back(
      {L"Content-Type", plain ? L"application/x-www-form-urlencoded"
                              : L"application/x-www-form-urlencoded; charset=utf-8"});
  if (settings.closeConnection) request.headers.push_back({L"Connection", L"close"});

  // The client lives for this one call and goes on every way out.
  const auto client = plain ? http.newPlainTransport() : http.newPlatformClient();
  const platform::HttpResponse response = client->post(request);

  if (plain) {
    if (response.status >= 400 && response.status <= 599) {
      std::wstring message = L"HTTP/1.1 " + std::to_wstring(response.status);
      if (!response.reason.empty()) message += L" " + response.reason;
      throw Error(message);
    }
    return DecodeAnswer(response.body, response.contentType, CharsetDefault::OneBytePerChar);
  }
  return DecodeAnswer(response.body, response.contentType, CharsetDefault::Utf8);
}

SecureFirstAnswer PostSecureFirst(platform::Http& http, std::wstring_view endpoint,
                                  const std::vector<std::wstring>& fields, FormUse use,
                                  const std::function<void(const Error&)>& secureFailed) {
  try {
    return {PostForm(http, kSecureScheme + std::wstring(endpoint), fields, use), true};
  } catch (const Error& e) {
    if (secureFailed) secureFailed(e);
  }
  return {PostForm(http, kPlainScheme + std::wstring(endpoint), fields, use), false};
}

}  // namespace hv::web
