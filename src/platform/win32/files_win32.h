#pragma once
// Files and folders through the Win32 file and shell-folder calls.
#include "platform/files.h"

namespace hv::platform::win32 {

class Win32Files : public Files {
 public:
  wchar_t separator() const override { return L'\\'; }
  std::wstring moduleFileName() override;
  bool createProbeFile(const std::wstring& path) override;
  std::wstring roamingAppDataFolder() override;
  std::wstring systemFolder() override;
  void createDirectory(const std::wstring& path) override;
  bool directoryExists(const std::wstring& path) override;
  bool fileExists(const std::wstring& path) override;
  std::vector<std::wstring> listFiles(const std::wstring& folder,
                                      const std::wstring& suffix) override;
  std::optional<std::string> readFile(const std::wstring& path) override;
  bool writeFile(const std::wstring& path, const std::string& bytes) override;
};

// Full path of the running program file.
std::wstring ModuleFileName();
// Appends bytes at the end of the file, creating it; false when that failed.
bool AppendToFile(const std::wstring& path, const std::string& bytes);

}  // namespace hv::platform::win32
