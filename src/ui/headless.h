#pragma once
// A window system without windows: forms live in memory, timers run on a
// millisecond clock that only advance() moves, message boxes are recorded
// and answered from a script. As on Windows, the nested loops (message
// boxes, modal windows, processMessages) run posted work and fire the timers
// that fall due meanwhile. Tests drive forms through it.
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "ui/window_system.h"
#include "ui/work_queue.h"

namespace hv::ui {

class HeadlessWindowSystem : public WindowSystem {
 public:
  HeadlessWindowSystem();
  ~HeadlessWindowSystem() override;

  FormNative& realize(Form& form) override;
  void run() override;
  void terminate() override { terminated_ = true; }
  bool terminated() const override { return terminated_; }
  void processMessages() override;
  void runModal(Form& form) override;
  void post(std::function<void()> work) override;
  void invoke(std::function<void()> work) override;
  bool onUiThread() const override { return std::this_thread::get_id() == uiThread_; }
  ModalResult messageBox(Form* owner, const MessageBoxRequest& request) override;
  void beep() override { ++beeps; }
  std::uint32_t tickCount() override { return static_cast<std::uint32_t>(now_); }
  void registerHotKey(Form& form, std::uint16_t id, unsigned modifiers,
                      unsigned virtualKey) override;
  void unregisterHotKey(Form& form, std::uint16_t id) override;
  int dpi(const Form&) override { return monitorDpi; }
  Point cursorPos() override { return cursor; }
  void popupMenu(Form& form, Point screen) override;
  Size outerSize(const Form& form) override;

  // Moves the fake clock forward, firing every timer that falls due, in
  // order, and running posted work between ticks.
  void advance(unsigned ms);
  std::uint64_t now() const { return now_; }
  // Runs posted work until none is left, waiting up to timeoutMs for work
  // that other threads are still to post; true when idle at the end.
  bool drain(unsigned timeoutMs = 0);
  // Work posted and not yet run.
  std::size_t pendingWork() const { return queue_.pending(); }

  // What a user's action does: the event runs through dispatch(), so a
  // failure that escapes it reaches the error report.
  void userClick(Control& c) {
    dispatch([&c] { c.click(); });
  }
  void userToggle(CheckBox& c) {
    dispatch([&c] { c.toggleFromUser(); });
  }
  void userChoose(MenuItem& m) {
    dispatch([&m] { m.click(); });
  }

  // Message boxes shown so far, and the answers for the next ones (OK when
  // the script is empty).
  std::vector<MessageBoxRequest> shownBoxes;
  // How long a user takes to answer a message box, on the fake clock; the
  // timers due meanwhile fire inside the box.
  unsigned boxOpenMs = 1000;
  // Boxes open right now, and the most ever open at once.
  int openBoxes = 0;
  int mostOpenBoxes = 0;
  std::deque<ModalResult> boxAnswers;
  // Called while a modal form runs; it sets the form's result or closes it.
  // Without one, a modal form closes at once with Cancel.
  std::function<void(Form&)> onModal;
  // Called while a message box is open, as the box's own loop would run.
  std::function<void(const MessageBoxRequest&)> onMessageBox;

  struct HotKey {
    Form* form;
    std::uint16_t id;
    unsigned modifiers, key;
  };
  std::vector<HotKey> hotKeys;
  int beeps = 0;
  int processMessagesCalls = 0;

  // The monitor's DPI, as a test sets it.
  int monitorDpi = 96;
  // The pointer, as a test moves it.
  Point cursor;
  // Pop-up menus shown so far; onPopupMenu runs while one is open, as the
  // menu's own loop would (it may choose an item).
  struct Popup {
    Form* form;
    Point at;
  };
  std::vector<Popup> popups;
  std::function<void(Form&)> onPopupMenu;
  // Width and height the window frame adds to the client area.
  Size frame{6, 29};

 private:
  class TimerClock;
  class HeadlessForm;
  std::size_t runPosted();
  std::thread::id uiThread_;
  bool terminated_ = false;
  std::uint64_t now_ = 0;
  std::unique_ptr<TimerClock> timers_;
  std::vector<std::unique_ptr<HeadlessForm>> forms_;
  std::mutex wakeMutex_;
  std::condition_variable woken_;
  bool wake_ = false;
  WorkQueue queue_;
};

}  // namespace hv::ui
