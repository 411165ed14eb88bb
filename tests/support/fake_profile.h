#pragma once
// In-memory profile files that read like the platform's: blanks around a
// value and one pair of enclosing quotes dropped, at most bufferChars - 1
// characters returned. Sections and keys ignore ASCII case.
#include <map>
#include <optional>
#include <string>

#include "platform/profile.h"

namespace hv::test {

class FakeProfile : public platform::ProfileFile {
 public:
  // When set, every write is refused and changes nothing.
  bool refuseWrites = false;
  int writes = 0;

  // Stores a value as a hand-edited file would hold it.
  void put(const std::wstring& path, const std::wstring& section, const std::wstring& key,
           const std::wstring& raw) {
    files_[path][fold(section)][fold(key)] = raw;
  }
  std::optional<std::wstring> raw(const std::wstring& path, const std::wstring& section,
                                  const std::wstring& key) const {
    const auto f = files_.find(path);
    if (f == files_.end()) return std::nullopt;
    const auto s = f->second.find(fold(section));
    if (s == f->second.end()) return std::nullopt;
    const auto k = s->second.find(fold(key));
    if (k == s->second.end()) return std::nullopt;
    return k->second;
  }
  bool hasFile(const std::wstring& path) const { return files_.count(path) != 0; }

  std::wstring readString(const std::wstring& path, const std::wstring& section,
                          const std::wstring& key, const std::wstring& fallback,
                          std::size_t bufferChars) override {
    if (bufferChars == 0) return {};
    std::wstring value = fallback;
    if (auto stored = raw(path, section, key)) value = unquote(trim(*stored));
    if (value.size() > bufferChars - 1) value.resize(bufferChars - 1);
    return value;
  }
  bool writeString(const std::wstring& path, const std::wstring& section, const std::wstring& key,
                   const std::wstring& value) override {
    if (refuseWrites) return false;
    ++writes;
    put(path, section, key, value);
    return true;
  }

 private:
  static std::wstring fold(std::wstring s) {
    for (auto& c : s) {
      if (c >= L'A' && c <= L'Z') c = c - L'A' + L'a';
    }
    return s;
  }
  static std::wstring trim(const std::wstring& s) {
    const auto b = s.find_first_not_of(L" \t");
    if (b == std::wstring::npos) return {};
    return s.substr(b, s.find_last_not_of(L" \t") - b + 1);
  }
  static std::wstring unquote(const std::wstring& s) {
    if (s.size() >= 2 && (s.front() == L'"' || s.front() == L'\'') && s.back() == s.front()) {
      return s.substr(1, s.size() - 2);
    }
    return s;
  }

  std::map<std::wstring, std::map<std::wstring, std::map<std::wstring, std::wstring>>> files_;
};

}  // namespace hv::test
