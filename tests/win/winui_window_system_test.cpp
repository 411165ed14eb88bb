// The event loop: timers, and work handed over from other threads.
#include <atomic>
#include <thread>

#include "winui_test_fixture.h"
#include "winui_test_forms.h"

namespace hv::platform::win32::winui::uitest {
namespace {

TEST_F(WindowSystemTest, TimersTickWhileEnabledAndRestartWhenEnabledAgain) {
  Form& form = open(kDialog);
  auto& timer = MadeNamed(form.timers(), "Timer1");
  int ticks = 0;
  timer.OnTimer = [&] {
    if (++ticks == 3) timer.setEnabled(false);
  };
  ws.processMessages();
  Sleep(80);
  ws.processMessages();
  EXPECT_EQ(ticks, 0);  // created stopped
  timer.setEnabled(true);
  EXPECT_TRUE(PumpUntil(ws, [&] { return ticks == 3; }));
  Sleep(120);
  ws.processMessages();
  EXPECT_EQ(ticks, 3);
}

TEST_F(WindowSystemTest, WorkFromAWorkerRunsOnTheUiThread) {
  Form& form = open(kDialog);
  const DWORD ui = GetCurrentThreadId();
  std::atomic<DWORD> ranOn{0};
  std::atomic<bool> invoked{false}, rethrown{false};
  std::thread worker([&] {
    EXPECT_FALSE(ws.onUiThread());
    ws.invoke([&] {
      ranOn = GetCurrentThreadId();
      MadeNamed(form.controls(), "Edit1").setText(L"from the worker");
    });
    invoked = true;
    try {
      ws.invoke([] { throw hv::Error(L"refused"); });
    } catch (const hv::Error& e) {
      rethrown = e.message() == L"refused";
    }
    // Posted work that fails goes to the error report.
    ws.post([] { throw hv::Error(L"posted failure"); });
    ws.post([&] { ws.terminate(); });
  });
  ws.run();
  worker.join();
  EXPECT_TRUE(invoked);
  EXPECT_TRUE(rethrown);
  EXPECT_EQ(ranOn.load(), ui);
  EXPECT_EQ(TextOf(ws.windowOf(MadeNamed(form.controls(), "Edit1"))), L"from the worker");
  EXPECT_EQ(errors, (std::vector<std::wstring>{L"posted failure"}));
  EXPECT_TRUE(ws.terminated());

  // On the UI thread itself invoke runs at once.
  bool now = false;
  ws.invoke([&] { now = true; });
  EXPECT_TRUE(now);
}

}  // namespace
}  // namespace hv::platform::win32::winui::uitest
