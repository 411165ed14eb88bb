#pragma once
// The main window on fakes and the headless window system, with a scripted
// network in the fake clock's time, or a real one a test names.
#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <thread>

#include "app/app_platform.h"
#include "app/error_report.h"
#include "app/main_form.h"
#include "i18n/catalogue.h"
#include "notice/notice_window.h"
#include "platform/posix/random_posix.h"
#include "platform/posix/tcp_posix.h"
#include "platform/udp.h"
#include "support/fake_clock.h"
#include "support/fake_desktop.h"
#include "support/fake_files.h"
#include "support/fake_http.h"
#include "support/fake_locale.h"
#include "support/fake_locale_info.h"
#include "support/fake_profile.h"
#include "support/fake_registry.h"
#include "support/fake_shell.h"
#include "support/fake_system_info.h"
#include "support/fake_version_info.h"
#include "support/new_run.h"
#include "support/nts_pki.h"
#include "support/scripted_network.h"
#include "ui/headless.h"
#include "web/checker.h"
#include "web/client_locale.h"
#include "web/update_check.h"

namespace hv::test {

struct AppHarness {
  static constexpr wchar_t kSettings[] = L"C:\\Tools\\settings.ini";

  // Each test is a new run of the program.
  AppHarness() : AppHarness(nullptr) {}
  // The program's sockets go to realNetwork instead of the scripted one.
  explicit AppHarness(platform::Network* realNetwork)
      : platform{windows,     clock,      files,   profile,
                 versionInfo, locale,     shell,   realNetwork != nullptr ? *realNetwork : network,
                 tcp,         trustRoots, http,    registry,
                 systemInfo,  localeInfo, desktop, random} {
    test::BeginNewRun();
    versionInfo.setString(L"CompanyName", L"CALVION");
    versionInfo.setString(L"ProductName", L"Horvane");
    versionInfo.fixed = FakeVersionInfo::version(2, 2, 0, 0);
    files.addFolder(L"C:\\Tools");
    clock.setBias(0);
    // Far back, so the tests' fixed dates stay after it.
    platform.buildDate = time::EncodeDateTime(2001, 1, 1, 0, 0, 0, 0);
    windows.setErrorHandler([this](std::exception_ptr e) { app::ShowErrorReport(windows, e); });
    // Boxes are answered at once: a second inside one would run the start-up
    // press, whose thread then races the test. Tests about what runs inside
    // a box give it time.
    windows.boxOpenMs = 0;
  }
  ~AppHarness() {
    form.reset();
    // The update check's thread uses the fakes below; nobody else waits for it.
    for (int i = 0; i < 1000 && web::TChecker::Running() > 0; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    test::BeginNewRun();
  }

  void setting(const wchar_t* key, const std::wstring& value) {
    profile.put(kSettings, L"Settings", key, value);
  }
  std::optional<std::wstring> stored(const wchar_t* key) const {
    return profile.raw(kSettings, L"Settings", key);
  }
  app::TAppForm& start() {
    form = ui::MakeForm<app::TAppForm>(platform);
    return *form;
  }

  ui::HeadlessWindowSystem windows;
  FakeClock clock;
  FakeFiles files;
  FakeProfile profile;
  FakeVersionInfo versionInfo;
  FakeLocale locale;
  FakeShell shell;
  ScriptedNetwork network{clock};
  platform::PosixTcpNetwork tcp;
  FixedRoots trustRoots;
  FakeHttp http;
  FakeRegistry registry;
  FakeSystemInfo systemInfo;
  FakeLocaleInfo localeInfo;
  FakeDesktop desktop;
  platform::PosixRandom random;
  app::AppPlatform platform;
  ui::FormPtr<app::TAppForm> form;
};

}  // namespace hv::test
