#include "app/settings_folder.h"

namespace hv::app {

bool IsFolderWritable(platform::Files& files, std::wstring folder) {
  folder = platform::WithTrailingSeparator(folder, files.separator());
  return files.createProbeFile(folder + L"chk.tmp");
}

std::wstring ChooseSettingsFolder(platform::Files& files, const std::wstring& exePath,
                                  const std::wstring& companyName,
                                  const std::wstring& productName) {
  const std::wstring programFolder = platform::FolderWithoutSeparator(exePath, files.separator());
  if (IsFolderWritable(files, programFolder)) {
    return platform::WithTrailingSeparator(programFolder, files.separator());
  }
  return PerUserFolder(files, companyName, productName);
}

std::wstring PerUserFolder(platform::Files& files, const std::wstring& companyName,
                           const std::wstring& productName) {
  const wchar_t sep = files.separator();
  const std::wstring company = files.roamingAppDataFolder() + sep + companyName;
  const std::wstring product = company + sep + productName;
  files.createDirectory(company);
  files.createDirectory(product);
  return product + sep;
}

}  // namespace hv::app
