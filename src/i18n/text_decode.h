#pragma once
// Byte-to-text decoding for the language files and the language table.
// Malformed input never fails: each bad unit becomes U+FFFD.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace hv::i18n {

std::wstring DecodeUtf8(std::string_view bytes);
std::wstring DecodeUtf16(std::string_view bytes, bool bigEndian);

// A byte-order mark selects UTF-8, UTF-16LE or UTF-16BE (and is dropped);
// without one the bytes go through ansi.
using AnsiDecoder = std::function<std::wstring(const std::string&)>;
std::wstring DecodeTextWithBom(const std::string& bytes, const AnsiDecoder& ansi);

// Lines ended by CR LF, LF or CR; a final line without an ending counts, an
// empty text has no lines.
std::vector<std::wstring> SplitLines(std::wstring_view text);

}  // namespace hv::i18n
