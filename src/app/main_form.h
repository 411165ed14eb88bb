#pragma once
// TAppForm: the main window. It owns the timers, the tray icon, the hotkey
// and the time service for the whole run.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/app_platform.h"
#include "app/main_form_layout.h"
#include "app/settings_file.h"
#include "app/time_commands.h"
#include "time/datetime.h"
#include "ui/form.h"

namespace hv::time {
class TIdSNTP;
}

namespace hv::app {

class TAppForm : public ui::Form, private TimeView {
 public:
  explicit TAppForm(AppPlatform& platform);
  // FormPtr destroys the window (timers, hotkey, notice) first; the wait
  // for a running start-up query comes after, as commands_ goes.
  ~TAppForm() override;

  AppPlatform& platform() const { return platform_; }

  // Controls, menu items and timers by their designer names, bound to
  // their rows and wired to their handlers when the program compiles.
  ui::Label& Label9 = control(ui::RowOf<ui::Label>(kAppControls, "Label9"));
  ui::ComboBox& ComboBox1 =
      bind(ui::RowOf<ui::ComboBox>(kAppControls, "ComboBox1"), &TAppForm::ComboBox1Change);
  ui::Label& Label1 = control(ui::RowOf<ui::Label>(kAppControls, "Label1"));
  ui::Label& Label2 = control(ui::RowOf<ui::Label>(kAppControls, "Label2"));
  ui::Label& Label3 = control(ui::RowOf<ui::Label>(kAppControls, "Label3"));
  ui::Label& Label4 = control(ui::RowOf<ui::Label>(kAppControls, "Label4"));
  ui::Label& Label5 = control(ui::RowOf<ui::Label>(kAppControls, "Label5"));
  ui::Label& Label6 = control(ui::RowOf<ui::Label>(kAppControls, "Label6"));
  ui::CheckBox& CheckBox1 =
      bind(ui::RowOf<ui::CheckBox>(kAppControls, "CheckBox1"), &TAppForm::CheckBox1Click);
  ui::Edit& Edit1 = control(ui::RowOf<ui::Edit>(kAppControls, "Edit1"));
  ui::Button& BitBtn1 =
      bind(ui::RowOf<ui::Button>(kAppControls, "BitBtn1"), &TAppForm::BitBtn1Click);
  ui::Button& BitBtn2 =
      bind(ui::RowOf<ui::Button>(kAppControls, "BitBtn2"), &TAppForm::BitBtn2Click);
  ui::CheckBox& CheckBox2 =
      bind(ui::RowOf<ui::CheckBox>(kAppControls, "CheckBox2"), &TAppForm::CheckBox2Click);
  ui::Label& Label7 = control(ui::RowOf<ui::Label>(kAppControls, "Label7"));

  ui::MenuItem& File1 = menuItem(ui::RowOf<ui::MenuItem>(kAppMainMenu, "File1"));
  ui::MenuItem& Exit2 = bind(ui::RowOf<ui::MenuItem>(kAppMainMenu, "Exit2"), &TAppForm::Exit1Click);
  ui::MenuItem& Help3 = menuItem(ui::RowOf<ui::MenuItem>(kAppMainMenu, "Help3"));
  ui::MenuItem& Help2 = bind(ui::RowOf<ui::MenuItem>(kAppMainMenu, "Help2"), &TAppForm::Help2Click);
  ui::MenuItem& MenuItem4 = bind(ui::RowOf<ui::MenuItem>(kAppMainMenu, "MenuItem4"),
                                 &TAppForm::UpdateNotifications1Click);
  ui::MenuItem& Language2 =
      bind(ui::RowOf<ui::MenuItem>(kAppMainMenu, "Language2"), &TAppForm::Language1Click);
  ui::MenuItem& SendFeedback2 =
      bind(ui::RowOf<ui::MenuItem>(kAppMainMenu, "SendFeedback2"), &TAppForm::SendFeedback1Click);
  ui::MenuItem& About2 =
      bind(ui::RowOf<ui::MenuItem>(kAppMainMenu, "About2"), &TAppForm::About1Click);
  ui::MenuItem& ShowHorvane1 =
      bind(ui::RowOf<ui::MenuItem>(kAppTrayMenu, "ShowHorvane1"), &TAppForm::ShowHorvane1Click);
  ui::MenuItem& UpdateNotifications1 =
      bind(ui::RowOf<ui::MenuItem>(kAppTrayMenu, "UpdateNotifications1"),
           &TAppForm::UpdateNotifications1Click);
  ui::MenuItem& Help1 = bind(ui::RowOf<ui::MenuItem>(kAppTrayMenu, "Help1"), &TAppForm::Help1Click);
  ui::MenuItem& Language1 =
      bind(ui::RowOf<ui::MenuItem>(kAppTrayMenu, "Language1"), &TAppForm::Language1Click);
  ui::MenuItem& SendFeedback1 =
      bind(ui::RowOf<ui::MenuItem>(kAppTrayMenu, "SendFeedback1"), &TAppForm::SendFeedback1Click);
  ui::MenuItem& About1 =
      bind(ui::RowOf<ui::MenuItem>(kAppTrayMenu, "About1"), &TAppForm::About1Click);
  ui::MenuItem& Exit1 = bind(ui::RowOf<ui::MenuItem>(kAppTrayMenu, "Exit1"), &TAppForm::Exit1Click);

