#pragma once
// TNewVer: the update notice in the top-right corner of the screen. It grows
// in, links to the download page, can be dragged with any button but the
// right one, and goes by itself after eleven ticks of one second.
#include <cstdint>
#include <string>
#include <string_view>

#include "notice/notice_layout.h"
#include "platform/desktop.h"
#include "platform/shell.h"
#include "ui/form.h"

namespace hv::notice {

struct NoticeServices {
  ui::WindowSystem& windows;
  platform::Shell& shell;
  platform::Desktop& desktop;
  // The main window, which gets the keyboard focus back.
  ui::Form& mainForm;
  std::wstring makerHost;
  std::wstring productName;
};

// What the link opens: the download URL when it is a safe web address,
// otherwise the maker's home page over HTTPS. The URL comes from the network,
// so nothing else is handed to the shell.
std::wstring DownloadAddress(std::wstring_view downloadUrl, std::wstring_view makerHost);

class TNewVer : public ui::Form {
 public:
  explicit TNewVer(NoticeServices services);

  ui::Panel& Panel1 = control(ui::RowOf<ui::Panel>(kNoticeControls, "Panel1"));
  ui::Label& Image1 = control(ui::RowOf<ui::Label>(kNoticeControls, "Image1"));
  ui::Panel& Panel2 = control(ui::RowOf<ui::Panel>(kNoticeControls, "Panel2"));
  ui::Label& Label1 = control(ui::RowOf<ui::Label>(kNoticeControls, "Label1"));
  ui::Label& Label2 = bind(ui::RowOf<ui::Label>(kNoticeControls, "Label2"), &TNewVer::Label2Click);
  ui::Panel& Panel3 = control(ui::RowOf<ui::Panel>(kNoticeControls, "Panel3"));
  ui::Button& Button1 =
      bind(ui::RowOf<ui::Button>(kNoticeControls, "Button1"), &TNewVer::Button1Click);
  ui::Timer& TimerStart =
      bind(ui::RowOf<ui::Timer>(kNoticeTimers, "TimerStart"), &TNewVer::TimerStartTimer);
  ui::Timer& TimerClose =
      bind(ui::RowOf<ui::Timer>(kNoticeTimers, "TimerClose"), &TNewVer::TimerCloseTimer);
  ui::Timer& TimerLink =
      bind(ui::RowOf<ui::Timer>(kNoticeTimers, "TimerLink"), &TNewVer::TimerLinkTimer);

  void FormCreate() override;
  void FormClose();
  void TimerStartTimer();
  void TimerCloseTimer();
  void TimerLinkTimer();
  void Label2Click();
  void Button1Click();
  void FormMouseDown(int button);
  void FormMouseMove(platform::ScreenPoint at);
  void FormMouseUp();

  bool dragging() const { return dragging_; }

 private:
  void wireEvents();
  // Label2's rectangle on the screen, in physical pixels.
  bool pointerOnLink(platform::ScreenPoint p) const;

  NoticeServices services_;
  bool dragging_ = false;
  platform::ScreenPoint last_{};
};

// The run's notice. Owner: the UI thread. At most one
// notice per run; it closes itself after its countdown, which starts at 11
// and is never reset.
struct NoticeState {
  ui::FormPtr<TNewVer> window;
  bool shown = false;
  std::int64_t closeCountdown = 11;
};

// Creates the notice unless this run has had one; it shows itself.
void ShowNewVer(const NoticeServices& services);
// The notice while it exists, else null.
TNewVer* NewVer();
// Ticks left before the notice closes itself.
std::int64_t CloseCountdown();
// Destroys a notice that is still open, as the main window goes.
void ReleaseNewVer();
// Tests: as at process start. An open notice goes first, so its window
// system must still be there.
void ForgetNoticeForTests();

}  // namespace hv::notice
