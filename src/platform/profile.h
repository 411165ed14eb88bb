#pragma once
// Profile (INI) file boundary: each call reads or writes the file directly.
#include <cstddef>
#include <string>

namespace hv::platform {

class ProfileFile {
 public:
  virtual ~ProfileFile() = default;
  // At most bufferChars - 1 characters of the value are returned; the platform
  // drops blanks around a stored value and one pair of enclosing quotes.
  virtual std::wstring readString(const std::wstring& path, const std::wstring& section,
                                  const std::wstring& key, const std::wstring& fallback,
                                  std::size_t bufferChars) = 0;
  // False when the platform refused the write.
  virtual bool writeString(const std::wstring& path, const std::wstring& section,
                           const std::wstring& key, const std::wstring& value) = 0;
};

}  // namespace hv::platform
