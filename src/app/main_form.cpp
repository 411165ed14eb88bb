#include "app/main_form.h"

#include <cwctype>

#include "app/error_report.h"
#include "app/identity.h"
#include "app/main_form_layout.h"
#include "app/settings_folder.h"
#include "app/version_data.h"
#include "base/error.h"
#include "i18n/catalogue.h"
#include "notice/notice_window.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/locale.h"
#include "platform/shell.h"
#include "ui/window_system.h"

namespace hv::app {
namespace {

constexpr wchar_t kHotkeyAtom[] = L"HorvaneHotkey1";
constexpr unsigned kModAltControl = 0x0001 | 0x0002;
constexpr unsigned kVirtualKeyT = 0x54;
// The zone's daylight name is a fixed field of 32 characters.
constexpr std::size_t kZoneNameChars = 32;

std::wstring ZoneName(const std::wstring& name) {
  std::wstring out = name.substr(0, std::min(name.size(), kZoneNameChars));
  if (const auto nul = out.find(L'\0'); nul != std::wstring::npos) out.resize(nul);
  return out;
}

}  // namespace

std::wstring OnlineHelpAddress(std::wstring_view makerHost, const std::wstring& productName) {
  std::wstring page;
  for (wchar_t c : productName) {
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    page += c == L' ' ? L'-' : c;
  }
  return L"http://" + std::wstring(makerHost) + L"/help/" + page + L"/";
}

std::wstring GmtOffsetText(int hours) {
  return hours >= 0 ? L"GMT +" + std::to_wstring(hours) : L"GMT " + std::to_wstring(hours);
}

TAppForm::TAppForm(AppPlatform& platform)
    : ui::Form(platform.windows, AppFormSpec()),
      platform_(platform),
      commands_(std::make_unique<TimeCommands>(
          TimeServices{platform.windows, platform.clock, platform.network, platform.tcp,
                       platform.trustRoots, platform.http, platform.random,
                       std::wstring(MakerHost()), platform.buildDate},
          static_cast<TimeView&>(*this))) {
  for (std::wstring_view preset : ServerPresets()) ComboBox1.addItem(std::wstring(preset));
  wireEvents();
}

TAppForm::~TAppForm() = default;

void TAppForm::wireEvents() {
  OnMinimize = [this] { ApplicationEvents1Minimize(); };
  OnTrayClick = [this] { TrayIcon1Click(); };
  OnClose = [this] { Exit1Click(); };
  OnHotKey = [this](unsigned id) { WMHotKey(id); };
  wireWebEvents();
}

// Any step that fails is reported and ends the sequence there; the window
// opens all the same.
void TAppForm::FormCreate() {
  try {
    runCreationSequence();
  } catch (...) {
    ShowErrorReport(platform_.windows, std::current_exception());
  }
}

void TAppForm::runCreationSequence() {
  const std::wstring exe = platform_.files.moduleFileName();
  const TEXEVersionData data = ReadVersionData(platform_.versionInfo, exe);
  Identity id;
  id.companyName = data.CompanyName;
  id.productName = data.ProductName;
  id.appVersion = AppVersionOf(platform_.versionInfo, exe);
  id.appTitle = MakeAppTitle(id.companyName, id.productName);
  SetIdentity(id);
  setCaption(id.appTitle);

  hotkey1_ = platform_.shell.addGlobalAtom(kHotkeyAtom);
  platform_.windows.registerHotKey(*this, hotkey1_, kModAltControl, kVirtualKeyT);
  hotkeyRegistered_ = true;

  ComboBox1.setItemIndex(0);
  settingsFolder_ = ChooseSettingsFolder(platform_.files, exe, IdentityOf().companyName,
                                         IdentityOf().productName);
  settings_.emplace(platform_.profile, settingsFolder_ + kSettingsFileName);

  i18n::LoadLanguage(platform_.files, platform_.locale, exe, settings_->languageFile());
  const std::wstring server = settings_->server();
  const bool daylight = settings_->daylight();
  if (!server.empty()) ComboBox1.setText(server);
  // Ticking a box from code runs its click handler, as a user's click does.
  if (daylight) CheckBox1.setChecked(true);
  if (settings_->automaticallySynchronize()) CheckBox2.setChecked(true);
  translateTexts();
}

void TAppForm::translateTexts() {
  using i18n::Translate;
  File1.setCaption(Translate(L"File"));
  Exit1.setCaption(Translate(L"Exit"));
  Exit2.setCaption(Translate(L"Exit"));
  Help1.setCaption(Translate(L"Online Help"));
  Help2.setCaption(Translate(L"Online Help"));
  Help3.setCaption(Translate(L"Help"));
  UpdateNotifications1.setCaption(Translate(L"Update Notifications"));
  Language1.setCaption(Translate(L"Language..."));
  Language2.setCaption(Translate(L"Language..."));
  SendFeedback1.setCaption(Translate(L"Send Feedback..."));
  SendFeedback2.setCaption(Translate(L"Send Feedback..."));
  About1.setCaption(Translate(L"About"));
  About2.setCaption(Translate(L"About"));
  Label9.setText(Translate(L"Server:"));
  Label1.setText(Translate(L"Server Time:"));
  Label3.setText(Translate(L"Computer Time:"));
  Label5.setText(Translate(L"Computer Timezone:"));
  CheckBox1.setText(Translate(L"Daylight Saving:"));
  BitBtn1.setText(Translate(L"Get Server Time"));
  BitBtn2.setText(Translate(L"Sync Computer Time"));
  Label7.setText(Translate(L"Hotkey:") + L" CTRL + ALT + T");
  ShowHorvane1.setCaption(Translate(L"Show"));
  CheckBox2.setText(Translate(L"Automatically Synchronize"));
}

// An open notice goes with the main window, then the hotkey.
void TAppForm::FormDestroy() {
  notice::ReleaseNewVer();
  if (!hotkeyRegistered_) return;
  hotkeyRegistered_ = false;
  platform_.windows.unregisterHotKey(*this, hotkey1_);
}

void TAppForm::TimerStartTimer() {
  TimerStart.setEnabled(false);
  TimerComputerTimeTimer();
}

void TAppForm::TimerMinimizeTimer() {
  TimerMinimize.setEnabled(false);
  if (platform_.shell.firstArgument() == L"/auto") ApplicationEvents1Minimize();
}

void TAppForm::TimerComputerTimeTimer() {
  TimerComputerTime.setEnabled(false);
  const time::TDateTime now = time::FromSystemTime(platform_.clock.localTime());
  const platform::TimeZoneInfo zone = platform_.clock.timeZone();
  // Integer division truncates toward zero: -330 gives 5, 210 gives -3.
  gmtOffsetHours_ = zone.bias / -60;
  if (CheckBox1.checked()) {
    const std::wstring text =
        ZoneName(zone.daylightName) + L" (" + std::to_wstring(zone.daylightBias) + L")";
    daylightBiasMinutes_ = zone.daylightBias;
    if (Edit1.text() != text) Edit1.setText(text);
  } else {
    Edit1.setText(i18n::Translate(L"Disabled"));
  }
  const std::wstring dateSep = platform_.locale.dateSeparator();
  const std::wstring timeSep = platform_.locale.timeSeparator();
  Label4.setText(time::FormatDisplay(now, dateSep, timeSep));
  Label6.setText(GmtOffsetText(gmtOffsetHours_));
  if (commands_->ServerTimeValid()) advanceServerTime(dateSep, timeSep);
  TimerComputerTime.setEnabled(true);
}

// A fetch that the pass over pending messages runs stores its own time, which
// this tick then advances like any other.
void TAppForm::advanceServerTime(const std::wstring& dateSep, const std::wstring& timeSep) {
  Label2.setText(time::FormatDisplay(commands_->ServerTime(), dateSep, timeSep));
  platform_.windows.processMessages();
  commands_->advanceEstimate(1000);
}

void TAppForm::ApplicationEvents1Minimize() {
  hide();
  setWindowState(ui::WindowState::Minimized);
}

void TAppForm::TrayIcon1Click() {
  ShowHorvane1.click();
}

void TAppForm::ShowHorvane1Click() {
  show();
  setWindowState(ui::WindowState::Normal);
  bringToFront();
}

void TAppForm::Help2Click() {
  Help1.click();
}

void TAppForm::Exit1Click() {
  platform_.windows.terminate();
}

// Opening the help page is a courtesy: a shell that refuses is not reported.
void TAppForm::Help1Click() {
  try {
    platform_.shell.openAsUser(OnlineHelpAddress(MakerHost(), IdentityOf().productName), L"",
                               platform::ShowCommand::Hide);
  } catch (const Error&) {
  }
}

// Without a settings file (start-up stopped before choosing one) there is
// nowhere to keep a choice, so it is kept for this run only.
void TAppForm::writeSetting(const std::function<void(SettingsFile&)>& write) {
  if (settings_) write(*settings_);
}

void TAppForm::CheckBox1Click() {
  writeSetting([this](SettingsFile& s) { s.setDaylight(CheckBox1.checked()); });
  BitBtn1.click();
}

void TAppForm::CheckBox2Click() {
  if (CheckBox2.checked()) commands_->resetAutomatic();
  writeSetting([this](SettingsFile& s) { s.setAutomaticallySynchronize(CheckBox2.checked()); });
}

void TAppForm::ComboBox1Change() {
  writeSetting([this](SettingsFile& s) { s.setServer(ComboBox1.text()); });
}

void TAppForm::SetLanguageFile(const std::wstring& filename) {
  writeSetting([&](SettingsFile& s) { s.setLanguageFile(filename); });
}

}  // namespace hv::app
