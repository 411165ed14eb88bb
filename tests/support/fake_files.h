#pragma once
// In-memory files and folders. Paths compare without regard to ASCII case,
// as Windows paths do; listings keep the order in which entries were added.
#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/files.h"

namespace hv::test {

class FakeFiles : public platform::Files {
 public:
  std::wstring exePath = L"C:\\Tools\\horvane.exe";
  std::wstring roaming = L"C:\\Users\\me\\AppData\\Roaming";
  std::wstring system = L"C:\\Windows\\System32";
  // Folders in which no file can be created (the probe fails there).
  std::set<std::wstring> readOnlyFolders;
  // Files that exist but can't be read.
  std::set<std::wstring> unreadable;
  // Every probe and every folder creation, in call order.
  std::vector<std::wstring> probes;
  std::vector<std::wstring> createdFolders;

  explicit FakeFiles(wchar_t separator = L'\\') : sep_(separator) {}

  void addFolder(const std::wstring& path) {
    if (!find(path)) entries_.push_back({path, std::nullopt});
  }
  void addFile(const std::wstring& path, std::string bytes) {
    if (auto* e = find(path)) {
      e->bytes = std::move(bytes);
    } else {
      entries_.push_back({path, std::move(bytes)});
    }
  }
  std::optional<std::string> contents(const std::wstring& path) const {
    for (const auto& e : entries_) {
      if (same(e.path, path)) return e.bytes;
    }
    return std::nullopt;
  }

  wchar_t separator() const override { return sep_; }
  std::wstring moduleFileName() override { return exePath; }
  bool createProbeFile(const std::wstring& path) override {
    probes.push_back(path);
    const std::wstring folder = platform::FolderWithoutSeparator(path, sep_);
    if (find(path) || !directoryExists(folder)) return false;
    return std::none_of(readOnlyFolders.begin(), readOnlyFolders.end(),
                        [&](const std::wstring& f) { return same(f, folder); });
  }
  std::wstring roamingAppDataFolder() override { return roaming; }
  std::wstring systemFolder() override { return system; }
  void createDirectory(const std::wstring& path) override {
    createdFolders.push_back(path);
    addFolder(path);
  }
  bool directoryExists(const std::wstring& path) override {
    const auto* e = find(path);
    return e && !e->bytes;
  }
  bool fileExists(const std::wstring& path) override {
    const auto* e = find(path);
    return e && e->bytes;
  }
  std::vector<std::wstring> listFiles(const std::wstring& folder,
                                      const std::wstring& suffix) override {
    std::vector<std::wstring> names;
    const std::wstring prefix = platform::WithTrailingSeparator(folder, sep_);
    for (const auto& e : entries_) {
      if (!e.bytes || e.path.size() <= prefix.size()) continue;
      if (!same(e.path.substr(0, prefix.size()), prefix)) continue;
      const std::wstring name = e.path.substr(prefix.size());
      if (name.find(sep_) != std::wstring::npos || name.size() < suffix.size()) continue;
      if (same(name.substr(name.size() - suffix.size()), suffix)) names.push_back(name);
    }
    return names;
  }
  std::optional<std::string> readFile(const std::wstring& path) override {
    const auto* e = find(path);
    if (!e || !e->bytes) return std::nullopt;
    for (const auto& u : unreadable) {
      if (same(u, path)) return std::nullopt;
    }
    return e->bytes;
  }
  bool writeFile(const std::wstring& path, const std::string& bytes) override {
    if (!directoryExists(platform::FolderWithoutSeparator(path, sep_))) return false;
    if (directoryExists(path)) return false;
    addFile(path, bytes);
    return true;
  }

 private:
  struct Entry {
    std::wstring path;
    std::optional<std::string> bytes;  // nullopt: a folder
  };

  static wchar_t lower(wchar_t c) { return (c >= L'A' && c <= L'Z') ? c - L'A' + L'a' : c; }
  static bool same(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](wchar_t x, wchar_t y) { return lower(x) == lower(y); });
  }
  Entry* find(const std::wstring& path) {
    for (auto& e : entries_) {
      if (same(e.path, path)) return &e;
    }
    return nullptr;
  }
  const Entry* find(const std::wstring& path) const {
    return const_cast<FakeFiles*>(this)->find(path);
  }

  wchar_t sep_;
  std::vector<Entry> entries_;
};

}  // namespace hv::test
