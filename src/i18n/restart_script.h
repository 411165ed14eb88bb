#pragma once
// The restart after a language change: "start.bat", which waits about a
// second and starts the program again, and the command that runs it. The
// elevated cmd must do exactly that whatever the paths hold, so the paths
// are written for cmd's own reading of them, or the restart is refused.
#include <optional>
#include <string>

namespace hv::platform {
class Locale;
}

namespace hv::i18n {

inline constexpr wchar_t kRestartScriptName[] = L"start.bat";

// The script's three lines, each ended by CR LF. The wait is called by its
// full path in systemFolder, and every "%" of a path is doubled, so that cmd
// expands no variable in it.
std::wstring RestartScriptText(const std::wstring& exePath, const std::wstring& systemFolder);

// The script in the OEM code page, the one cmd reads it in; nullopt when a
// path can't be written faithfully there (a quote, a control character, or
// a character the page lacks).
std::optional<std::string> RestartScriptBytes(platform::Locale& locale, const std::wstring& exePath,
                                              const std::wstring& systemFolder);

// What runs the script: System32's cmd.exe, without AutoRun and delayed
// expansion, in System32, so nothing in the script's folder is run.
struct RestartCommand {
  std::wstring program, parameters, directory;
};
// nullopt when the script's path can't be handed to cmd as it is: cmd's
// command line expands "%" and can't escape it.
std::optional<RestartCommand> RestartCommandFor(const std::wstring& scriptPath,
                                                const std::wstring& systemFolder);

}  // namespace hv::i18n
