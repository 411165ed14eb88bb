#pragma once
// A failed socket call: the Windows Sockets error number and its text.
#include <string>

#include "base/error.h"

namespace hv::time {

class EIdSocketError : public Error {
 public:
  explicit EIdSocketError(int code);
  int code() const noexcept { return code_; }

 private:
  int code_;
};

// The description of one Windows Sockets error number.
std::wstring SocketErrorText(int code);

}  // namespace hv::time
