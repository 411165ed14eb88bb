#pragma once
// Where settings.ini lives: next to the program when that folder can be
// written, otherwise in the user's roaming folder.
#include <string>

#include "platform/files.h"

namespace hv::app {

// True when a probe file "chk.tmp" can be created in folder; never fails.
bool IsFolderWritable(platform::Files& files, std::wstring folder);

// The settings folder, always ending with the separator.
std::wstring ChooseSettingsFolder(platform::Files& files, const std::wstring& exePath,
                                  const std::wstring& companyName, const std::wstring& productName);

// Roaming\Company\Product\, both levels created. Without a roaming folder the
// result starts with the bare separator.
std::wstring PerUserFolder(platform::Files& files, const std::wstring& companyName,
                           const std::wstring& productName);

}  // namespace hv::app
