#pragma once
// What the update notice needs of the desktop beyond its own window: the
// screen, the pointer, the visual style's colours, the window animation and
// the keyboard focus.
#include <cstdint>
#include <functional>

namespace hv::ui {
class Form;
}

namespace hv::platform {

struct ScreenPoint {
  int x = 0;
  int y = 0;
  friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

struct ScreenColour {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const ScreenColour&, const ScreenColour&) = default;
};

enum class StyleColour { WindowText, MenuHighlight };

// The animation flags, with the platform's values.
namespace animate {
inline constexpr unsigned kHorPositive = 0x00000001;  // AW_HOR_POSITIVE
inline constexpr unsigned kHorNegative = 0x00000002;  // AW_HOR_NEGATIVE
inline constexpr unsigned kCenter = 0x00000010;       // AW_CENTER
inline constexpr unsigned kHide = 0x00010000;         // AW_HIDE
}  // namespace animate

class Desktop {
 public:
  virtual ~Desktop() = default;
  // Width of the primary screen in physical pixels.
  virtual int screenWidth() = 0;
  // The pointer in screen coordinates.
  virtual ScreenPoint cursorPos() = 0;
  // A system colour as the active visual style draws it.
  virtual ScreenColour styleColour(StyleColour which) = 0;
  // Shows or hides the form's window with an animation of ms milliseconds.
  virtual void animate(ui::Form& form, unsigned ms, unsigned flags) = 0;
  // Gives the keyboard focus to the form's window; false when refused (a
  // hidden window cannot take it).
  virtual bool focus(ui::Form& form) = 0;
  // Until the buttons are released, every pointer move reaches onMove in
  // screen coordinates, wherever the pointer goes; then onRelease runs.
  virtual void capturePointer(ui::Form& form, std::function<void(ScreenPoint)> onMove,
                              std::function<void()> onRelease) = 0;
};

}  // namespace hv::platform
