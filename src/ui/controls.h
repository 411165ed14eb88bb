#pragma once
// Control objects: each keeps its own state and events, in one place. The
// native part of its form shows every change, and reports the user's actions
// back through the *FromUser calls, so headless and real windows behave alike.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace hv::ui {

enum class ControlKind { Label, Button, CheckBox, ComboBox, Edit, Memo, Panel, Bevel };
enum class Align { Left, Center, Right };
enum class Dock { None, Top, Bottom, Client };
enum class Cursor { Default, Hand };

// Left, top, width, height at 96 DPI. A width or height of 0 on a label
// means "as large as its text".
struct Bounds {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const Bounds&, const Bounds&) = default;
};

struct Colour {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Colour&, const Colour&) = default;
};

// One row of a window's layout table. Every field has a default, so a row
// names only what sets the control apart.
struct ControlSpec {
  std::string_view name;
  ControlKind kind = ControlKind::Label;
  Bounds bounds{};
  std::wstring_view text{};
  int fontHeight = 0;         // pixels at 96 DPI; 0 takes the window's font
  int tabOrder = -1;          // -1: not a tab stop
  std::string_view parent{};  // a panel of the same window, or the window
  Align align = Align::Left;
  Dock dock = Dock::None;
  int dockMargin = 0;
  bool enabled = true;
  bool visible = true;
  bool readOnly = false;
  bool defaultButton = false;  // Enter presses it
  bool cancelButton = false;   // Escape presses it
  bool editable = false;       // combo box: with an edit field
  bool sorted = false;         // combo box: keeps its list sorted
  bool buttonFace = false;     // background in the button-face colour
  bool link = false;           // label: blue, underlined
  bool bold = false;
  bool scrollBars = false;  // memo: both scroll bars, no word wrap
  Cursor cursor = Cursor::Default;
  std::string_view icon{};         // button: the icon beside the text; label
                                   // without text: a picture filling its bounds
  Colour* colour = nullptr;        // unused by rows; reserved for painted panels
  bool iconRight = false;          // button: the icon after the text
  std::wstring_view fontName{};    // empty: the window's font
  std::wstring_view hint{};        // tooltip text
  int maxLength = 0;               // edit, memo: most characters the user types; 0: any
  bool wordWrap = false;           // label: wraps its text within its width
  bool verticalScrollBar = false;  // memo: a vertical scroll bar, lines wrap
};

enum class Change {
  Text,
  Enabled,
  Visible,
  Checked,
  Items,
  Selection,
  Font,
  Colours,
  Bounds,
  Hint
};

class Form;

class Control {
 public:
  // Made by its form, from a row of the form's table.
  Control(Form& form, const ControlSpec& design);
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const ControlSpec& design() const { return design_; }
  std::string_view name() const { return design_.name; }
  ControlKind kind() const { return design_.kind; }
  Form& form() const { return form_; }

  const std::wstring& text() const { return text_; }
  virtual void setText(std::wstring text);
  bool enabled() const { return enabled_; }
  void setEnabled(bool on);
  bool visible() const { return visible_; }
  void setVisible(bool on);
  const Bounds& bounds() const { return bounds_; }
  void setBounds(Bounds b);
  // The tooltip; empty: none.
  const std::wstring& hint() const { return hint_; }
  void setHint(std::wstring hint);
  // Font colour for painted looks (the feedback panels, the notice window).
  Colour fontColour() const { return fontColour_; }
  void setFontColour(Colour c);
  Colour backColour() const { return backColour_; }
  void setBackColour(Colour c);
  bool hasColours() const { return hasColours_; }

  // The user typed into the control; its window already shows the text.
  void setTextFromUser(std::wstring text);

  std::function<void()> OnClick;
  std::function<void()> OnChange;
  std::function<void()> OnMouseEnter;
  std::function<void()> OnMouseLeave;
  // Any mouse button went down on the control; button 2 is the right one.
  std::function<void(int button)> OnMouseDown;
  // The pointer moved over the control (or anywhere, while a button pressed
  // on it is held), and the button came up again.
  std::function<void()> OnMouseMove;
  std::function<void(int button)> OnMouseUp;
  // A key went down while the control has the focus (virtual key code).
  std::function<void(unsigned key)> OnKeyDown;

  // Runs OnClick as a user's click would, when the control is enabled.
  void click();

 protected:
  // Tells the form's native part, when it has one.
  void notify(Change what);
  // Keeps a new text without showing it yet; true when it differs.
  bool storeText(const std::wstring& text);

 private:
  Form& form_;
  const ControlSpec& design_;
  std::wstring text_;
  bool enabled_;
  bool visible_;
  Bounds bounds_;
  std::wstring hint_;
  Colour fontColour_{};
  Colour backColour_{};
  bool hasColours_ = false;
};

// A control of one kind; the kind lets a window's typed rows be checked when
// the program compiles.
template <ControlKind K>
class ControlOf : public Control {
 public:
  static constexpr ControlKind kKind = K;
  using Control::Control;
};

using Label = ControlOf<ControlKind::Label>;
using Button = ControlOf<ControlKind::Button>;
using Bevel = ControlOf<ControlKind::Bevel>;
using Edit = ControlOf<ControlKind::Edit>;

class Panel : public ControlOf<ControlKind::Panel> {
 public:
  using ControlOf::ControlOf;
  // Its bevel: raised unless lowered (a selected option looks lowered).
  bool lowered() const { return lowered_; }
  void setLowered(bool on);

 private:
  bool lowered_ = false;
};

// Setting Checked from code runs OnClick exactly as a user's click does.
class CheckBox : public ControlOf<ControlKind::CheckBox> {
 public:
  using ControlOf::ControlOf;
  bool checked() const { return checked_; }
  void setChecked(bool on);
  // The user clicked the box: the state flips and OnClick runs.
  void toggleFromUser();

 private:
  bool checked_ = false;
};

class ComboBox : public ControlOf<ControlKind::ComboBox> {
 public:
  using ControlOf::ControlOf;
  const std::vector<std::wstring>& items() const { return items_; }
  // Adds an item (in sorted place for a sorted box); returns its index.
  int addItem(std::wstring item);
  void clearItems();
  int itemIndex() const { return itemIndex_; }
  // Selects an item from code; OnChange does not run.
  void setItemIndex(int index);
  // Text from code; for a list-only box it selects the matching item.
  void setText(std::wstring text) override;
  // The user picked an item from the list: text follows and OnChange runs.
  void selectFromUser(int index);
  // The user typed into the edit field: no item stays selected.
  void editFromUser(std::wstring text);

 private:
  std::vector<std::wstring> items_;
  int itemIndex_ = -1;
};

// Multi-line text; lines are kept as the text joined by CR LF.
class Memo : public ControlOf<ControlKind::Memo> {
 public:
  using ControlOf::ControlOf;
  const std::vector<std::wstring>& lines() const { return lines_; }
  void clear();
  void addLine(const std::wstring& line);

 private:
  std::vector<std::wstring> lines_;
};

}  // namespace hv::ui
