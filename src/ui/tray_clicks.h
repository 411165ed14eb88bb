#pragma once
// What the notification-area icon's mouse messages mean: a click is a left
// press followed by a left release on the icon (a release after a press
// elsewhere is none); the context menu opens on the right release. Free of
// <windows.h>, so the native tests run it too.
namespace hv::ui {

enum class TrayMouse { LeftDown, LeftUp, LeftDouble, RightDown, RightUp, Other };
enum class TrayAction { None, Click, Menu };

class TrayClickTracker {
 public:
  TrayAction feed(TrayMouse m) {
    switch (m) {
      case TrayMouse::LeftDown:
      case TrayMouse::LeftDouble:  // the second press of a double click
        leftPressed_ = true;
        return TrayAction::None;
      case TrayMouse::LeftUp: {
        const bool wasPressed = leftPressed_;
        leftPressed_ = false;
        return wasPressed ? TrayAction::Click : TrayAction::None;
      }
      case TrayMouse::RightDown:
        leftPressed_ = false;
        return TrayAction::None;
      case TrayMouse::RightUp:
        leftPressed_ = false;
        return TrayAction::Menu;
      case TrayMouse::Other:
        return TrayAction::None;
    }
    return TrayAction::None;
  }
  // The pointer left, or a menu took the mouse: a later release is no click.
  void reset() { leftPressed_ = false; }

 private:
  bool leftPressed_ = false;
};

}  // namespace hv::ui
