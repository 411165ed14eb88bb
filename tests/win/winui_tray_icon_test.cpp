// The notification-area icon: retried when refused, back with the taskbar,
// gone with its window.
#include <map>
#include <utility>

#include "app/main_form_layout.h"
#include "winui_test_fixture.h"

namespace hv::platform::win32::winui::uitest {
namespace {

// A notification area of the test's own: it refuses the first add, as one
// that is not up yet does, and loses its icons when Explorer restarts.
struct FakeNotificationArea {
  std::map<std::pair<HWND, UINT>, std::wstring> icons;  // the tips, by window and id
  int refusals = 1;
  bool notify(DWORD message, const NOTIFYICONDATAW& d) {
    const auto key = std::make_pair(d.hWnd, d.uID);
    const bool there = icons.count(key) != 0;
    switch (message) {
      case NIM_ADD:
        if (refusals > 0) {
          --refusals;
          return false;
        }
        if (there) return false;
        icons[key] = d.szTip;
        return true;
      case NIM_MODIFY:
        if (there) icons[key] = d.szTip;
        return there;
      case NIM_DELETE:
        return icons.erase(key) != 0;
      default:
        return false;
    }
  }
};

TEST_F(WindowSystemTest, TheTrayIconIsRetriedAndComesBackWithTheTaskbar) {
  FakeNotificationArea area;
  ws.setTrayNotify([&](DWORD m, const NOTIFYICONDATAW& d) { return area.notify(m, d); });
  auto form = hv::ui::MakeForm<Form>(ws, app::AppFormSpec());
  HWND top = ws.windowOf(*form);
  const auto ours = std::make_pair(top, UINT{1});
  EXPECT_TRUE(area.icons.empty());
  // The refused add is tried again a moment later.
  ASSERT_TRUE(PumpUntil(
      ws, [&] { return !area.icons.empty(); }, 5000));
  EXPECT_EQ(area.icons[ours], L"Horvane");

  // Explorer restarts: the new taskbar starts empty, and the icon is back.
  area.icons.clear();
  SendMessageW(top, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_EQ(area.icons[ours], L"Horvane");
  form->setTrayHint(L"Horvane: 12:00:00");
  EXPECT_EQ(area.icons[ours], L"Horvane: 12:00:00");

  form.reset();
  EXPECT_TRUE(area.icons.empty()) << "the icon goes with its window";
}

}  // namespace
}  // namespace hv::platform::win32::winui::uitest
