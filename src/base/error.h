#pragma once
// Failures are exceptions that carry the text the user may be shown; what()
// gives the same text in UTF-8 for logs and test reports.
#include <exception>
#include <string>

#include "base/utf8.h"

namespace hv {

class Error : public std::exception {
 public:
  explicit Error(std::wstring message) : message_(std::move(message)), utf8_(ToUtf8(message_)) {}
  const std::wstring& message() const noexcept { return message_; }
  const char* what() const noexcept override { return utf8_.c_str(); }

 private:
  std::wstring message_;
  std::string utf8_;
};

}  // namespace hv
