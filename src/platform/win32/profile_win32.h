#pragma once
// The profile (INI) file through the Win32 private-profile calls.
#include "platform/profile.h"

namespace hv::platform::win32 {

class Win32Profile : public ProfileFile {
 public:
  std::wstring readString(const std::wstring& path, const std::wstring& section,
                          const std::wstring& key, const std::wstring& fallback,
                          std::size_t bufferChars) override;
  bool writeString(const std::wstring& path, const std::wstring& section, const std::wstring& key,
                   const std::wstring& value) override;
};

}  // namespace hv::platform::win32
