#include "web/download_link.h"

namespace hv::web {
namespace {

bool StartsWithNoCase(std::wstring_view text, std::wstring_view lowerPrefix) {
  if (text.size() < lowerPrefix.size()) return false;
  for (std::size_t i = 0; i < lowerPrefix.size(); ++i) {
    wchar_t c = text[i];
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    if (c != lowerPrefix[i]) return false;
  }
  return true;
}

// Printable ASCII without the space and the quotes, which could end the
// address wherever the shell or a browser quotes it.
bool IsAddressCharacter(wchar_t c) {
  return c > L' ' && c < 0x7F && c != L'"' && c != L'\'';
}

}  // namespace

bool IsSafeWebAddress(std::wstring_view url) {
  if (url.size() > kMaxDownloadUrl) return false;
  std::size_t scheme = 0;
  if (StartsWithNoCase(url, L"https://"))
    scheme = 8;
  else if (StartsWithNoCase(url, L"http://"))
    scheme = 7;
  else
    return false;
  if (url.size() == scheme || url[scheme] == L'/') return false;
  for (wchar_t c : url)
    if (!IsAddressCharacter(c)) return false;
  return true;
}

std::wstring AcceptedDownloadURL(std::wstring_view url, bool overHttps) {
  if (!overHttps || !IsSafeWebAddress(url)) return {};
  return std::wstring(url);
}

std::wstring Capped(std::wstring_view text, std::size_t max) {
  if (text.size() <= max) return std::wstring(text);
  std::size_t keep = max;
  // Half a surrogate pair is no character.
  if (keep > 0 && text[keep - 1] >= 0xD800 && text[keep - 1] <= 0xDBFF) --keep;
  return std::wstring(text.substr(0, keep));
}

}  // namespace hv::web
