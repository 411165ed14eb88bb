// The client identity fields: the platform name and "os=" text, the locale
// name and the machine identifier.
#include <gtest/gtest.h>

#include "base/error.h"
#include "support/fake_locale_info.h"
#include "support/fake_registry.h"
#include "support/fake_system_info.h"
#include "support/fake_version_info.h"
#include "support/new_run.h"
#include "web/client_locale.h"
#include "web/machine_guid.h"
#include "web/os_version.h"

namespace hv::web {
namespace {

using platform::RegistryRoot;
using test::FakeLocaleInfo;
using test::FakeRegistry;
using test::FakeSystemInfo;
using test::FakeVersionInfo;

struct NameCase {
  int major, minor;
  std::uint8_t productType;
  Architecture arch;
  bool verifiedWorkstation, serverR2;
  const wchar_t* name;
};

class PlatformNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(PlatformNames, FirstMatchingRowWins) {
  const auto& c = GetParam();
  EXPECT_EQ(
      PlatformName(c.major, c.minor, c.arch, {c.productType, c.verifiedWorkstation, c.serverR2}),
      c.name);
}

constexpr auto X86 = Architecture::X86;
constexpr auto X64 = Architecture::X64;

INSTANTIATE_TEST_SUITE_P(
    Table, PlatformNames,
    ::testing::Values(NameCase{5, 0, 3, X86, false, false, L"Windows 2000"},
                      NameCase{5, 1, 1, X86, true, false, L"Windows XP"},
                      NameCase{5, 2, 1, X64, true, true, L"Windows XP"},
                      NameCase{5, 2, 1, X86, true, true, L"Windows Server 2003 R2"},
                      NameCase{5, 2, 3, X64, false, false, L"Windows Server 2003"},
                      NameCase{6, 0, 1, X64, true, false, L"Windows Vista"},
                      NameCase{6, 0, 3, X64, true, false, L"Windows Server 2008"},
                      NameCase{6, 1, 1, X86, false, false, L"Windows 7"},
                      NameCase{6, 1, 2, X86, true, false, L"Windows Server 2008 R2"},
                      NameCase{6, 2, 1, X64, false, false, L"Windows 8"},
                      NameCase{6, 2, 3, X64, true, false, L"Windows Server 2012"},
                      // From 6.3 on the version check decides, not the reported type.
                      NameCase{6, 3, 3, X64, true, false, L"Windows 8.1"},
                      NameCase{6, 3, 1, X64, false, false, L"Windows Server 2012 R2"},
                      NameCase{10, 0, 1, X64, true, false, L"Windows 10"},
                      NameCase{10, 0, 1, X64, false, false, L"Windows Server 2016"},
                      NameCase{6, 4, 1, X64, true, false, L"Windows"},
                      NameCase{7, 0, 1, X64, true, false, L"Windows"},
                      NameCase{10, 1, 1, X64, true, false, L"Windows"},
                      NameCase{11, 0, 1, X64, true, false, L"Windows"},
                      NameCase{0, 0, 0, X86, false, false, L"Windows"}));

TEST(OsDescription, BothPatternsAndEditions) {
  OsVersion os{L"Windows 10", 10, 0, 19041, 0, X64};
  EXPECT_EQ(OsDescription(os), L"Windows 10 (Version 10.0, Build 19041, 64-bit Edition)");
  os = {L"Windows 7", 6, 1, 7601, 1, X86};
  EXPECT_EQ(OsDescription(os),
            L"Windows 7 Service Pack 1 (Version 6.1, Build 7601, 32-bit Edition)");
  os = {L"Windows", 11, 0, 22631, 12, X64};
  EXPECT_EQ(OsDescription(os),
            L"Windows Service Pack 12 (Version 11.0, Build 22631, 64-bit Edition)");
}

struct Capture : ::testing::Test {
  FakeSystemInfo system;
  FakeVersionInfo kernel;  // kernel32.dll's version block
  OsVersion capture() { return CaptureOsVersion(system, kernel); }
};

TEST_F(Capture, AboveSixOneTheKernelFileVersionReplacesTheReportedOne) {
  system.reported = {6, 2, 9200, 0, 1};
  kernel.fixed = FakeVersionInfo::version(10, 0, 22631, 3007);
  const auto os = capture();
  EXPECT_EQ(os.platformName, L"Windows 10");  // a build above 22000 is still 10.0
  EXPECT_EQ(os.major, 10);
  EXPECT_EQ(os.minor, 0);
  EXPECT_EQ(os.build, 22631);
  EXPECT_EQ(os.architecture, X64);
}

TEST_F(Capture, WithoutTheKernelVersionTheWorkstationServiceGivesMajorAndMinor) {
  system.reported = {6, 2, 9200, 0, 1};
  kernel.sizeError = 2;
  system.workstation = platform::MajorMinor{10, 0};
  const auto os = capture();
  EXPECT_EQ(os.platformName, L"Windows 10");
  EXPECT_EQ(os.build, 9200);
}

TEST_F(Capture, WhenBothFallbacksFailTheReportedVersionStays) {
  system.reported = {6, 2, 9200, 0, 1};
  kernel.loadError = 5;
  EXPECT_EQ(OsDescription(capture()), L"Windows 8 (Version 6.2, Build 9200, 64-bit Edition)");
}

TEST_F(Capture, ExactlySixOneIsUsedAsReported) {
  system.reported = {6, 1, 7601, 1, 1};
  system.architecture = 0;
  kernel.fixed = FakeVersionInfo::version(10, 0, 19041, 1);
  EXPECT_EQ(OsDescription(capture()),
            L"Windows 7 Service Pack 1 (Version 6.1, Build 7601, 32-bit Edition)");
}

TEST_F(Capture, BelowFiveOneTheArchitectureIsNotAskedAndIsX86) {
  system.reported = {5, 0, 2195, 4, 1};
  const auto os = capture();
  EXPECT_EQ(system.architectureQueries, 0);
  EXPECT_EQ(os.architecture, X86);
  EXPECT_EQ(os.platformName, L"Windows 2000");
}

TEST_F(Capture, OnlyAmd64CountsAsX64) {
  system.reported = {6, 1, 7601, 0, 1};
  for (std::uint16_t arch : {0, 5, 6, 12}) {
    system.architecture = arch;
    EXPECT_EQ(capture().architecture, X86) << arch;
  }
}

TEST_F(Capture, AFailedVersionQueryNamesPlainWindows) {
  system.reported = {};
  EXPECT_EQ(OsDescription(capture()), L"Windows (Version 0.0, Build 0, 32-bit Edition)");
}

struct Locales : ::testing::Test {
  Locales() { test::BeginNewRun(); }
  ~Locales() override { test::BeginNewRun(); }
  FakeLocaleInfo locale;
};

TEST_F(Locales, TheThreadLocaleNamesTheEntry) {
  locale.thread = 0x0407;
  CaptureDefaultLocaleId(locale);
  EXPECT_EQ(DefaultLocaleId(), 0x0407u);
  EXPECT_EQ(CurrentLocaleName(locale), L"de-DE");
}

TEST_F(Locales, AThreadLocaleOfZeroMeansEnglishUnitedStates) {
  locale.thread = 0;
  CaptureDefaultLocaleId(locale);
  EXPECT_EQ(DefaultLocaleId(), 1033u);
  EXPECT_EQ(CurrentLocaleName(locale), L"en-US");
}

TEST_F(Locales, AnUnlistedLocaleFails) {
  locale.thread = 0x0411;
  CaptureDefaultLocaleId(locale);
  EXPECT_THROW(CurrentLocaleName(locale), Error);
}

TEST_F(Locales, TheListIsBuiltOnceAndARefreshTakesTheUserDefault) {
  CaptureDefaultLocaleId(locale);
  EXPECT_EQ(CurrentLocaleName(locale), L"en-US");
  locale.thread = 0x0411;
  locale.userDefault = 0x040C;
  RefreshDefaultLocaleId(locale);
  EXPECT_EQ(CurrentLocaleName(locale), L"fr-FR");
  EXPECT_EQ(locale.enumerations, 1);
}

TEST_F(Locales, EntriesWithoutAnAbbreviationOrAHexIdAreSkipped) {
  locale.enumerated = {L"00000409", L"0000zz09", L"0409", L"00000C0A", L"00000407"};
  locale.names[0x0C0A] = {L"Spanish", L"", L"es", L"ES"};
  const auto list = EnumerateSystemLocales(locale);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].lcid, 0x0409u);
  EXPECT_EQ(list[0].languageName, L"English (United States)");
  EXPECT_EQ(list[0].abbreviation, L"ENU");
  EXPECT_EQ(list[1].localeName, L"de-DE");
  EXPECT_EQ(LcidOfLocaleText(L"00010407"), 0x0407u);
}

