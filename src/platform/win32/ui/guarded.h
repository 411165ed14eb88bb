#pragma once
// Nothing may unwind through the system from a window procedure: its
// handling runs here, and what that throws goes to report (the general error
// report), the message counting as handled.
#include <windows.h>

#include <exception>

namespace hv::platform::win32::winui {

template <class Handle, class Report>
LRESULT Guarded(Handle&& handle, Report&& report) noexcept {
  try {
    return handle();
  } catch (...) {
    report(std::current_exception());
    return 0;
  }
}

}  // namespace hv::platform::win32::winui