  ui::Timer& TimerStart =
      bind(ui::RowOf<ui::Timer>(kAppTimers, "TimerStart"), &TAppForm::TimerStartTimer);
  ui::Timer& TimerMinimize =
      bind(ui::RowOf<ui::Timer>(kAppTimers, "TimerMinimize"), &TAppForm::TimerMinimizeTimer);
  ui::Timer& TimerComputerTime = bind(ui::RowOf<ui::Timer>(kAppTimers, "TimerComputerTime"),
                                      &TAppForm::TimerComputerTimeTimer);
  ui::Timer& Timer1 = bind(ui::RowOf<ui::Timer>(kAppTimers, "Timer1"), &TAppForm::Timer1Timer);
  ui::Timer& TimerChecker =
      bind(ui::RowOf<ui::Timer>(kAppTimers, "TimerChecker"), &TAppForm::TimerCheckerTimer);
  ui::Timer& TimerAutomatic =
      bind(ui::RowOf<ui::Timer>(kAppTimers, "TimerAutomatic"), &TAppForm::TimerAutomaticTimer);

  // Handlers.
  void FormCreate() override;
  void FormDestroy() override;
  void TimerStartTimer();
  void TimerMinimizeTimer();
  void TimerComputerTimeTimer();
  void ApplicationEvents1Minimize();
  void TrayIcon1Click();
  void ShowHorvane1Click();
  void Exit1Click();
  void Help1Click();
  void Help2Click();
  void UpdateNotifications1Click();
  void CheckBox1Click();
  void CheckBox2Click();
  void ComboBox1Change();
  void WMHotKey(unsigned id);
  void BitBtn1Click();
  void BitBtn2Click();
  void Timer1Timer();
  void TimerAutomaticTimer();
  void TimerCheckerTimer();
  // The secondary windows, each created anew and shown modally
  // (main_form_windows.cpp).
  void Language1Click();
  void SendFeedback1Click();
  void About1Click();

  // Get Server Time, Sync Computer Time and their starters.
  TimeCommands& timeCommands() { return *commands_; }

  // Writes "LanguageFile"; the language window calls it before a restart.
  void SetLanguageFile(const std::wstring& filename);

  std::uint16_t hotkey1() const { return hotkey1_; }
  // GMT offset in whole hours and the daylight bias the display tick saw.
  int GmtOffsetHours() const { return gmtOffsetHours_; }
  int DaylightBiasMinutes() const { return daylightBiasMinutes_; }
  // The settings file, absent when start-up stopped before choosing it.
  SettingsFile* settings() { return settings_ ? &*settings_ : nullptr; }
  const std::wstring& settingsFolder() const { return settingsFolder_; }
  time::TIdSNTP& IdSNTP1() { return commands_->client(); }
  time::TDateTime ServerTime() const { return commands_->ServerTime(); }
  bool ServerTimeValid() const { return commands_->ServerTimeValid(); }
  // True once the start-up press has ended.
  bool StartupPressDone() const { return commands_->startupPressDone(); }

 private:
  void wireEvents();
  void runCreationSequence();
  void translateTexts();
  void writeSetting(const std::function<void(SettingsFile&)>& write);
  void advanceServerTime(const std::wstring& dateSep, const std::wstring& timeSep);
  // The maker's web services (main_form_web.cpp).
  void wireWebEvents();

  // What the time commands see of the window (main_form_time.cpp).
  TimeRequest timeRequest() override;
  void fetchStarted(bool sync, bool waitsHere) override;
  bool renderTime(const TimeState& state) override;
  void syncEnded() override;

  AppPlatform& platform_;
  std::optional<SettingsFile> settings_;
  std::wstring settingsFolder_;
  std::uint16_t hotkey1_ = 0;
  bool hotkeyRegistered_ = false;
  int gmtOffsetHours_ = 0;
  int daylightBiasMinutes_ = 0;
  std::unique_ptr<TimeCommands> commands_;
  // Set by TimerChecker's first tick.
  bool updateCheckStarted_ = false;
};

// "http://" + host + "/help/" + the product name in lower case, spaces as "-".
std::wstring OnlineHelpAddress(std::wstring_view makerHost, const std::wstring& productName);
// "GMT +3", "GMT +0", "GMT -5".
std::wstring GmtOffsetText(int hours);

}  // namespace hv::app
