#pragma once
// The update check: once per run the maker's check endpoint is asked which
// version is current. The results wait in module-level state until the main
// window, polling CheckDone, takes them.
#include <atomic>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>

#include "platform/clock.h"
#include "platform/http.h"
#include "platform/locale_info.h"
#include "platform/registry.h"
#include "web/client_locale.h"
#include "web/update_store.h"

namespace hv::web {

inline constexpr wchar_t kCheckPath[] = L"/php/check2.php";

// What the run's check learnt. Written by the check's thread, read by the UI
// thread after CheckDone.
struct UpdateCheckState {
  std::atomic<bool> done{false};
  bool updateAvailable = false;
  std::int32_t showUpdate = 1;
  std::wstring latestVersion;
  std::wstring downloadURL;
  std::int64_t launchCount = 0;
  bool failed = false;
  std::wstring errorLog;
  std::wstring endpoint;
  // Opened by the check, then used by SetShowUpdate on the UI thread; the
  // menu item that calls it stays disabled until the check is done.
  std::unique_ptr<UpdateStore> store;
};

struct UpdateCheckContext {
  platform::Http& http;
  platform::Registry& registry;
  platform::LocaleInfo& locale;
  platform::Clock& clock;
  std::wstring makerHost;
  std::wstring appTitle;
  std::wstring appVersion;
  // Below HKEY_CURRENT_USER; tests point it at a key of their own.
  std::wstring storeKey = kUpdateStoreKey;
  // The owner of the platform objects above, when they are shared: a check
  // nobody waits for keeps them alive until it ends.
  std::shared_ptr<const void> platformOwner = nullptr;
};

// What a check shares with the UI thread: the results it writes and the
// locale facts it reads, held by this module and by every running check;
// and the "os=" field, fixed before any check starts.
struct UpdateCheckShares {
  std::shared_ptr<UpdateCheckState> results;
  std::shared_ptr<ClientLocaleState> locale;
  std::wstring os;
};

// This run's shares, on the UI thread.
UpdateCheckShares CurrentUpdateCheckShares();
// Tests: a new run's results. A check still running keeps the old ones.
void ForgetUpdateCheckForTests();

// The check itself, on the TChecker thread. Sets CheckDone last, unless the
// launch counter could not be stored.
void CheckForUpdate(const UpdateCheckContext& context, const UpdateCheckShares& shares);
// The same, with this run's shares.
void CheckForUpdate(const UpdateCheckContext& context);
// What the check makes of the answer's text: the status line, then the
// version, address and price it stores. Part of CheckForUpdate, after the
// post. Only an answer that came over HTTPS may name the download address.
void TakeCheckAnswer(const UpdateCheckContext& context, UpdateCheckState& results,
                     const std::wstring& answer, bool overHttps);
void TakeCheckAnswer(const UpdateCheckContext& context, const std::wstring& answer, bool overHttps);

// Cleared as the check's thread starts.
void ClearCheckDone(UpdateCheckState& results);

// The silent error log: blank messages are ignored; entries are separated
// by two carriage returns.
void LogCheckError(UpdateCheckState& results, const std::wstring& message);
void ClearCheckErrors(UpdateCheckState& results);
// The same, on this run's results.
void LogCheckError(const std::wstring& message);
void ClearCheckErrors();

// Writes "ShowUpdate" ("1" or "0"); throws StoreError when refused.
void SetShowUpdate(platform::Registry& registry, bool on);

// The check's results. Written by the check's thread; the UI thread reads
// them only after it has seen CheckDone (release on writing, acquire here).
bool CheckDone();
bool UpdateAvailable();
std::int32_t ShowUpdate();
std::wstring LatestVersion();
std::wstring DownloadURL();
std::int64_t LaunchCount();
bool CheckFailed();
std::wstring CheckErrorLog();
std::wstring CheckEndpoint();

// "Kind Error:" CR message, as the log records a failure nobody expected.
std::wstring DescribeUnexpected(const std::exception& e);

}  // namespace hv::web
