// The main window's side of Get Server Time and Sync Computer Time: their
// starters, and what the time commands see of the window.
#include "app/clock_step_text.h"
#include "app/error_report.h"
#include "app/main_form.h"
#include "app/server_time_hint.h"
#include "i18n/catalogue.h"
#include "platform/locale.h"
#include "ui/window_system.h"

namespace hv::app {
namespace {

// What the server time display shows until the first successful fetch.
constexpr wchar_t kNoServerTime[] = L"01/01/1990 00:00:00";

// The two boxes about a step the guard stopped differ only in their words.
ui::MessageBoxRequest StepBox(platform::Locale& locale,
                              std::wstring (*text)(std::wstring_view, double),
                              time::TDateTime serverTime, double stepSeconds,
                              const wchar_t* caption) {
  ui::MessageBoxRequest box;
  box.text = text(time::FormatDisplay(serverTime, locale.dateSeparator(), locale.timeSeparator()),
                  stepSeconds);
  box.caption = i18n::Translate(caption);
  box.icon = ui::MessageIcon::Warning;
  return box;
}

}  // namespace

void TAppForm::BitBtn1Click() {
  commands_->getServerTime(timeRequest());
}

void TAppForm::BitBtn2Click() {
  commands_->syncComputerTime(timeRequest());
}

void TAppForm::Timer1Timer() {
  Timer1.setEnabled(false);
  // While another command holds the one query, the press waits a second.
  if (!commands_->startupPress(timeRequest())) Timer1.setEnabled(true);
}

void TAppForm::TimerAutomaticTimer() {
  if (CheckBox2.checked() && Label2.text() != Label4.text() && BitBtn2.enabled())
    commands_->automaticTurn(timeRequest());
}

// The first fetch gives the synchronisation a server time to start from, so
// one press queries twice.
void TAppForm::WMHotKey(unsigned id) {
  if (id != hotkey1_) return;
  if (commands_->getServerTime(timeRequest()) == FetchOutcome::PassedOn) return;
  platform_.windows.processMessages();
  commands_->syncComputerTime(timeRequest());
}

TimeRequest TAppForm::timeRequest() {
  // The box's own text: a typed host is queried as well as a chosen preset.
  return {i18n::TrimText(ComboBox1.text()), CheckBox1.checked(), Label2.text() != kNoServerTime,
          CheckBox2.checked()};
}

void TAppForm::fetchStarted(bool sync, bool waitsHere) {
  if (sync) TimerComputerTime.setEnabled(false);
  BitBtn1.setEnabled(false);
  if (waitsHere) platform_.windows.processMessages();
}

// In the order the user sees it: a fresh time is on the display before any
// box about its step, and an error's box opens while Get Server Time is
// still disabled.
bool TAppForm::renderTime(const TimeState& s) {
  using Box = TimeState::Box;
  platform::Locale& locale = platform_.locale;
  if (s.fresh) {
    Label2.setText(
        time::FormatDisplay(s.serverTime, locale.dateSeparator(), locale.timeSeparator()));
    Label2.setHint(ServerTimeHint(s.figures, locale.decimalSeparator()));
    BitBtn2.setEnabled(true);
  } else if (!s.ntsWhy.empty()) {
    Label2.setHint(NtsFailureHint(s.ntsWhy));
  }
  if (s.box == Box::ServerError || s.box == Box::InvalidTime) {
    ui::MessageBoxRequest box;
    box.text = s.box == Box::ServerError ? L"Server Error!" : L"Invalid Server Time!";
    box.caption = L"ERROR";
    box.icon = ui::MessageIcon::Error;
    platform_.windows.messageBox(this, box);
  }
  BitBtn1.setEnabled(true);
  switch (s.box) {
    case Box::Failure:
      ShowErrorReport(platform_.windows, s.failure);
      return false;
    case Box::StepWithheld:
      platform_.windows.messageBox(this, StepBox(platform_.locale, StepWithheldText, s.serverTime,
                                                 s.stepSeconds, L"Automatically Synchronize"));
      return false;
    case Box::StepQuestion: {
      ui::MessageBoxRequest box =
          StepBox(platform_.locale, StepQuestionText, s.serverTime, s.stepSeconds, L"Confirmation");
      box.buttons = ui::MessageButtons::YesNo;
      box.buttonCaptions = {i18n::Translate(L"Yes"), i18n::Translate(L"No")};
      box.defaultButton = 1;
      return platform_.windows.messageBox(this, box) == ui::ModalResult::Yes;
    }
    default:
      return false;
  }
}

void TAppForm::syncEnded() {
  TimerComputerTimeTimer();
}

}  // namespace hv::app
