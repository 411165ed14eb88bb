#include "platform/win32/shell_win32.h"

#include <shellapi.h>
#include <windows.h>

#include <memory>

#include "platform/win32/com.h"

namespace hv::platform::win32 {
namespace {

struct LocalFreeDeleter {
  void operator()(wchar_t** p) const { LocalFree(p); }
};

}  // namespace

void Win32Shell::open(const std::wstring& file, const std::wstring& parameters,
                      const std::wstring& directory, ShowCommand show) {
  ShellExecuteW(GetDesktopWindow(), L"open", file.c_str(),
                parameters.empty() ? nullptr : parameters.c_str(),
                directory.empty() ? nullptr : directory.c_str(),
                show == ShowCommand::Hide ? SW_HIDE : SW_SHOWNORMAL);
}

void Win32Shell::openAsUser(const std::wstring& file, const std::wstring& parameters,
                            ShowCommand show) {
  // Both routes may use COM; the shell asks for an apartment of one thread.
  ComApartment com;
  const ShellRequest request{file, parameters, show};
  if (!routes_.unelevated(request)) routes_.direct(request);
}

void Win32Shell::run(const std::wstring& program, const std::wstring& parameters,
                     const std::wstring& directory, ShowCommand show) {
  // CreateProcessW, not the shell: a per-user file association can't step in.
  std::wstring commandLine = L"\"" + program + L"\"";
  if (!parameters.empty()) commandLine += L" " + parameters;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = show == ShowCommand::Hide ? SW_HIDE : SW_SHOWNORMAL;
  PROCESS_INFORMATION started{};
  const DWORD flags = show == ShowCommand::Hide ? CREATE_NO_WINDOW : 0;
  if (CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, flags, nullptr,
                     directory.empty() ? nullptr : directory.c_str(), &startup, &started)) {
    KernelHandle process(started.hProcess);
    KernelHandle thread(started.hThread);
  }
}

void Win32Shell::holdNamedMutex(const std::wstring& name) {
  mutexes_.emplace_back(CreateMutexW(nullptr, FALSE, name.c_str()));
}

std::wstring Win32Shell::firstArgument() {
  return firstArgumentOf(GetCommandLineW());
}

std::wstring Win32Shell::firstArgumentOf(const std::wstring& commandLine) {
  // An empty command line would make the call describe this program instead.
  if (commandLine.empty()) return {};
  int count = 0;
  std::unique_ptr<wchar_t*, LocalFreeDeleter> args(CommandLineToArgvW(commandLine.c_str(), &count));
  if (!args || count < 2) return {};
  return args.get()[1];
}

bool Win32Shell::namedMutexExists(const std::wstring& name) {
  return static_cast<bool>(KernelHandle(OpenMutexW(SYNCHRONIZE, FALSE, name.c_str())));
}

std::uint16_t Win32Shell::addGlobalAtom(const std::wstring& name) {
  return GlobalAddAtomW(name.c_str());
}

}  // namespace hv::platform::win32
