#pragma once
// Files and folders boundary. Paths are wide text in the platform's form.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace hv::platform {

class Files {
 public:
  virtual ~Files() = default;
  virtual wchar_t separator() const = 0;
  // Full path of the running program file.
  virtual std::wstring moduleFileName() = 0;
  // Creates path exclusively as a temporary file that is deleted on close;
  // true when that worked.
  virtual bool createProbeFile(const std::wstring& path) = 0;
  // The system folder (System32), without a trailing separator.
  virtual std::wstring systemFolder() = 0;
  // The user's roaming application-data folder; empty when there is none.
  virtual std::wstring roamingAppDataFolder() = 0;
  // Creates one folder level; failure (it exists, no rights) is not reported.
  virtual void createDirectory(const std::wstring& path) = 0;
  virtual bool directoryExists(const std::wstring& path) = 0;
  // True only for a file: a folder of that name does not count.
  virtual bool fileExists(const std::wstring& path) = 0;
  // Names (no folder) of the non-folder entries of folder whose names end in
  // suffix, letter case ignored, in the order the listing returns them.
  virtual std::vector<std::wstring> listFiles(const std::wstring& folder,
                                              const std::wstring& suffix) = 0;
  // Whole file contents; nullopt when the file can't be opened or read.
  virtual std::optional<std::string> readFile(const std::wstring& path) = 0;
  // Replaces the file; false when it can't be written, and when the file or
  // one of its folders is a link (a junction or symbolic link): a link that
  // someone planted would aim an elevated write elsewhere.
  virtual bool writeFile(const std::wstring& path, const std::string& bytes) = 0;
};

// Path text helpers. On a platform whose separator is "\" a drive letter's
// ":" also ends the folder part ("C:name").

// The folder part of path including its trailing separator ("" without one).
std::wstring FolderWithSeparator(const std::wstring& path, wchar_t separator);
// The folder part without its trailing separator, except for a root, which
// keeps it ("C:\" and "/").
std::wstring FolderWithoutSeparator(const std::wstring& path, wchar_t separator);
// path, with separator appended unless it already ends with one.
std::wstring WithTrailingSeparator(const std::wstring& path, wchar_t separator);

}  // namespace hv::platform
