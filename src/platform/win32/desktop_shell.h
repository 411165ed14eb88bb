#pragma once
// Opening a document through the desktop's own shell, the Explorer that
// runs in the signed-in user's session at the user's own rights.
#include <string>

#include "platform/shell.h"

namespace hv::platform::win32 {

struct ShellRequest {
  std::wstring file;
  std::wstring parameters;
  ShowCommand show = ShowCommand::Normal;
};

// The desktop shell opens the request with the verb "open", so that what
// starts runs unelevated even when this process is elevated. False when
// there is no desktop shell to ask or it refused; nothing was opened then.
// Needs COM on the calling thread.
bool OpenThroughDesktopShell(const ShellRequest& request);

// ShellExecute "open" from this process, at its own rights.
void OpenDirectly(const ShellRequest& request);

}  // namespace hv::platform::win32
