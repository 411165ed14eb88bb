#include "app/error_report.h"

#include "app/identity.h"
#include "base/error.h"
#include "ui/window_system.h"

namespace hv::app {

std::wstring ErrorReportText(const std::wstring& message) {
  if (!message.empty() && message.back() > L'.') return message + L".";
  return message;
}

std::wstring MessageOf(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const hv::Error& e) {
    return e.message();
  } catch (const std::exception& e) {
    std::wstring out;
    for (const char* p = e.what(); *p; ++p)
      out += static_cast<wchar_t>(static_cast<unsigned char>(*p));
    return out;
  } catch (...) {
    return L"Unknown error";
  }
}

void ShowErrorReport(ui::WindowSystem& windows, const std::exception_ptr& error) {
  ui::MessageBoxRequest box;
  box.text = ErrorReportText(MessageOf(error));
  box.caption = kApplicationTitle;
  box.icon = ui::MessageIcon::Error;
  windows.messageBox(nullptr, box);
}

}  // namespace hv::app
