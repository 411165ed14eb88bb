#pragma once
// A desktop that records animations and focus requests, with a pointer and
// colours the test sets, and pointer captures the test can drive.
#include <functional>
#include <vector>

#include "platform/desktop.h"

namespace hv::test {

class FakeDesktop : public platform::Desktop {
 public:
  struct Animation {
    ui::Form* form;
    unsigned ms, flags;
  };
  int width = 1280;
  platform::ScreenPoint pointer{0, 0};
  platform::ScreenColour text{0, 0, 0};
  platform::ScreenColour highlight{51, 153, 255};
  bool focusRefused = false;
  std::vector<Animation> animations;
  std::vector<ui::Form*> focused;
  std::function<void(platform::ScreenPoint)> onMove;
  std::function<void()> onRelease;
  int captures = 0;

  int screenWidth() override { return width; }
  platform::ScreenPoint cursorPos() override { return pointer; }
  platform::ScreenColour styleColour(platform::StyleColour which) override {
    return which == platform::StyleColour::MenuHighlight ? highlight : text;
  }
  void animate(ui::Form& form, unsigned ms, unsigned flags) override {
    animations.push_back({&form, ms, flags});
  }
  bool focus(ui::Form& form) override {
    focused.push_back(&form);
    return !focusRefused;
  }
  void capturePointer(ui::Form&, std::function<void(platform::ScreenPoint)> move,
                      std::function<void()> release) override {
    ++captures;
    onMove = std::move(move);
    onRelease = std::move(release);
  }

  // The user moves the pointer while a capture runs, then lets go.
  void moveTo(platform::ScreenPoint p) {
    pointer = p;
    if (onMove) onMove(p);
  }
  void release() {
    auto r = std::move(onRelease);
    onMove = nullptr;
    onRelease = nullptr;
    if (r) r();
  }
};

}  // namespace hv::test
