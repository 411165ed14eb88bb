#pragma once
// The program's two HTTP clients on Windows, both over WinHTTP: the platform
// client follows the system's proxy and speaks https and http; the plain
// transport connects directly, speaks only http and follows no redirect.
#include "platform/http.h"

namespace hv::platform::win32 {

class Win32Http : public Http {
 public:
  std::unique_ptr<HttpClient> newPlatformClient() override;
  std::unique_ptr<HttpClient> newPlainTransport() override;
};

}  // namespace hv::platform::win32
