#pragma once
// What an update answer may leave behind: the download address the notice
// opens, and the texts kept in the store. The answer is unauthenticated
// unless it came over HTTPS, and the program runs elevated.
#include <cstddef>
#include <string>
#include <string_view>

namespace hv::web {

inline constexpr std::size_t kMaxDownloadUrl = 2048;
// Version and price are short texts; nothing longer is kept.
inline constexpr std::size_t kMaxStoredText = 64;

// An "https://" or "http://" address (scheme in any letter case) with a host
// after the scheme, of at most kMaxDownloadUrl printable ASCII characters
// and without spaces or quotes.
bool IsSafeWebAddress(std::wstring_view url);

// The answer's address when the answer came over HTTPS and the address is
// safe; otherwise empty, and the notice falls back to the home page.
std::wstring AcceptedDownloadURL(std::wstring_view url, bool overHttps);

// text, cut after max characters.
std::wstring Capped(std::wstring_view text, std::size_t max);

}  // namespace hv::web
