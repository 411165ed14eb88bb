// Loading the shipped language files through the catalogue, and the lookups
// that the windows make while they are created.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "i18n/catalogue.h"
#include "support/fake_files.h"
#include "support/fake_locale.h"

namespace {

using namespace hv;

constexpr wchar_t kExe[] = L"C:\\Horvane\\horvane.exe";

// The shipped folder, read once into memory: the figures are the
// catalogue's own work, without the disk.
test::FakeFiles& Shipped() {
  static test::FakeFiles files = [] {
    test::FakeFiles f;
    f.addFolder(L"C:\\Horvane");
    f.addFolder(L"C:\\Horvane\\Languages");
    for (const auto& e : std::filesystem::directory_iterator(
             std::filesystem::path(HORVANE_SOURCE_DIR) / "Languages")) {
      std::ifstream in(e.path(), std::ios::binary);
      f.addFile(L"C:\\Horvane\\Languages\\" + e.path().filename().wstring(),
                {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()});
    }
    return f;
  }();
  return files;
}

// What the main window asks for while it is created, plus its tick's text.
constexpr const wchar_t* kMainWindowKeys[] = {L"File",
                                              L"Exit",
                                              L"Exit",
                                              L"Online Help",
                                              L"Online Help",
                                              L"Help",
                                              L"Update Notifications",
                                              L"Language...",
                                              L"Language...",
                                              L"Send Feedback...",
                                              L"Send Feedback...",
                                              L"About",
                                              L"About",
                                              L"Server:",
                                              L"Server Time:",
                                              L"Computer Time:",
                                              L"Computer Timezone:",
                                              L"Daylight Saving:",
                                              L"Get Server Time",
                                              L"Sync Computer Time",
                                              L"Hotkey:",
                                              L"Show",
                                              L"Automatically Synchronize",
                                              L"Disabled"};

void BM_LoadLanguage_Named(benchmark::State& state) {
  test::FakeLocale locale;
  for (auto _ : state) {
    i18n::LoadLanguage(Shipped(), locale, kExe, L"German.lang.txt");
    benchmark::DoNotOptimize(i18n::LoadedLanguagePath().data());
  }
  if (i18n::LoadedLanguageName() != L"German") state.SkipWithError("German not loaded");
}

void BM_LoadLanguage_FromTable(benchmark::State& state) {
  test::FakeLocale locale;
  locale.uiLanguage = 1055;
  for (auto _ : state) {
    i18n::LoadLanguage(Shipped(), locale, kExe, L"");
    benchmark::DoNotOptimize(i18n::LoadedLanguagePath().data());
  }
  if (i18n::LoadedLanguageName() != L"Turkish") state.SkipWithError("Turkish not chosen");
}

void BM_Translate_MainWindow(benchmark::State& state) {
  test::FakeLocale locale;
  i18n::LoadLanguage(Shipped(), locale, kExe, L"German.lang.txt");
  const std::vector<std::wstring> keys(std::begin(kMainWindowKeys), std::end(kMainWindowKeys));
  for (auto _ : state) {
    for (const auto& k : keys) benchmark::DoNotOptimize(i18n::Translate(k));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(std::size(keys)));
}

// A text without a translation scans the whole file.
void BM_Translate_Missing(benchmark::State& state) {
  test::FakeLocale locale;
  i18n::LoadLanguage(Shipped(), locale, kExe, L"German.lang.txt");
  const std::wstring key = L"No such text";
  for (auto _ : state) benchmark::DoNotOptimize(i18n::Translate(key));
}

BENCHMARK(BM_LoadLanguage_Named);
BENCHMARK(BM_LoadLanguage_FromTable);
BENCHMARK(BM_Translate_MainWindow);
BENCHMARK(BM_Translate_Missing);

}  // namespace
