#pragma once
// The window system on real Win32 windows. It realises every form from its
// layout table as a top-level window with child controls of the standard
// classes, runs the message loops (the main one, modal ones and the
// let-messages-run of processMessages), and carries work from other threads
// to the user-interface thread through a hidden message window. It must be
// created on the user-interface thread and outlive its forms.
#include <windows.h>

#include <atomic>
#include <memory>
#include <vector>

#include "platform/win32/ui/handles.h"
#include "platform/win32/ui/images.h"
#include "platform/win32/ui/tray_icon.h"
#include "ui/window_system.h"
#include "ui/work_queue.h"

namespace hv::platform::win32::winui {

class FormWindow;

class Win32WindowSystem : public hv::ui::WindowSystem {
 public:
  explicit Win32WindowSystem(HINSTANCE instance = GetModuleHandleW(nullptr));
  Win32WindowSystem(const Win32WindowSystem&) = delete;
  Win32WindowSystem& operator=(const Win32WindowSystem&) = delete;
  ~Win32WindowSystem() override;

  hv::ui::FormNative& realize(hv::ui::Form& form) override;
  void run() override;
  void terminate() override;
  bool terminated() const override { return terminated_; }
  void processMessages() override;
  void runModal(hv::ui::Form& form) override;
  void post(std::function<void()> work) override;
  void invoke(std::function<void()> work) override;
  bool onUiThread() const override { return GetCurrentThreadId() == uiThread_; }
  hv::ui::ModalResult messageBox(hv::ui::Form* owner,
                                 const hv::ui::MessageBoxRequest& request) override;
  void beep() override;
  std::uint32_t tickCount() override;
  void registerHotKey(hv::ui::Form& form, std::uint16_t id, unsigned modifiers,
                      unsigned virtualKey) override;
  void unregisterHotKey(hv::ui::Form& form, std::uint16_t id) override;
  int dpi(const hv::ui::Form& form) override;
  hv::ui::Point cursorPos() override;
  hv::ui::Point bottomLeftOnScreen(hv::ui::Form& form, const hv::ui::Control& control) override;
  void popupMenu(hv::ui::Form& form, hv::ui::Point screen) override;
  hv::ui::Size outerSize(const hv::ui::Form& form) override;
  hv::ui::Colour systemColour(hv::ui::SystemColour which) override;

  // The native window of a realized form or of one of its controls, or null.
  HWND windowOf(const hv::ui::Form& form) const;
  HWND windowOf(const hv::ui::Control& control) const;
  HINSTANCE instance() const { return instance_; }
  ImageLibrary& images() { return images_; }
  UINT taskbarCreatedMessage() const { return taskbarCreated_; }
  // What the tray icons of forms realised from now on talk to: the shell's
  // notification area, or a test's.
  const TrayIcon::Notify& trayNotify() const { return trayNotify_; }
  void setTrayNotify(TrayIcon::Notify notify) { trayNotify_ = std::move(notify); }

  static constexpr wchar_t kFormClass[] = L"HorvaneForm";

  // The form windows that exist, from their making to their WM_NCDESTROY.
  void adopt(FormWindow& window);
  void forget(FormWindow& window);

 private:
  static LRESULT CALLBACK queueProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
  static FormWindow* find(const hv::ui::Form& form);
  bool exists(const FormWindow* window) const;
  // Takes one message, waiting for it when asked, and handles it; false
  // when there was none or the loop is to end.
  bool pumpOne(bool wait);

  HINSTANCE instance_;
  DWORD uiThread_;
  UINT taskbarCreated_ = 0;
  ImageLibrary images_;
  TrayIcon::Notify trayNotify_ = TrayIcon::shellNotify();
  WindowHandle queueWindow_;
  ui::WorkQueue queue_;
  std::atomic<bool> terminated_{false};
  std::vector<FormWindow*> windows_;
  // The first form realized and still there owns the ones after it.
  FormWindow* mainWindow_ = nullptr;
};

}  // namespace hv::platform::win32::winui
