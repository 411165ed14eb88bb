// The update check against a fake store and transport: what is sent, what
// is stored, when the notice is due, and what the error log keeps.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <thread>

#include "app/update_timer.h"
#include "support/fake_clock.h"
#include "support/fake_http.h"
#include "support/fake_locale_info.h"
#include "support/fake_registry.h"
#include "support/new_run.h"
#include "ui/headless.h"
#include "web/checker.h"
#include "web/client_locale.h"
#include "web/os_version.h"
#include "web/parse_tag.h"
#include "web/update_check.h"
#include "web/update_store.h"

namespace hv::web {
namespace {

using platform::RegistryRoot;
using test::FakeHttp;

constexpr RegistryRoot kUser = RegistryRoot::CurrentUser;
const std::wstring kHttps = L"https://127.0.0.1:1/php/check2.php";
const std::wstring kHttp = L"http://127.0.0.1:1/php/check2.php";

std::string AnswerFor(const std::string& version, const std::string& url = "https://dl.example/x",
                      const std::string& result = "1") {
  return "<version>" + version + "</version>\r\n<url>" + url + "</url>\r\n<price>9.99</price>\r\n" +
         "<result>" + result + "</result>\r\n<extra>x</extra>\r\n";
}

struct Check : ::testing::Test {
  Check() {
    newRun();
    registry.putString(RegistryRoot::LocalMachine, L"SOFTWARE\\Microsoft\\Cryptography",
                       L"MachineGuid", L"aa546ee8-4f67-4d08-99ac-2bb88e880415");
    clock.set(time::EncodeDateTime(2024, 3, 15, 9, 30, 0, 0));
  }
  ~Check() override { test::BeginNewRun(); }
  void newRun() {
    test::BeginNewRun();
    SetOsVersion({L"Windows 10", 10, 0, 19041, 0, Architecture::X64});
  }
  void run() { CheckForUpdate(context); }
  std::optional<std::wstring> stored(const wchar_t* name) const {
    return registry.text(kUser, kUpdateStoreKey, name);
  }
  void store(const wchar_t* name, const std::wstring& text) {
    registry.putString(kUser, kUpdateStoreKey, name, text);
  }
  std::string body(std::size_t i = 0) const { return http.sent.at(i).request.body; }

