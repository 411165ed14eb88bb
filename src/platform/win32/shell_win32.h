#pragma once
// Shell open, the named mutex, the command line and global atoms.
#include <functional>
#include <vector>

#include "platform/shell.h"
#include "platform/win32/desktop_shell.h"
#include "platform/win32/kernel_handle.h"

namespace hv::platform::win32 {

// The two ways openAsUser can take; tests put fakes in their place.
struct OpenRoutes {
  // True when the request went through the user's own shell.
  std::function<bool(const ShellRequest&)> unelevated = OpenThroughDesktopShell;
  // Where there is none, as under Wine.
  std::function<void(const ShellRequest&)> direct = OpenDirectly;
};

class Win32Shell : public Shell {
 public:
  explicit Win32Shell(OpenRoutes routes = {}) : routes_(std::move(routes)) {}
  void open(const std::wstring& file, const std::wstring& parameters, const std::wstring& directory,
            ShowCommand show) override;
  void openAsUser(const std::wstring& file, const std::wstring& parameters,
                  ShowCommand show) override;
  void run(const std::wstring& program, const std::wstring& parameters,
           const std::wstring& directory, ShowCommand show) override;
  void holdNamedMutex(const std::wstring& name) override;
  std::wstring firstArgument() override;
  std::uint16_t addGlobalAtom(const std::wstring& name) override;

  // The argument after the program name in a command line, or empty.
  static std::wstring firstArgumentOf(const std::wstring& commandLine);
  // Whether a mutex of that name exists in this session.
  static bool namedMutexExists(const std::wstring& name);

 private:
  OpenRoutes routes_;
  // Held while the adapter lives, which is to the end of the program.
  std::vector<KernelHandle> mutexes_;
};

}  // namespace hv::platform::win32
