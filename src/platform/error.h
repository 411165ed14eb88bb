#pragma once
// Failures are exceptions that carry the text the user may be shown.
#include <exception>
#include <string>

namespace hv {

class Error : public std::exception {
 public:
  explicit Error(std::wstring message) : message_(std::move(message)) {}
  const std::wstring& message() const noexcept { return message_; }
  const char* what() const noexcept override { return "hv::Error"; }

 private:
  std::wstring message_;
};

}  // namespace hv
