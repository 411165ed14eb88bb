#include "platform/win32/http_win32.h"

#include "platform/win32/winhttp_exchange.h"

namespace hv::platform::win32 {
namespace {

class WinHttpClient : public HttpClient {
 public:
  explicit WinHttpClient(ExchangeRules rules) : rules_(rules) {}
  HttpResponse post(const HttpRequest& request) override { return WinHttpPost(request, rules_); }

 private:
  ExchangeRules rules_;
};

}  // namespace

std::unique_ptr<HttpClient> Win32Http::newPlatformClient() {
  return std::make_unique<WinHttpClient>(ExchangeRules{true, true, true});
}

std::unique_ptr<HttpClient> Win32Http::newPlainTransport() {
  return std::make_unique<WinHttpClient>(ExchangeRules{false, false, false});
}

}  // namespace hv::platform::win32
