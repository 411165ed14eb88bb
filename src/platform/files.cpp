#include "platform/files.h"

namespace hv::platform {
namespace {

bool EndsFolderPart(wchar_t c, wchar_t separator) {
  return c == separator || (separator == L'\\' && c == L':');
}

}  // namespace

std::wstring FolderWithSeparator(const std::wstring& path, wchar_t separator) {
  for (std::size_t i = path.size(); i > 0; --i) {
    if (EndsFolderPart(path[i - 1], separator)) return path.substr(0, i);
  }
  return {};
}

std::wstring FolderWithoutSeparator(const std::wstring& path, wchar_t separator) {
  std::wstring folder = FolderWithSeparator(path, separator);
  if (folder.empty() || folder.back() != separator) return folder;
  const bool root = folder.size() == 1 || EndsFolderPart(folder[folder.size() - 2], separator);
  if (!root) folder.pop_back();
  return folder;
}

std::wstring WithTrailingSeparator(const std::wstring& path, wchar_t separator) {
  if (!path.empty() && path.back() == separator) return path;
  return path + separator;
}

}  // namespace hv::platform
