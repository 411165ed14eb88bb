#include "i18n/restart_script.h"

#include <algorithm>

#include "platform/locale.h"

namespace hv::i18n {
namespace {

// Text that cmd would take for something else even between quotes.
bool PlainPath(const std::wstring& path) {
  return !path.empty() && std::none_of(path.begin(), path.end(), [](wchar_t c) {
    return c < L' ' || c == L'"' || c == 0x7F;
  });
}

std::wstring DoublePercents(const std::wstring& path) {
  std::wstring out;
  for (wchar_t c : path) {
    out += c;
    if (c == L'%') out += c;
  }
  return out;
}

}  // namespace

std::wstring RestartScriptText(const std::wstring& exePath, const std::wstring& systemFolder) {
  return L"@ECHO OFF\r\n"
         L"\"" +
         DoublePercents(systemFolder) + L"\\PING.EXE\" 192.0.2.2 -n 1 -w 1000 > nul\r\n" + L"\"" +
         DoublePercents(exePath) + L"\"\r\n";
}

std::optional<std::string> RestartScriptBytes(platform::Locale& locale, const std::wstring& exePath,
                                              const std::wstring& systemFolder) {
  if (!PlainPath(exePath) || !PlainPath(systemFolder)) return std::nullopt;
  return locale.toOem(RestartScriptText(exePath, systemFolder));
}

std::optional<RestartCommand> RestartCommandFor(const std::wstring& scriptPath,
                                                const std::wstring& systemFolder) {
  if (!PlainPath(scriptPath) || !PlainPath(systemFolder)) return std::nullopt;
  if (scriptPath.find(L'%') != std::wstring::npos) return std::nullopt;
  // /s takes the outer quotes off and keeps the inner ones, so "&" or "^" in
  // the folder's name stays part of the path.
  return RestartCommand{systemFolder + L"\\cmd.exe", L"/d /v:off /s /c \"\"" + scriptPath + L"\"\"",
                        systemFolder};
}

}  // namespace hv::i18n