  FakeHttp http;
  test::FakeRegistry registry;
  test::FakeLocaleInfo locale;
  test::FakeClock clock;
  UpdateCheckContext context{http,  registry, locale, clock, L"127.0.0.1:1", L"CALVION - Horvane",
                             L"2.2"};
};

TEST_F(Check, SendsEveryIdentityFieldInOrder) {
  http.answer(kHttps, AnswerFor("2.2"));
  run();
  ASSERT_EQ(http.sent.size(), 1u);
  EXPECT_EQ(body(),
            "cmd=check&appname=CALVION+-+Horvane&version=2.2"
            "&os=Windows+10+%28Version+10.0%2C+Build+19041%2C+64-bit+Edition%29"
            "&local=en-US&guid=aa546ee8-4f67-4d08-99ac-2bb88e880415&howmany=1");
  EXPECT_EQ(http.sent[0].request.timeoutMs, 10000u);
  EXPECT_EQ(http.sent[0].header(L"Connection"), L"close");
  EXPECT_EQ(CheckEndpoint(), L"127.0.0.1:1/php/check2.php");
  EXPECT_TRUE(CheckDone());
}

TEST_F(Check, TheRunningVersionIsStoredButNotAnnounced) {
  http.answer(kHttps, AnswerFor("2.2"));
  run();
  EXPECT_FALSE(UpdateAvailable());
  EXPECT_FALSE(CheckFailed());
  EXPECT_EQ(stored(L"CurrentVersion"), L"2.2");
  EXPECT_EQ(stored(L"CurrentURL"), L"https://dl.example/x");
  EXPECT_EQ(stored(L"CurrentPrice"), L"9.99");
  EXPECT_EQ(stored(L"LastUpdateInform"), std::nullopt);
}

TEST_F(Check, AnyOtherNumericVersionIsAnnounced) {
  for (const char* version : {"2.3", "2.1", "2.2.1", "10"}) {
    newRun();
    http.clear();
    http.answer(kHttps, AnswerFor(version));
    run();
    EXPECT_TRUE(UpdateAvailable()) << version;
    EXPECT_EQ(LatestVersion(), std::wstring(version, version + strlen(version)));
    EXPECT_EQ(DownloadURL(), L"https://dl.example/x");
    EXPECT_EQ(stored(L"LastUpdateInform"), L"3/15/2024");
  }
}

TEST_F(Check, AVersionThatIsNoNumberWithoutItsDotsIsStoredButNotAnnounced) {
  for (const char* version : {"2.3 beta", "", "..", "99999999999"}) {
    newRun();
    http.clear();
    http.answer(kHttps, AnswerFor(version));
    run();
    EXPECT_FALSE(UpdateAvailable()) << version;
    EXPECT_EQ(stored(L"CurrentVersion"), std::wstring(version, version + strlen(version)));
  }
}

TEST_F(Check, ShowUpdateDecidesWhetherTheNoticeMayAppear) {
  struct Case {
    std::optional<std::wstring> stored;
    std::int32_t read;
    bool notice;
  };
  const Case cases[] = {{std::nullopt, 1, true}, {L"1", 1, true},   {L"0", 0, false},
                        {L"2", 2, false},        {L"yes", 1, true}, {L"0x0", 0, false}};
  for (const auto& c : cases) {
    newRun();
    registry = test::FakeRegistry();
    if (c.stored) store(L"ShowUpdate", *c.stored);
    http.clear();
    http.answer(kHttps, AnswerFor("3.0"));
    run();
    EXPECT_EQ(ShowUpdate(), c.read);
    EXPECT_EQ(UpdateAvailable(), c.notice)
        << (c.stored ? std::string(c.stored->begin(), c.stored->end()) : "none");
    // The check never writes the choice itself.
    EXPECT_EQ(stored(L"ShowUpdate"), c.stored);
  }
}

TEST_F(Check, TheLaunchCounterCountsRunsOfTheSameVersion) {
  http.answer(kHttps, AnswerFor("2.2"));
  run();
  EXPECT_EQ(stored(L"HowMany"), L"1");
  EXPECT_EQ(stored(L"InstalledVersion"), L"2.2");
  run();
  run();
  EXPECT_EQ(LaunchCount(), 3);
  EXPECT_TRUE(body(2).ends_with("&howmany=3"));

  store(L"InstalledVersion", L"2.1");
  run();
  EXPECT_EQ(stored(L"HowMany"), L"1");

  store(L"HowMany", L"lots");
  run();
  EXPECT_EQ(stored(L"HowMany"), L"1");
  EXPECT_TRUE(body(4).ends_with("&howmany=1"));
}

TEST_F(Check, AnswersOutsideTheContractAreIgnored) {
  const std::string bad[] = {"ERROR",
                             "ERROR: no such application\r\n" + AnswerFor("3.0"),
                             "<version>3.0</version>\r\n<url>u</url>\r\n<price>p</price>",
                             AnswerFor("3.0", "u", "2"),
                             AnswerFor("3.0", "u", ""),
                             "<html><body>Not Found</body></html>",
                             ""};
  for (const auto& answer : bad) {
    newRun();
    registry = test::FakeRegistry();
    http.clear();
    http.answer(kHttps, answer);
    run();
    EXPECT_FALSE(UpdateAvailable()) << answer;
    EXPECT_EQ(stored(L"CurrentVersion"), std::nullopt) << answer;
    EXPECT_EQ(CheckErrorLog(), L"INVALIDSERVERRESPONSE") << answer;
    EXPECT_TRUE(CheckDone());
  }
}

TEST_F(Check, AResultOfZeroIsValidToo) {
  http.answer(kHttps, AnswerFor("3.0", "u", "0"));
  run();
  EXPECT_TRUE(UpdateAvailable());
}

TEST_F(Check, APlainAnswerAfterAFailedSecureOneIsTakenAndClearsTheLog) {
  locale.thread = 0x0411;  // not among the listed locales
  CaptureDefaultLocaleId(locale);
  http.fail(kHttps, L"The certificate authority is invalid or incorrect");
  http.answer(kHttp, AnswerFor("3.0"));
  run();
  EXPECT_FALSE(CheckFailed());
  EXPECT_EQ(CheckErrorLog(), L"");
  EXPECT_TRUE(UpdateAvailable());
  // Without a locale name the field is left out: "guid=" follows "os=".
  EXPECT_NE(body(1).find("Edition%29&guid="), std::string::npos);
  EXPECT_EQ(http.sent[1].kind, FakeHttp::Kind::Plain);
}

TEST_F(Check, ASecureAnswerIsIgnoredWhenTheLocaleNameWasNotFound) {
  locale.thread = 0x0411;
  CaptureDefaultLocaleId(locale);
  http.answer(kHttps, AnswerFor("3.0"));
  run();
  EXPECT_EQ(CheckErrorLog(), L"Error: LocaleName problem!");
  EXPECT_FALSE(UpdateAvailable());
  EXPECT_EQ(stored(L"CurrentVersion"), std::nullopt);
}

TEST_F(Check, BothFailuresAreLoggedAndNothingIsTaken) {
  http.fail(kHttps, L"timed out");
  http.answer(kHttp, "<html>404</html>", 404);
  run();
  EXPECT_TRUE(CheckFailed());
  EXPECT_EQ(CheckErrorLog(),
            L"HTTPS Response:\rtimed out\r\rHTTP Response:\rHTTP/1.1 404 Not Found");
  EXPECT_EQ(stored(L"CurrentVersion"), std::nullopt);
  EXPECT_TRUE(CheckDone());
}

TEST_F(Check, AMachineGuidOfTheWrongTypeIsSentEmpty) {
  registry.put(RegistryRoot::LocalMachine, L"SOFTWARE\\Microsoft\\Cryptography", L"MachineGuid",
               {platform::reg::kBinary, {1, 2}});
  http.answer(kHttps, AnswerFor("3.0"));
  run();
  EXPECT_NE(body().find("&guid=&howmany=1"), std::string::npos);
  EXPECT_EQ(CheckErrorLog(), L"Error: GUID generate problem!");
  EXPECT_FALSE(UpdateAvailable());
}

TEST_F(Check, AMissingMachineGuidIsNoFailure) {
  registry = test::FakeRegistry();
  http.answer(kHttps, AnswerFor("3.0"));
  run();
  EXPECT_NE(body().find("&guid=&howmany=1"), std::string::npos);
  EXPECT_FALSE(CheckFailed());
  EXPECT_TRUE(UpdateAvailable());
}

TEST_F(Check, WithoutTheStoreTheCheckNeverFinishes) {
  registry.refuseCreate = true;
  http.answer(kHttps, AnswerFor("3.0"));
  run();
  EXPECT_FALSE(CheckDone());
  EXPECT_EQ(CheckErrorLog(), L"Error: Registry open problem!");
  EXPECT_TRUE(http.sent.empty());
}

TEST_F(Check, ARefusedLaunchCounterEndsTheCheckBeforeTheRequest) {
  registry.refusedValues = {L"InstalledVersion"};
  http.answer(kHttps, AnswerFor("3.0"));
  run();
  EXPECT_FALSE(CheckDone());
  EXPECT_TRUE(http.sent.empty());
}

TEST_F(Check, EachStepOfTakingTheAnswerStandsAlone) {
  registry.refusedValues = {L"CurrentVersion", L"CurrentPrice"};
  http.answer(kHttps, AnswerFor("3.0"));
  run();
  EXPECT_EQ(stored(L"CurrentURL"), L"https://dl.example/x");
  EXPECT_TRUE(UpdateAvailable());
  EXPECT_TRUE(CheckDone());
}

TEST_F(Check, NoNoticeWhenItsDayCannotBeStored) {
  registry.refusedValues = {L"LastUpdateInform"};
  http.answer(kHttps, AnswerFor("3.0"));
  run();
  EXPECT_FALSE(UpdateAvailable());
  EXPECT_EQ(stored(L"CurrentVersion"), L"3.0");
}

TEST_F(Check, AnEmptyUrlIsTakenAsEmpty) {
  http.answer(kHttps, AnswerFor("3.0", ""));
  run();
  EXPECT_TRUE(UpdateAvailable());
  EXPECT_EQ(DownloadURL(), L"");
  EXPECT_EQ(stored(L"CurrentURL"), L"");
}

TEST_F(Check, OnlyASecureAnswerNamesTheDownloadAddress) {
  struct Case {
    bool secure;
    std::string url;
    std::wstring taken;
  };
  const std::string longest = "https://dl.example/" + std::string(2048 - 19, 'x');
  const Case cases[] = {
      {true, "https://dl.example/setup.exe", L"https://dl.example/setup.exe"},
      // The maker's own choice, made over an authenticated answer.
      {true, "http://dl.example/setup.exe", L"http://dl.example/setup.exe"},
      {true, longest, std::wstring(longest.begin(), longest.end())},
      {false, "http://attacker.invalid/setup.exe", L""},
      {false, "https://dl.example/setup.exe", L""},
      {true, longest + "x", L""},
      {true, "javascript:alert(1)", L""},
      {true, "file:///C:/Windows/System32/cmd.exe", L""},
      {true, "https://dl.example/a b", L""},
      {true, "https://dl.example/\"x", L""},
      {true, "https://dl.example/\x01", L""},
      {true, "https://dl.example/\xc3\xa9", L""},
  };
  for (const auto& c : cases) {
    newRun();
    registry = test::FakeRegistry();
    http.clear();
    if (!c.secure) http.fail(kHttps, L"connection reset");
    http.answer(c.secure ? kHttps : kHttp, AnswerFor("3.0", c.url));
    run();
    EXPECT_TRUE(UpdateAvailable()) << c.url;
    EXPECT_EQ(DownloadURL(), c.taken) << c.url;
    EXPECT_EQ(stored(L"CurrentURL"), c.taken) << c.url;
  }
}

TEST_F(Check, StoredTextsAreCapped) {
  const std::string version = "3." + std::string(98, '1');
  http.answer(kHttps, "<version>" + version + "</version>\r\n<url>https://dl.example/</url>\r\n" +
                          "<price>" + std::string(100'000, 'p') +
                          "</price>\r\n<result>1</result>\r\n");
  run();
  EXPECT_EQ(stored(L"CurrentVersion"), std::wstring(version.begin(), version.begin() + 64));
  EXPECT_EQ(LatestVersion(), stored(L"CurrentVersion"));
  EXPECT_EQ(stored(L"CurrentPrice"), std::wstring(64, L'p'));
}

TEST(ErrorLog, BlankEntriesAreIgnoredOthersJoinedByTwoCarriageReturns) {
  test::BeginNewRun();
  LogCheckError(L" \t\r\n");
  EXPECT_FALSE(CheckFailed());
  LogCheckError(L"one");
  LogCheckError(L"two");
  EXPECT_TRUE(CheckFailed());
  EXPECT_EQ(CheckErrorLog(), L"one\r\rtwo");
  ClearCheckErrors();
  EXPECT_FALSE(CheckFailed());
  EXPECT_EQ(CheckErrorLog(), L"");
}

TEST(ParseTag, ExactTagsOnly) {
  EXPECT_EQ(ParseTag(L"<version>2.3</version>", L"version"), L"2.3");
  EXPECT_EQ(ParseTag(L"<version>2.3</version>", L"VERSION"), L"2.3");
  EXPECT_EQ(ParseTag(L"<url></url>", L"url"), L"");
  EXPECT_EQ(ParseTag(L"<url>a<b>c</url>", L"url"), L"a<b>c");
  EXPECT_EQ(ParseTag(L"<version>2.3</version> ", L"version"), L"");
  EXPECT_EQ(ParseTag(L" <version>2.3</version>", L"version"), L"");
  EXPECT_EQ(ParseTag(L"<VERSION>2.3</VERSION>", L"version"), L"");
  EXPECT_EQ(ParseTag(L"<version>2.3</url>", L"version"), L"");
  EXPECT_EQ(ParseTag(L"<version>", L"version"), L"");
  EXPECT_EQ(ParseTag(L"", L"version"), L"");
  EXPECT_EQ(ParseTag(L"<>x</>", L""), L"");
}

// The timer's side, with the real thread.
constexpr std::array<ui::TimerSpec, 1> kTickTimers{{{"TimerChecker", 1000, true}}};
constexpr std::array<ui::MenuSpec, 1> kTickItems{
    {{.name = "UpdateNotifications1", .checked = true, .enabled = false}}};
constexpr ui::FormSpec kTickForm{.name = "Ticks", .popupMenu = kTickItems, .timers = kTickTimers};

struct Ticks : Check {
  ui::HeadlessWindowSystem windows;
  ui::FormPtr<ui::Form> form = ui::MakeForm<ui::Form>(windows, kTickForm);
  ui::Timer& timer = *form->timers().front();
  ui::MenuItem& item = *form->menuItems().front();
  int notices = 0;
  bool started = false;

  void tick() {
    app::TimerCheckerTick(
        started, timer, item, [this] { TChecker::Start(context); }, [this] { ++notices; });
  }
  void waitForChecker() {
    for (int i = 0; i < 500 && TChecker::Running() > 0; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(TChecker::Running(), 0);
  }
};

TEST_F(Ticks, TheFirstTickStartsTheCheckALaterOneTakesItsResult) {
  http.answer(kHttps, AnswerFor("3.0"));
  tick();
  EXPECT_TRUE(started);
  waitForChecker();
  ASSERT_TRUE(CheckDone());
  EXPECT_FALSE(item.enabled());
  tick();
  EXPECT_FALSE(timer.enabled());
  EXPECT_TRUE(item.enabled());
  EXPECT_TRUE(item.checked());
  EXPECT_EQ(notices, 1);
  EXPECT_EQ(http.sent.size(), 1u);
}

TEST_F(Ticks, ShowUpdateZeroUnticksTheItemAndShowsNothing) {
  store(L"ShowUpdate", L"0");
  http.answer(kHttps, AnswerFor("3.0"));
  tick();
  waitForChecker();
  tick();
  EXPECT_TRUE(item.enabled());
  EXPECT_FALSE(item.checked());
  EXPECT_EQ(notices, 0);
}

TEST_F(Ticks, AnUnfinishedCheckKeepsTheTimerTicking) {
  registry.refuseCreate = true;
  tick();
  waitForChecker();
  for (int i = 0; i < 3; ++i) tick();
  EXPECT_TRUE(timer.enabled());
  EXPECT_FALSE(item.enabled());
  EXPECT_EQ(http.sent.size(), 0u);
}

TEST_F(Ticks, TheItemStoresTheUsersChoice) {
  http.answer(kHttps, AnswerFor("2.2"));
  tick();
  waitForChecker();
  tick();
  app::ToggleUpdateNotifications(item, registry);
  EXPECT_FALSE(item.checked());
  EXPECT_EQ(stored(L"ShowUpdate"), L"0");
  app::ToggleUpdateNotifications(item, registry);
  EXPECT_TRUE(item.checked());
  EXPECT_EQ(stored(L"ShowUpdate"), L"1");
}

TEST_F(Ticks, ARefusedChoiceIsAnError) {
  registry.refusedValues = {L"ShowUpdate"};
  EXPECT_THROW(app::ToggleUpdateNotifications(item, registry), StoreError);
}

}  // namespace
}  // namespace hv::web
