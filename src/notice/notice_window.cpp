#include "notice/notice_window.h"

#include <memory>

#include "base/error.h"
#include "i18n/catalogue.h"
#include "notice/notice_layout.h"
#include "ui/window_system.h"
#include "web/download_link.h"
#include "web/update_check.h"

namespace hv::notice {
namespace {

NoticeState& StateOf() {
  static NoticeState run;
  return run;
}

constexpr unsigned kAnimationMs = 100;
constexpr int kMargin = 5;
constexpr int kRightButton = 2;

int ScaledBy(int value, int dpi) {
  return (value * dpi + 48) / 96;
}

ui::Colour ToColour(platform::ScreenColour c) {
  return {c.r, c.g, c.b};
}

}  // namespace

std::wstring DownloadAddress(std::wstring_view downloadUrl, std::wstring_view makerHost) {
  if (web::IsSafeWebAddress(downloadUrl)) return std::wstring(downloadUrl);
  return L"https://" + std::wstring(makerHost);
}

TNewVer::TNewVer(NoticeServices services)
    : ui::Form(services.windows, NewVerSpec()), services_(std::move(services)) {
  wireEvents();
}

void TNewVer::wireEvents() {
  OnClose = [this] { FormClose(); };
  // The link, its panel and the close button start no drag.
  OnMouseDown = [this](int button, int, int) { FormMouseDown(button); };
  for (ui::Control* c : {static_cast<ui::Control*>(&Panel1), static_cast<ui::Control*>(&Image1),
                         static_cast<ui::Control*>(&Label1), static_cast<ui::Control*>(&Panel3)})
    c->OnMouseDown = [this](int button) { FormMouseDown(button); };
}

void TNewVer::FormCreate() {
  const int width = ScaledBy(NewVerSpec().clientWidth, services_.windows.dpi(*this));
  moveTo(services_.desktop.screenWidth() - width - kMargin, kMargin);
  Label1.setText(i18n::Translate(L"UPDATE AVAILABLE"));
  Label2.setText(i18n::Translate(L"Click to download") + L" " + services_.productName + L" " +
                 web::LatestVersion());
}

void TNewVer::TimerStartTimer() {
  TimerStart.setEnabled(false);
  services_.desktop.animate(*this, kAnimationMs,
                            platform::animate::kCenter | platform::animate::kHorPositive |
                                platform::animate::kHorNegative);
  show();
  // The main window may be hidden in the tray; then it keeps no focus.
  services_.desktop.focus(services_.mainForm);
}

void TNewVer::TimerCloseTimer() {
  --StateOf().closeCountdown;
  if (StateOf().closeCountdown != 0) return;
  TimerClose.setEnabled(false);
  services_.desktop.animate(*this, kAnimationMs,
                            platform::animate::kHide | platform::animate::kCenter);
  close();
}

bool TNewVer::pointerOnLink(platform::ScreenPoint p) const {
  // Label2 sits in Panel2, which sits in Panel1, which fills the window.
  const int dpi = services_.windows.dpi(*this);
  const auto& b = Label2.bounds();
  const int x = Panel1.bounds().left + Panel2.bounds().left + b.left;
  const int y = Panel1.bounds().top + Panel2.bounds().top + b.top;
  const int left = this->left() + ScaledBy(x, dpi);
  const int top = this->top() + ScaledBy(y, dpi);
  return p.x >= left && p.x < left + ScaledBy(b.width, dpi) && p.y >= top &&
         p.y < top + ScaledBy(b.height, dpi);
}

void TNewVer::TimerLinkTimer() {
  const auto which = pointerOnLink(services_.desktop.cursorPos())
                         ? platform::StyleColour::MenuHighlight
                         : platform::StyleColour::WindowText;
  Label2.setFontColour(ToColour(services_.desktop.styleColour(which)));
}

void TNewVer::Label2Click() {
  // Opening the browser is a courtesy; a refusal is not reported.
  try {
    services_.shell.openAsUser(DownloadAddress(web::DownloadURL(), services_.makerHost), L"",
                               platform::ShowCommand::Hide);
  } catch (const Error&) {
  }
  close();
}

void TNewVer::Button1Click() {
  close();
}

// The notice releases itself, once the close that runs now has finished.
void TNewVer::FormClose() {
  TimerStart.setEnabled(false);
  TimerClose.setEnabled(false);
  TimerLink.setEnabled(false);
  services_.windows.post([this] {
    if (StateOf().window.get() == this) StateOf().window.reset();
  });
}

void TNewVer::FormMouseDown(int button) {
  if (button == kRightButton) return;
  dragging_ = true;
  last_ = services_.desktop.cursorPos();
  services_.desktop.capturePointer(
      *this, [this](platform::ScreenPoint p) { FormMouseMove(p); }, [this] { FormMouseUp(); });
}

void TNewVer::FormMouseMove(platform::ScreenPoint at) {
  if (!dragging_) return;
  moveTo(left() + at.x - last_.x, top() + at.y - last_.y);
  last_ = at;
}

void TNewVer::FormMouseUp() {
  dragging_ = false;
}

void ShowNewVer(const NoticeServices& services) {
  auto& s = StateOf();
  if (s.shown) return;
  s.shown = true;
  s.window = ui::MakeForm<TNewVer>(services);
}

TNewVer* NewVer() {
  return StateOf().window.get();
}

std::int64_t CloseCountdown() {
  return StateOf().closeCountdown;
}

void ReleaseNewVer() {
  StateOf().window.reset();
}

void ForgetNoticeForTests() {
  StateOf().window.reset();
  StateOf() = {};
}

}  // namespace hv::notice
