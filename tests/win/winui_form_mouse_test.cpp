// The pointer on a control, and the form where it was moved.
#include "winui_test_fixture.h"
#include "winui_test_forms.h"

namespace hv::platform::win32::winui::uitest {
namespace {

TEST_F(WindowSystemTest, ADragKeepsThePointerUntilTheButtonComesUp) {
  Form& form = open(kOptions);
  auto& label = MadeNamed(form.controls(), "Label2");
  std::vector<std::string> events;
  label.OnMouseDown = [&](int button) { events.push_back("down " + std::to_string(button)); };
  label.OnMouseMove = [&] { events.push_back("move"); };
  label.OnMouseUp = [&](int button) { events.push_back("up " + std::to_string(button)); };
  form.show();
  HWND h = ws.windowOf(label);
  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  EXPECT_EQ(GetCapture(), h);
  SendMessageW(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(40, 3));
  SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(40, 3));
  EXPECT_NE(GetCapture(), h);
  EXPECT_EQ(events, (std::vector<std::string>{"down 1", "move", "up 1"}));
  SendMessageW(h, WM_RBUTTONDOWN, MK_RBUTTON, 0);
  EXPECT_EQ(events.back(), "down 2");

  // Moved by other means: the form's position follows.
  HWND top = ws.windowOf(form);
  SetWindowPos(top, nullptr, 37, 41, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(form.left(), 37);
  EXPECT_EQ(form.top(), 41);
  RECT outer{};
  GetWindowRect(top, &outer);
  EXPECT_EQ(ws.outerSize(form), (hv::ui::Size{outer.right - outer.left, outer.bottom - outer.top}));
  HWND button = ws.windowOf(MadeNamed(form.controls(), "Button1"));
  RECT b{};
  GetClientRect(button, &b);
  POINT corner{0, b.bottom};
  ClientToScreen(button, &corner);
  EXPECT_EQ(ws.bottomLeftOnScreen(form, MadeNamed(form.controls(), "Button1")),
            (hv::ui::Point{corner.x, corner.y}));
}

}  // namespace
}  // namespace hv::platform::win32::winui::uitest
