#pragma once
// A fresh folder under the temporary folder for one test, removed with
// everything in it afterwards. The name may carry characters outside ASCII.
#include <atomic>
#include <filesystem>
#include <string>
#include <system_error>

namespace hv::test {

class TempFolder {
 public:
  explicit TempFolder(const std::wstring& stem = L"horvane-test") {
    static std::atomic<int> counter{0};
    const auto base = std::filesystem::temp_directory_path();
    for (int i = 0;; ++i) {
      path_ = base / (stem + L"-" + std::to_wstring(++counter) + L"-" + std::to_wstring(i));
      std::error_code ec;
      if (std::filesystem::create_directory(path_, ec)) break;
      if (i > 100) throw std::filesystem::filesystem_error("no temporary folder", path_, ec);
    }
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // Without a trailing separator.
  std::wstring path() const { return path_.wstring(); }
  std::wstring operator/(const std::wstring& name) const { return (path_ / name).wstring(); }

 private:
  std::filesystem::path path_;
};

}  // namespace hv::test
