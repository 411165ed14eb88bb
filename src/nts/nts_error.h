#pragma once
// A key exchange or authentication that failed, with a few words of why.
#include <string>

#include "base/error.h"

namespace hv::nts {

class NtsError : public Error {
 public:
  // why is ASCII.
  explicit NtsError(const std::string& why)
      : Error(L"NTS: " + std::wstring(why.begin(), why.end())), why_(why) {}
  const std::string& why() const noexcept { return why_; }

 private:
  std::string why_;
};

}  // namespace hv::nts
