// The main window's side of Get Server Time and Sync Computer Time: their
// starters, and what the time commands see of the window.
#include "app/clock_step_text.h"
#include "app/error_report.h"
#include "app/main_form.h"
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
  box.text = text(time::formatDisplay(serverTime, locale.dateSeparator(), locale.timeSeparator()),
                  stepSeconds);
  box.caption = i18n::Translate(caption);
  box.icon = ui::MessageIcon::Warning;
  return box;
}

}  // namespace

void TAppForm::BitBtn1Click() {
  commands_->getServerTime();
}

void TAppForm::BitBtn2Click() {
  commands_->syncComputerTime();
}

void TAppForm::Timer1Timer() {
  Timer1.setEnabled(false);
  // While another command holds the one query, the press waits a second.
  if (!commands_->startupPress()) Timer1.setEnabled(true);
}

void TAppForm::TimerAutomaticTimer() {
  if (CheckBox2.checked() && Label2.text() != Label4.text() && BitBtn2.enabled())
    commands_->automaticTurn();
}

std::wstring TAppForm::serverHost() {
  // The box's own text: a typed host is queried as well as a chosen preset.
  return i18n::TrimText(ComboBox1.text());
}

bool TAppForm::daylightTicked() {
  return CheckBox1.checked();
}

bool TAppForm::automaticTicked() {
  return CheckBox2.checked();
}

void TAppForm::setFetchEnabled(bool on) {
  BitBtn1.setEnabled(on);
}

void TAppForm::letMessagesRun() {
  platform_.windows.processMessages();
}

void TAppForm::showServerTime(time::TDateTime t, const AnswerFigures& figures) {
  Label2.setText(
      time::formatDisplay(t, platform_.locale.dateSeparator(), platform_.locale.timeSeparator()));
  Label2.setHint(ServerTimeHint(figures, platform_.locale.decimalSeparator()));
  BitBtn2.setEnabled(true);
}

bool TAppForm::serverTimeShown() {
  return Label2.text() != kNoServerTime;
}

void TAppForm::stopDisplayTick() {
  TimerComputerTime.setEnabled(false);
}

void TAppForm::runDisplayTick() {
  TimerComputerTimeTimer();
}

void TAppForm::errorBox(const wchar_t* text) {
  ui::MessageBoxRequest box;
  box.text = text;
  box.caption = L"ERROR";
  box.icon = ui::MessageIcon::Error;
  platform_.windows.messageBox(this, box);
}

void TAppForm::stepWithheldBox(time::TDateTime serverTime, double stepSeconds) {
  platform_.windows.messageBox(this, StepBox(platform_.locale, StepWithheldText, serverTime,
                                             stepSeconds, L"Automatically Synchronize"));
}

bool TAppForm::confirmStep(time::TDateTime serverTime, double stepSeconds) {
  ui::MessageBoxRequest box =
      StepBox(platform_.locale, StepQuestionText, serverTime, stepSeconds, L"Confirmation");
  box.buttons = ui::MessageButtons::YesNo;
  box.buttonCaptions = {i18n::Translate(L"Yes"), i18n::Translate(L"No")};
  box.defaultButton = 1;
  return platform_.windows.messageBox(this, box) == ui::ModalResult::Yes;
}

void TAppForm::reportFailure(const std::exception_ptr& failure) {
  ShowErrorReport(platform_.windows, failure);
}

}  // namespace hv::app