struct Guid : ::testing::Test {
  FakeRegistry registry;
  static constexpr wchar_t kKey[] = L"SOFTWARE\\Microsoft\\Cryptography";
};

TEST_F(Guid, ReadsTheValueAsStoredFromTheSixtyFourBitView) {
  registry.putString(RegistryRoot::LocalMachine, kKey, L"MachineGuid",
                     L"AA546ee8-4f67-4d08-99ac-2bb88e880415");
  EXPECT_EQ(ReadMachineGuid(registry), L"AA546ee8-4f67-4d08-99ac-2bb88e880415");
  ASSERT_EQ(registry.opened.size(), 1u);
  EXPECT_EQ(registry.opened[0].path, kKey);
  EXPECT_EQ(registry.opened[0].access, 0x20019u | 0x100u);
  EXPECT_EQ(registry.keysOpen, 0);
}

TEST_F(Guid, RefusedAccessFallsBackToNarrowerRights) {
  registry.putString(RegistryRoot::LocalMachine, kKey, L"MachineGuid", L"g");
  registry.refusedAccess = {0x20119};
  EXPECT_EQ(ReadMachineGuid(registry), L"g");
  registry.opened.clear();
  registry.refusedAccess = {0x20119, 0x20109, 0x101};
  EXPECT_EQ(ReadMachineGuid(registry), L"");
  ASSERT_EQ(registry.opened.size(), 3u);
  EXPECT_EQ(registry.opened[1].access, 0x20109u);
  EXPECT_EQ(registry.opened[2].access, 0x101u);
}

