#pragma once
// Shell and process boundary: open documents, the named mutex, atoms.
#include <cstdint>
#include <string>

namespace hv::platform {

enum class ShowCommand { Hide = 0, Normal = 1 };

class Shell {
 public:
  virtual ~Shell() = default;
  // ShellExecute "open"; the result is not examined by any caller. A shell
  // that reports a refusal throws hv::Error.
  virtual void open(const std::wstring& file, const std::wstring& parameters,
                    const std::wstring& directory, ShowCommand show) = 0;
  // Opens a web page or a document as the signed-in user: through the
  // desktop's own shell, which runs unelevated, where there is one, else as
  // open does. The result is not examined.
  virtual void openAsUser(const std::wstring& file, const std::wstring& parameters,
                          ShowCommand show) = 0;
  // Starts program, a full path, with parameters, in directory, in this
  // process's own session and rights; no file association is consulted.
  // The result is not examined by any caller.
  virtual void run(const std::wstring& program, const std::wstring& parameters,
                   const std::wstring& directory, ShowCommand show) = 0;
  // Creates or opens the named mutex and keeps it until the process ends.
  virtual void holdNamedMutex(const std::wstring& name) = 0;
  // The first command-line argument after the program name, or empty.
  virtual std::wstring firstArgument() = 0;
  virtual std::uint16_t addGlobalAtom(const std::wstring& name) = 0;
};

}  // namespace hv::platform
