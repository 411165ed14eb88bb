// The top-level window of a form: what the system tells it, modal runs,
// a notice that takes no focus, and the ways a window goes.
#include "app/main_form_layout.h"
#include "platform/win32/ui/form_window.h"
#include "winui_test_fixture.h"
#include "winui_test_forms.h"

namespace hv::platform::win32::winui::uitest {
namespace {

const FormSpec kNotice{
    .name = "Notice",
    .caption = L"Horvane test notice",
    .clientWidth = 320,
    .clientHeight = 68,
    .border = hv::ui::BorderStyle::None,
    .toolWindow = true,
    .topMost = true,
    .position = hv::ui::Position::Manual,
};

TEST_F(WindowSystemTest, ANoticeShownByAnAnimationLeavesTheFocusWhereItWas) {
  Form& main = open(kDialog);
  main.show();
  HWND mainWindow = ws.windowOf(main);
  SetForegroundWindow(mainWindow);
  ws.processMessages();
  ASSERT_EQ(GetForegroundWindow(), mainWindow);
  Form& notice = open(kNotice);
  notice.moveTo(900, 5);
  HWND n = ws.windowOf(notice);
  // The window animation shows it; the form then counts as shown.
  ShowWindow(n, SW_SHOWNOACTIVATE);
  notice.show();
  ws.processMessages();
  EXPECT_TRUE(IsWindowVisible(n));
  EXPECT_EQ(GetForegroundWindow(), mainWindow);
  RECT r{};
  GetWindowRect(n, &r);
  EXPECT_EQ(r.left, 900);
  EXPECT_EQ(r.top, 5);
  EXPECT_TRUE(GetWindowLongPtrW(n, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(WindowSystemTest, AModalFormDisablesTheOthersUntilItHasAResult) {
  Form& main = open(app::AppFormSpec());
  main.show();
  Form& dialog = open(kDialog);
  HWND mainWindow = ws.windowOf(main);
  EXPECT_EQ(GetWindow(ws.windowOf(dialog), GW_OWNER), mainWindow);
  bool mainDisabled = false;
  auto& timer = MadeNamed(dialog.timers(), "Timer1");
  timer.OnTimer = [&] {
    mainDisabled = !IsWindowEnabled(mainWindow);
    dialog.setModalResult(hv::ui::ModalResult::OK);
  };
  timer.setEnabled(true);
  EXPECT_EQ(dialog.showModal(), hv::ui::ModalResult::OK);
  EXPECT_TRUE(mainDisabled);
  EXPECT_TRUE(IsWindowEnabled(mainWindow));
  EXPECT_FALSE(IsWindowVisible(ws.windowOf(dialog)));

  // The close box of a modal form ends it with Cancel.
  timer.OnTimer = [&] {
    timer.setEnabled(false);
    PostMessageW(ws.windowOf(dialog), WM_CLOSE, 0, 0);
  };
  timer.setEnabled(true);
  EXPECT_EQ(dialog.showModal(), hv::ui::ModalResult::Cancel);
}

// Counts how often its window went.
struct DestroyCounting : Form {
  using Form::Form;
  void FormDestroy() override { ++destroyed; }
  int destroyed = 0;
};

TEST_F(WindowSystemTest, WindowEventsReachTheForm) {
  auto owned = hv::ui::MakeForm<DestroyCounting>(ws, app::AppFormSpec());
  DestroyCounting& form = *owned;
  HWND top = ws.windowOf(form);
  std::vector<unsigned> hotkeys;
  std::vector<std::wstring> sections;
  int closes = 0, minimised = 0, trayClicks = 0, paints = 0;
  form.OnHotKey = [&](unsigned id) { hotkeys.push_back(id); };
  form.OnSettingChange = [&](const std::wstring& s) { sections.push_back(s); };
  form.OnClose = [&] { ++closes; };
  form.OnMinimize = [&] { ++minimised; };
  form.OnTrayClick = [&] { ++trayClicks; };
  form.OnPaint = [&](hv::ui::Canvas& c) {
    ++paints;
    c.fillRect({0, 0, 10, 10}, {0, 0, 0});
    c.drawText(0, 0, L"q", {0, 252, 98}, 12, false);
  };

  form.show();
  EXPECT_TRUE(IsWindowVisible(top));
  SendMessageW(top, WM_HOTKEY, 0xC123, MAKELPARAM(MOD_CONTROL | MOD_ALT, 'T'));
  EXPECT_EQ(hotkeys, (std::vector<unsigned>{0xC123}));
  SendMessageW(top, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"intl"));
  EXPECT_EQ(sections, (std::vector<std::wstring>{L"intl"}));

  // A left press and release on the tray icon is a click; a release alone
  // is not.
  SendMessageW(top, kTrayCallbackMessage, 1, WM_LBUTTONUP);
  SendMessageW(top, kTrayCallbackMessage, 1, WM_LBUTTONDOWN);
  SendMessageW(top, kTrayCallbackMessage, 1, WM_LBUTTONUP);
  EXPECT_EQ(trayClicks, 1);

  // Explorer came back: the form hears of it (and the icon is added anew).
  int taskbars = 0;
  form.OnTaskbarCreated = [&] { ++taskbars; };
  SendMessageW(top, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_EQ(taskbars, 1);

  form.invalidate();
  UpdateWindow(top);
  EXPECT_GE(paints, 1);

  // The close box hides a window that is not modal.
  SendMessageW(top, WM_CLOSE, 0, 0);
  EXPECT_EQ(closes, 1);
  EXPECT_FALSE(form.visible());
  EXPECT_FALSE(IsWindowVisible(top));

  form.show();
  ShowWindow(top, SW_MINIMIZE);
  EXPECT_TRUE(PumpUntil(ws, [&] { return minimised == 1; }));
  EXPECT_EQ(form.windowState(), hv::ui::WindowState::Minimized);
  // Hide, then come back in normal state as the tray's Show does.
  form.hide();
  form.show();
  form.setWindowState(hv::ui::WindowState::Normal);
  EXPECT_TRUE(IsWindowVisible(top));
  EXPECT_FALSE(IsIconic(top));
  EXPECT_EQ(minimised, 1);

  // Destroyed from outside: the form hears it once and lets go.
  DestroyWindow(top);
  EXPECT_EQ(form.destroyed, 1);
  EXPECT_EQ(ws.windowOf(form), nullptr);
  MadeNamed(form.controls(), "Label2").setText(L"no window any more");
}

TEST_F(WindowSystemTest, AFormThatFreesItselfInItsOwnClickIsFreedAfterwards) {
  auto form = hv::ui::MakeForm<Form>(ws, kDialog);
  form->show();
  MadeNamed(form->controls(), "OK").OnClick = [&] { form.reset(); };
  HWND top = ws.windowOf(*form);
  HWND ok = ws.windowOf(MadeNamed(form->controls(), "OK"));
  SendMessageW(ok, BM_CLICK, 0, 0);
  EXPECT_EQ(form, nullptr);
  // Gone from the screen at once, and destroyed once its messages ran.
  EXPECT_TRUE(IsWindow(ok));
  EXPECT_FALSE(IsWindowVisible(top));
  ws.processMessages();
  EXPECT_FALSE(IsWindow(ok));
  EXPECT_FALSE(IsWindow(top));
}

}  // namespace
}  // namespace hv::platform::win32::winui::uitest