TEST_F(Guid, AMissingKeyValueOrDataIsEmpty) {
  EXPECT_EQ(ReadMachineGuid(registry), L"");
  registry.addKey(RegistryRoot::LocalMachine, kKey);
  EXPECT_EQ(ReadMachineGuid(registry), L"");
  registry.put(RegistryRoot::LocalMachine, kKey, L"MachineGuid", {platform::reg::kString, {}});
  EXPECT_EQ(ReadMachineGuid(registry), L"");
}

TEST_F(Guid, ExpandableTextCountsAndTheTextEndsAtItsFirstNul) {
  auto value = platform::StringValue(std::wstring(L"abc\0def", 7));
  value.type = platform::reg::kExpandString;
  registry.put(RegistryRoot::LocalMachine, kKey, L"MachineGuid", value);
  EXPECT_EQ(ReadMachineGuid(registry), L"abc");
}

TEST_F(Guid, AValueOfAnotherTypeFailsAndTheKeyIsClosed) {
  registry.put(RegistryRoot::LocalMachine, kKey, L"MachineGuid",
               {platform::reg::kDWord, {1, 0, 0, 0}});
  EXPECT_THROW(ReadMachineGuid(registry), Error);
  EXPECT_EQ(registry.keysOpen, 0);
}

}  // namespace
}  // namespace hv::web
