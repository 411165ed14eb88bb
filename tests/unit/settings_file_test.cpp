#include "app/settings_file.h"

#include <gtest/gtest.h>

#include <functional>

#include "base/error.h"
#include "support/fake_profile.h"

namespace hv::app {
namespace {

constexpr wchar_t kPath[] = L"C:\\Tools\\settings.ini";

TEST(SettingsFile, DaylightIsTickedOnlyForTheInteger1) {
  const struct {
    const wchar_t* stored;
    bool ticked;
  } cases[] = {
      {L"1", true},    {L"0x1", true},   {L"0X01", true},  {L"+1", true},
      {L" 1 ", true},  {L"\"1\"", true}, {L"0", false},    {L"2", false},
      {L"yes", false}, {L"", false},     {L"1.0", false},  {L"1x", false},
      {L"0x", false},  {L"-1", false},   {L"0x11", false}, {L"4294967297", false},
  };
  for (const auto& c : cases) {
    test::FakeProfile profile;
    profile.put(kPath, L"Settings", L"Daylight", c.stored);
    EXPECT_EQ(SettingsFile(profile, kPath).daylight(), c.ticked) << "Daylight=" << c.stored;
  }
}

TEST(SettingsFile, ProfileIntegersFollowTheirOwnRules) {
  const struct {
    const wchar_t* text;
    std::optional<int> value;
  } cases[] = {
      {L"0", 0},
      {L"-17", -17},
      {L"0x1F", 31},
      {L"0xffffffff", -1},
      {L"2147483647", 2147483647},
      {L"2147483648", std::nullopt},
      {L"-2147483648", INT32_MIN},
      {L"+", std::nullopt},
      {L" 1", std::nullopt},
      {L"0x-1", std::nullopt},
      {L"12a", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseProfileInteger(c.text), c.value) << c.text;
}

TEST(SettingsFile, AutomaticSynchronisationNeedsExactlyON) {
  const struct {
    const wchar_t* stored;
    bool ticked;
  } cases[] = {{L"ON", true},   {L" ON", true}, {L"on", false}, {L"On", false},
               {L"OFF", false}, {L"1", false},  {L"", false},   {L"ONE", false}};
  for (const auto& c : cases) {
    test::FakeProfile profile;
    profile.put(kPath, L"Settings", L"AutomaticallySynchronize", c.stored);
    EXPECT_EQ(SettingsFile(profile, kPath).automaticallySynchronize(), c.ticked) << c.stored;
  }
}

TEST(SettingsFile, MissingFileGivesDefaultsAndCreatesNothing) {
  test::FakeProfile profile;
  SettingsFile s(profile, kPath);
  EXPECT_EQ(s.languageFile(), L"");
  EXPECT_EQ(s.server(), L"");
  EXPECT_FALSE(s.daylight());
  EXPECT_FALSE(s.automaticallySynchronize());
  EXPECT_FALSE(profile.hasFile(kPath));
  EXPECT_EQ(s.path(), kPath);
}

TEST(SettingsFile, ValuesAreSeenUpTo2047Characters) {
  for (std::size_t length : {2046u, 2047u, 2048u, 5000u}) {
    test::FakeProfile profile;
    const std::wstring host(length, L'h');
    SettingsFile s(profile, kPath);
    s.setServer(host);
    EXPECT_EQ(s.server(), host.substr(0, 2047)) << length;
  }
}

TEST(SettingsFile, WritesUseTheStoredSpelling) {
  test::FakeProfile profile;
  SettingsFile s(profile, kPath);
  s.setDaylight(true);
  s.setAutomaticallySynchronize(true);
  s.setServer(L"time.example.org");
  s.setLanguageFile(L"German.lang.txt");
  EXPECT_EQ(profile.raw(kPath, L"Settings", L"Daylight"), L"1");
  EXPECT_EQ(profile.raw(kPath, L"Settings", L"AutomaticallySynchronize"), L"ON");
  EXPECT_EQ(profile.raw(kPath, L"Settings", L"Server"), L"time.example.org");
  EXPECT_EQ(profile.raw(kPath, L"Settings", L"LanguageFile"), L"German.lang.txt");
  EXPECT_TRUE(s.daylight());
  EXPECT_TRUE(s.automaticallySynchronize());

  s.setDaylight(false);
  s.setAutomaticallySynchronize(false);
  EXPECT_EQ(profile.raw(kPath, L"Settings", L"Daylight"), L"0");
  EXPECT_EQ(profile.raw(kPath, L"Settings", L"AutomaticallySynchronize"), L"OFF");
  EXPECT_EQ(s.languageFile(), L"German.lang.txt");
}

TEST(SettingsFile, RefusedWriteNamesTheFile) {
  test::FakeProfile profile;
  profile.refuseWrites = true;
  SettingsFile s(profile, kPath);
  const std::function<void()> writes[] = {
      [&] { s.setDaylight(true); }, [&] { s.setAutomaticallySynchronize(false); },
      [&] { s.setServer(L"x"); }, [&] { s.setLanguageFile(L"German.lang.txt"); }};
  for (const auto& write : writes) {
    try {
      write();
      ADD_FAILURE() << "a refused write went unnoticed";
    } catch (const Error& e) {
      EXPECT_EQ(e.message(), L"Unable to write to C:\\Tools\\settings.ini");
    }
  }
  EXPECT_FALSE(profile.hasFile(kPath));
}

}  // namespace
}  // namespace hv::app
