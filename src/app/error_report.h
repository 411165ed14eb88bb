#pragma once
// The general error report: what no handler caught is shown here, with the
// application title as caption and the error icon.
#include <exception>
#include <string>

namespace hv::ui {
class WindowSystem;
}

namespace hv::app {

// The failure's text, with a full stop added when its last character comes
// after "." in character order.
std::wstring ErrorReportText(const std::wstring& message);
std::wstring MessageOf(const std::exception_ptr& error);
void ShowErrorReport(ui::WindowSystem& windows, const std::exception_ptr& error);

}  // namespace hv::app
