#include "web/update_check.h"

#include <atomic>
#include <memory>
#include <optional>
#include <vector>

#include "app/run_state.h"
#include "i18n/text_decode.h"
#include "platform/error.h"
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

UpdateCheckState& state() {
  return app::Run().updateCheck;
}

constexpr wchar_t kShowUpdate[] = L"ShowUpdate";
constexpr wchar_t kHowMany[] = L"HowMany";
constexpr wchar_t kInstalledVersion[] = L"InstalledVersion";
constexpr wchar_t kCurrentVersion[] = L"CurrentVersion";
constexpr wchar_t kCurrentURL[] = L"CurrentURL";
constexpr wchar_t kCurrentPrice[] = L"CurrentPrice";
constexpr wchar_t kLastUpdateInform[] = L"LastUpdateInform";

bool isBlank(const std::wstring& s) {
  for (wchar_t c : s)
    if (c > L' ') return false;
  return true;
}

std::optional<std::wstring> readStored(const wchar_t* name) {
  if (!state().store) return std::nullopt;
  return state().store->read(name);
}

void writeStored(const wchar_t* name, const std::wstring& value) {
  if (!state().store) throw StoreError(L"Failed to set data for '" + std::wstring(name) + L"'");
  state().store->write(name, value);
}

std::wstring withoutDots(std::wstring s) {
  std::erase(s, L'.');
  return s;
}

std::wstring lineAt(const std::vector<std::wstring>& lines, std::size_t i) {
  return i < lines.size() ? lines[i] : std::wstring();
}

std::vector<std::wstring> requestFields(const UpdateCheckContext& c, const std::wstring& guid) {
  std::vector<std::wstring> fields{L"cmd=check", L"appname=" + c.appTitle,
                                   L"version=" + c.appVersion, L"os=" + OsDescription()};
  try {
    fields.push_back(L"local=" + CurrentLocaleName(c.locale));
  } catch (const Error&) {
    LogCheckError(L"Error: LocaleName problem!");
  }
  fields.push_back(L"guid=" + guid);
  fields.push_back(L"howmany=" + std::to_wstring(state().launchCount));
  return fields;
}

SecureFirstAnswer postCheck(const UpdateCheckContext& c, const std::vector<std::wstring>& fields) {
  try {
    const auto answer =
        PostSecureFirst(c.http, state().endpoint, fields, FormUse::UpdateCheck,
                        [](const Error& e) { LogCheckError(L"HTTPS Response:\r" + e.message()); });
    // A plain answer wipes what went wrong before, the https failure included.
    if (!answer.overHttps) ClearCheckErrors();
    return answer;
  } catch (const Error& e) {
    LogCheckError(L"HTTP Response:\r" + e.message());
  }
  return {L"", false};
}

// Each step of taking the answer stands alone: a refused write ends only it.
template <class Step>
void standAlone(Step step) {
  try {
    step();
  } catch (const StoreError&) {
  }
}

void takeAnswer(const UpdateCheckContext& c, const std::vector<std::wstring>& lines,
                bool overHttps) {
  standAlone([&] {
    state().latestVersion = Capped(ParseTag(lineAt(lines, 0), L"version"), kMaxStoredText);
    writeStored(kCurrentVersion, state().latestVersion);
  });
  // The store keeps the address the notice would open, not one it refused.
  standAlone([&] {
    state().downloadURL = AcceptedDownloadURL(ParseTag(lineAt(lines, 1), L"url"), overHttps);
    writeStored(kCurrentURL, state().downloadURL);
  });
  standAlone([&] {
    writeStored(kCurrentPrice, Capped(ParseTag(lineAt(lines, 2), L"price"), kMaxStoredText));
  });
  standAlone([&] {
    if (state().latestVersion == c.appVersion) return;
    if (!ParseInt32(withoutDots(state().latestVersion))) return;
    if (state().showUpdate != 1) return;
    writeStored(kLastUpdateInform, c.locale.shortDate(c.clock.localTime()));
    state().updateAvailable = true;
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

void CheckForUpdate(const UpdateCheckContext& c) {
  ClearCheckErrors();
  state().endpoint = c.makerHost + kCheckPath;

  std::wstring guid;
  try {
    guid = ReadMachineGuid(c.registry);
  } catch (const Error&) {
    LogCheckError(L"Error: GUID generate problem!");
  }

  try {
    state().store = UpdateStore::Open(c.registry, c.storeKey);
  } catch (const StoreError&) {
    state().store.reset();
    LogCheckError(L"Error: Registry open problem!");
  }

  const std::wstring installed = readStored(kInstalledVersion).value_or(L"");
  // The launch counter's writes are not guarded: when one is refused the
  // check ends here and CheckDone stays unset.
  try {
    const auto stored = readStored(kHowMany);
    state().launchCount = stored ? ParseInt32(*stored).value_or(0) : 0;
    if (installed != c.appVersion) state().launchCount = 0;
    ++state().launchCount;
    writeStored(kHowMany, std::to_wstring(state().launchCount));
    writeStored(kInstalledVersion, c.appVersion);
  } catch (const StoreError&) {
    return;
  }

  const auto show = readStored(kShowUpdate);
  state().showUpdate = show ? ParseInt32(*show).value_or(1) : 1;

  try {
    const auto answer = postCheck(c, requestFields(c, guid));
    TakeCheckAnswer(c, answer.text, answer.overHttps);
  } catch (const std::exception& e) {
    LogCheckError(DescribeUnexpected(e));
  }

  state().done.store(true, std::memory_order_release);
}

void TakeCheckAnswer(const UpdateCheckContext& c, const std::wstring& answer, bool overHttps) {
  // Only this answer counts, not what an earlier one gave.
  state().updateAvailable = false;
  state().latestVersion.clear();
  state().downloadURL.clear();
  if (answer.starts_with(L"ERROR")) LogCheckError(L"INVALIDSERVERRESPONSE");
  const auto lines = i18n::SplitLines(answer);
  if (!state().failed) {
    const std::wstring status = ParseTag(lineAt(lines, 3), L"result");
    if (status != L"0" && status != L"1") LogCheckError(L"INVALIDSERVERRESPONSE");
  }
  if (!state().failed) takeAnswer(c, lines, overHttps);
}

void ClearCheckDone() {
  state().done.store(false, std::memory_order_release);
}

void LogCheckError(const std::wstring& message) {
  if (isBlank(message)) return;
  state().failed = true;
  if (!state().errorLog.empty()) state().errorLog += L"\r\r";
  state().errorLog += message;
}

void ClearCheckErrors() {
  state().failed = false;
  state().errorLog.clear();
}

void SetShowUpdate(platform::Registry& registry, bool on) {
  if (!state().store) state().store = UpdateStore::Open(registry);
  state().store->write(kShowUpdate, on ? L"1" : L"0");
}

bool CheckDone() {
  return state().done.load(std::memory_order_acquire);
}
bool UpdateAvailable() {
  return state().updateAvailable;
}
std::int32_t ShowUpdate() {
  return state().showUpdate;
}
std::wstring LatestVersion() {
  return state().latestVersion;
}
std::wstring DownloadURL() {
  return state().downloadURL;
}
std::int64_t LaunchCount() {
  return state().launchCount;
}
bool CheckFailed() {
  return state().failed;
}
std::wstring CheckErrorLog() {
  return state().errorLog;
}
std::wstring CheckEndpoint() {
  return state().endpoint;
}

}  // namespace hv::web
