#include "web/update_check.h"

#include <atomic>
#include <memory>
#include <optional>
#include <vector>

#include "base/error.h"
#include "i18n/text_decode.h"
#include "web/client_locale.h"
#include "web/download_link.h"
#include "web/integer_text.h"
#include "web/machine_guid.h"
#include "web/os_version.h"
#include "web/parse_tag.h"
#include "web/post_form.h"
#include "web/update_store.h"

namespace hv::web {
namespace {

std::shared_ptr<UpdateCheckState>& SharedState() {
  static auto run = std::make_shared<UpdateCheckState>();
  return run;
}

UpdateCheckState& StateOf() {
  return *SharedState();
}

constexpr wchar_t kShowUpdate[] = L"ShowUpdate";
constexpr wchar_t kHowMany[] = L"HowMany";
constexpr wchar_t kInstalledVersion[] = L"InstalledVersion";
constexpr wchar_t kCurrentVersion[] = L"CurrentVersion";
constexpr wchar_t kCurrentURL[] = L"CurrentURL";
constexpr wchar_t kCurrentPrice[] = L"CurrentPrice";
constexpr wchar_t kLastUpdateInform[] = L"LastUpdateInform";

bool IsBlank(const std::wstring& s) {
  for (wchar_t c : s)
    if (c > L' ') return false;
  return true;
}

std::optional<std::wstring> ReadStored(UpdateCheckState& s, const wchar_t* name) {
  if (!s.store) return std::nullopt;
  return s.store->read(name);
}

void WriteStored(UpdateCheckState& s, const wchar_t* name, const std::wstring& value) {
  if (!s.store) throw StoreError(L"Failed to set data for '" + std::wstring(name) + L"'");
  s.store->write(name, value);
}

std::wstring WithoutDots(std::wstring s) {
  std::erase(s, L'.');
  return s;
}

std::wstring LineAt(const std::vector<std::wstring>& lines, std::size_t i) {
  return i < lines.size() ? lines[i] : std::wstring();
}

std::vector<std::wstring> RequestFields(const UpdateCheckContext& c, const UpdateCheckShares& sh,
                                        const std::wstring& guid) {
  UpdateCheckState& s = *sh.results;
  std::vector<std::wstring> fields{L"cmd=check", L"appname=" + c.appTitle,
                                   L"version=" + c.appVersion, L"os=" + sh.os};
  try {
    fields.push_back(L"local=" + CurrentLocaleName(c.locale, *sh.locale));
  } catch (const Error&) {
    LogCheckError(s, L"Error: LocaleName problem!");
  }
  fields.push_back(L"guid=" + guid);
  fields.push_back(L"howmany=" + std::to_wstring(s.launchCount));
  return fields;
}

SecureFirstAnswer PostCheck(const UpdateCheckContext& c, UpdateCheckState& s,
                            const std::vector<std::wstring>& fields) {
  try {
    const auto answer = PostSecureFirst(
        c.http, s.endpoint, fields, FormUse::UpdateCheck,
        [&s](const Error& e) { LogCheckError(s, L"HTTPS Response:\r" + e.message()); });
    // A plain answer wipes what went wrong before, the https failure included.
    if (!answer.overHttps) ClearCheckErrors(s);
    return answer;
  } catch (const Error& e) {
    LogCheckError(s, L"HTTP Response:\r" + e.message());
  }
  return {L"", false};
}

// Each step of taking the answer stands alone: a refused write ends only it.
template <class Step>
void StandAlone(Step step) {
  try {
    step();
  } catch (const StoreError&) {
  }
}

void TakeAnswer(const UpdateCheckContext& c, UpdateCheckState& s,
                const std::vector<std::wstring>& lines, bool overHttps) {
  StandAlone([&] {
    s.latestVersion = Capped(ParseTag(LineAt(lines, 0), L"version"), kMaxStoredText);
    WriteStored(s, kCurrentVersion, s.latestVersion);
  });
  // The store keeps the address the notice would open, not one it refused.
  StandAlone([&] {
    s.downloadURL = AcceptedDownloadURL(ParseTag(LineAt(lines, 1), L"url"), overHttps);
    WriteStored(s, kCurrentURL, s.downloadURL);
  });
  StandAlone([&] {
    WriteStored(s, kCurrentPrice, Capped(ParseTag(LineAt(lines, 2), L"price"), kMaxStoredText));
  });
  StandAlone([&] {
    if (s.latestVersion == c.appVersion) return;
    if (!ParseInt32(WithoutDots(s.latestVersion))) return;
    if (s.showUpdate != 1) return;
    WriteStored(s, kLastUpdateInform, c.locale.shortDate(c.clock.localTime()));
    s.updateAvailable = true;
  });
}

}  // namespace

std::wstring DescribeUnexpected(const std::exception& e) {
  if (const auto* store = dynamic_cast<const StoreError*>(&e))
    return L"StoreError Error:\r" + store->message();
  if (const auto* error = dynamic_cast<const Error*>(&e))
    return L"Error Error:\r" + error->message();
  std::wstring what;
  for (const char* p = e.what(); *p; ++p) what.push_back(static_cast<unsigned char>(*p));
  return L"Exception Error:\r" + what;
}

UpdateCheckShares CurrentUpdateCheckShares() {
  return {SharedState(), SharedClientLocaleState(), OsDescription()};
}

void ForgetUpdateCheckForTests() {
  SharedState() = std::make_shared<UpdateCheckState>();
}

void CheckForUpdate(const UpdateCheckContext& c) {
  CheckForUpdate(c, CurrentUpdateCheckShares());
}

void CheckForUpdate(const UpdateCheckContext& c, const UpdateCheckShares& sh) {
  UpdateCheckState& s = *sh.results;
  ClearCheckErrors(s);
  s.endpoint = c.makerHost + kCheckPath;

  std::wstring guid;
  try {
    guid = ReadMachineGuid(c.registry);
  } catch (const Error&) {
    LogCheckError(s, L"Error: GUID generate problem!");
  }

  try {
    s.store = UpdateStore::Open(c.registry, c.storeKey);
  } catch (const StoreError&) {
    s.store.reset();
    LogCheckError(s, L"Error: Registry open problem!");
  }

  const std::wstring installed = ReadStored(s, kInstalledVersion).value_or(L"");
  // The launch counter's writes are not guarded: when one is refused the
  // check ends here and CheckDone stays unset.
  try {
    const auto stored = ReadStored(s, kHowMany);
    s.launchCount = stored ? ParseInt32(*stored).value_or(0) : 0;
    if (installed != c.appVersion) s.launchCount = 0;
    ++s.launchCount;
    WriteStored(s, kHowMany, std::to_wstring(s.launchCount));
    WriteStored(s, kInstalledVersion, c.appVersion);
  } catch (const StoreError&) {
    return;
  }

  const auto show = ReadStored(s, kShowUpdate);
  s.showUpdate = show ? ParseInt32(*show).value_or(1) : 1;

  try {
    const auto answer = PostCheck(c, s, RequestFields(c, sh, guid));
    TakeCheckAnswer(c, s, answer.text, answer.overHttps);
  } catch (const std::exception& e) {
    LogCheckError(s, DescribeUnexpected(e));
  }

  s.done.store(true, std::memory_order_release);
}

void TakeCheckAnswer(const UpdateCheckContext& c, const std::wstring& answer, bool overHttps) {
  TakeCheckAnswer(c, StateOf(), answer, overHttps);
}

void TakeCheckAnswer(const UpdateCheckContext& c, UpdateCheckState& s, const std::wstring& answer,
                     bool overHttps) {
  // Only this answer counts, not what an earlier one gave.
  s.updateAvailable = false;
  s.latestVersion.clear();
  s.downloadURL.clear();
  if (answer.starts_with(L"ERROR")) LogCheckError(s, L"INVALIDSERVERRESPONSE");
  const auto lines = i18n::SplitLines(answer);
  if (!s.failed) {
    const std::wstring status = ParseTag(LineAt(lines, 3), L"result");
    if (status != L"0" && status != L"1") LogCheckError(s, L"INVALIDSERVERRESPONSE");
  }
  if (!s.failed) TakeAnswer(c, s, lines, overHttps);
}

void ClearCheckDone(UpdateCheckState& s) {
  s.done.store(false, std::memory_order_release);
}

void LogCheckError(const std::wstring& message) {
  LogCheckError(StateOf(), message);
}

void LogCheckError(UpdateCheckState& s, const std::wstring& message) {
  if (IsBlank(message)) return;
  s.failed = true;
  if (!s.errorLog.empty()) s.errorLog += L"\r\r";
  s.errorLog += message;
}

void ClearCheckErrors() {
  ClearCheckErrors(StateOf());
}

void ClearCheckErrors(UpdateCheckState& s) {
  s.failed = false;
  s.errorLog.clear();
}

void SetShowUpdate(platform::Registry& registry, bool on) {
  UpdateCheckState& s = StateOf();
  if (!s.store) s.store = UpdateStore::Open(registry);
  s.store->write(kShowUpdate, on ? L"1" : L"0");
}

bool CheckDone() {
  return StateOf().done.load(std::memory_order_acquire);
}
bool UpdateAvailable() {
  return StateOf().updateAvailable;
}
std::int32_t ShowUpdate() {
  return StateOf().showUpdate;
}
std::wstring LatestVersion() {
  return StateOf().latestVersion;
}
std::wstring DownloadURL() {
  return StateOf().downloadURL;
}
std::int64_t LaunchCount() {
  return StateOf().launchCount;
}
bool CheckFailed() {
  return StateOf().failed;
}
std::wstring CheckErrorLog() {
  return StateOf().errorLog;
}
std::wstring CheckEndpoint() {
  return StateOf().endpoint;
}

}  // namespace hv::web
