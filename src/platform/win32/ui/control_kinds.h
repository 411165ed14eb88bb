#pragma once
// One small class per kind of control: its native class and style, the
// notifications it turns into the control's events, the colours it paints
// with, and the changes it shows in its own way.
#include "platform/win32/ui/control_window.h"

namespace hv::platform::win32::winui {

class LabelWindow : public ControlWindow {
 public:
  using ControlWindow::ControlWindow;
  void command(WORD code) override;

 protected:
  NativeClass nativeClass() const override;
  bool show(hv::ui::Change what) override;
  bool paintsItself() const override { return isPicture(); }
  void paint(HDC dc) override;
  bool holdsPointer() const override { return true; }

 private:
  // A label without text that shows a picture.
  bool isPicture() const;
};

class ButtonWindow : public ControlWindow {
 public:
  using ControlWindow::ControlWindow;
  void command(WORD code) override;

 protected:
  NativeClass nativeClass() const override;
  void applyIcon() override;
};

class CheckBoxWindow : public ControlWindow {
 public:
  using ControlWindow::ControlWindow;
  void command(WORD code) override;

 protected:
  NativeClass nativeClass() const override;
  void created() override { showCheck(); }
  bool show(hv::ui::Change what) override;

 private:
  void showCheck();
};

class ComboBoxWindow : public ControlWindow {
 public:
  using ControlWindow::ControlWindow;
  void command(WORD code) override;
  std::optional<HBRUSH> colours(HDC) override { return std::nullopt; }
  ui::layout::Size naturalSize() const override;
  bool droppedDown() const override;

 protected:
  NativeClass nativeClass() const override;
  bool sizedByWindow() const override { return true; }
  void move(const hv::ui::Bounds& physical) override;
  void created() override;
  bool show(hv::ui::Change what) override;

 private:
  hv::ui::ComboBox& box() const { return static_cast<hv::ui::ComboBox&>(control_); }
  void fillList();
};

class EditWindow : public ControlWindow {
 public:
  using ControlWindow::ControlWindow;
  void command(WORD code) override;
  std::optional<HBRUSH> colours(HDC dc) override;

 protected:
  NativeClass nativeClass() const override;
  void created() override;
};

// Multi-line text, every line break CR LF.
class MemoWindow : public EditWindow {
 public:
  using EditWindow::EditWindow;
  bool wantsReturn() const override { return true; }

 protected:
  NativeClass nativeClass() const override;
  std::wstring shownText() const override;
};

// Painted here: background, caption and bevel. Its children's notifications
// pass through it to the form.
class PanelWindow : public ControlWindow {
 public:
  using ControlWindow::ControlWindow;
  void command(WORD code) override;
  std::optional<HBRUSH> colours(HDC dc) override;
  HBRUSH background() const override;

 protected:
  NativeClass nativeClass() const override;
  void created() override;
  bool show(hv::ui::Change what) override;
  bool paintsItself() const override { return true; }
  void paint(HDC dc) override;
  bool holdsPointer() const override { return true; }
  std::optional<LRESULT> message(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

class BevelWindow : public ControlWindow {
 public:
  using ControlWindow::ControlWindow;

 protected:
  NativeClass nativeClass() const override;
  bool holdsPointer() const override { return true; }
};

}  // namespace hv::platform::win32::winui
