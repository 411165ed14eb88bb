#pragma once
// The machine identifier sent as "guid=": the registry value MachineGuid,
// read afresh for every request.
#include <string>

#include "platform/registry.h"

namespace hv::web {

inline constexpr wchar_t kCryptographyKey[] = L"\\SOFTWARE\\Microsoft\\Cryptography";
inline constexpr wchar_t kMachineGuidValue[] = L"MachineGuid";

// The value's text exactly as stored, up to its first NUL; empty when the
// key can't be opened or the value is missing or has no data. Throws
// hv::Error when the value is not of a text type. The key is opened
// read-only in the 64-bit view; a leading "\" means the root itself.
std::wstring ReadMachineGuid(platform::Registry& registry,
                             platform::RegistryRoot root = platform::RegistryRoot::LocalMachine,
                             const std::wstring& keyPath = kCryptographyKey);

}  // namespace hv::web
