#include "web/parse_tag.h"

namespace hv::web {

std::wstring ParseTag(std::wstring_view line, std::wstring_view tag) {
  if (line.empty() || tag.empty()) return {};
  std::wstring name(tag);
  for (auto& c : name)
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  const std::wstring open = L"<" + name + L">";
  const std::wstring close = L"</" + name + L">";
  if (line.size() < open.size() + close.size()) return {};
  if (!line.starts_with(open) || !line.ends_with(close)) return {};
  return std::wstring(line.substr(open.size(), line.size() - open.size() - close.size()));
}

}  // namespace hv::web
