// The identity adapters under Wine: the real registry for the update store
// and the machine identifier, the locale list, the version queries.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <cwctype>

#include "base/error.h"
#include "platform/win32/http_win32.h"
#include "platform/win32/locale_info_win32.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/system_info_win32.h"
#include "platform/win32/version_info_win32.h"
#include "support/fake_clock.h"
#include "support/new_run.h"
#include "web/client_locale.h"
#include "web/machine_guid.h"
#include "web/os_version.h"
#include "web/update_check.h"
#include "web/update_store.h"

namespace hv::web {
namespace {

using platform::RegistryRoot;

// A key of the test's own, removed before and after.
class ScratchKey : public ::testing::Test {
 protected:
  void SetUp() override { registry.deleteTree(RegistryRoot::CurrentUser, kBase); }
  void TearDown() override {
    test::BeginNewRun();
    registry.deleteTree(RegistryRoot::CurrentUser, kBase);
  }
  static constexpr wchar_t kBase[] = L"Software\\CALVION\\HorvaneWineTest";
  static constexpr wchar_t kStore[] = L"Software\\CALVION\\HorvaneWineTest\\Settings";
  platform::win32::Win32Registry registry;
};

TEST_F(ScratchKey, TheStoreIsCreatedAndKeepsStrings) {
  auto store = UpdateStore::Open(registry, kStore);
  EXPECT_EQ(store->read(L"HowMany"), std::nullopt);
  store->write(L"HowMany", L"41");
  store->write(L"CurrentURL", L"https://example.invalid/\u00fcber");
  auto again = UpdateStore::Open(registry, kStore);
  EXPECT_EQ(again->read(L"HowMany"), L"41");
  EXPECT_EQ(again->read(L"CurrentURL"), L"https://example.invalid/\u00fcber");
  const auto raw = registry.openKey(RegistryRoot::CurrentUser, kStore, platform::reg::kRead)
                       ->queryValue(L"HowMany");
  ASSERT_TRUE(raw);
  EXPECT_EQ(raw->type, platform::reg::kString);
}

TEST_F(ScratchKey, ACheckAgainstTheSiteFillsTheStore) {
  const char* port = std::getenv("HORVANE_MAKER_PORT");
  if (!port) GTEST_SKIP() << "run through tests/win/run-web.sh";
  platform::win32::Win32Http http;
  platform::win32::Win32LocaleInfo locale;
  test::FakeClock clock;
  test::BeginNewRun();
  UpdateCheckContext context{http,
                             registry,
                             locale,
                             clock,
                             L"127.0.0.1:" + std::wstring(port, port + std::strlen(port)),
                             L"CALVION - Horvane",
                             L"2.1",
                             kStore};
  CheckForUpdate(context);
  ASSERT_TRUE(CheckDone());
  EXPECT_FALSE(CheckFailed()) << std::string(CheckErrorLog().begin(), CheckErrorLog().end());
  // The site names 2.2 (tests/fixtures/maker_server.py).
  EXPECT_TRUE(UpdateAvailable());
  auto store = UpdateStore::Open(registry, kStore);
  EXPECT_EQ(store->read(L"HowMany"), L"1");
  EXPECT_EQ(store->read(L"InstalledVersion"), L"2.1");
  EXPECT_EQ(store->read(L"CurrentVersion"), L"2.2");
  EXPECT_TRUE(store->read(L"LastUpdateInform").has_value());
  SetShowUpdate(registry, false);
  EXPECT_EQ(store->read(L"ShowUpdate"), L"0");
}

TEST_F(ScratchKey, MachineGuidMissingOrOfTheWrongType) {
  EXPECT_EQ(ReadMachineGuid(registry, RegistryRoot::CurrentUser, kStore), L"");
  auto key = registry.createKey(RegistryRoot::CurrentUser, kStore);
  ASSERT_TRUE(key);
  EXPECT_EQ(ReadMachineGuid(registry, RegistryRoot::CurrentUser, std::wstring(L"\\") + kStore),
            L"");
  ASSERT_TRUE(key->setValue(L"MachineGuid", {platform::reg::kDWord, {7, 0, 0, 0}}));
  EXPECT_THROW(ReadMachineGuid(registry, RegistryRoot::CurrentUser, kStore), Error);
  ASSERT_TRUE(key->setValue(L"MachineGuid", platform::StringValue(L"{Braced-Guid}")));
  EXPECT_EQ(ReadMachineGuid(registry, RegistryRoot::CurrentUser, kStore), L"{Braced-Guid}");
}

TEST(Win32Identity, TheMachineGuidOfThePrefix) {
  platform::win32::Win32Registry registry;
  const auto guid = ReadMachineGuid(registry);
  EXPECT_EQ(guid.size(), 36u) << std::string(guid.begin(), guid.end());
}

TEST(Win32Identity, CurrentLocaleNameIsEnglishUnitedStates) {
  platform::win32::Win32LocaleInfo locale;
  test::BeginNewRun();
  CaptureDefaultLocaleId(locale);
  EXPECT_EQ(DefaultLocaleId(), 1033u);
  EXPECT_EQ(CurrentLocaleName(locale), L"en-US");
  const auto list = EnumerateSystemLocales(locale);
  EXPECT_GT(list.size(), 20u);
  test::BeginNewRun();
}

TEST(Win32Identity, TheShortDateFollowsTheUsersFormat) {
  platform::win32::Win32LocaleInfo locale;
  EXPECT_EQ(locale.shortDate({2024, 3, 5, 15, 0, 0, 0, 0}), L"3/15/2024");
}

TEST(Win32Identity, TheOperatingSystemIsNamed) {
  platform::win32::Win32SystemInfo system;
  platform::win32::Win32VersionInfo versions;
  const OsVersion os = CaptureOsVersion(system, versions);
  const std::wstring text = OsDescription(os);
  EXPECT_TRUE(text.starts_with(L"Windows")) << std::string(text.begin(), text.end());
  EXPECT_GE(os.major, 6);
  EXPECT_EQ(os.architecture, Architecture::X64);
  EXPECT_TRUE(text.ends_with(L", 64-bit Edition)"));
  EXPECT_TRUE(system.workstationVersion().has_value());
}

}  // namespace
}  // namespace hv::web
