#pragma once
// The main window's layout: controls, menus and timers at 96 DPI.
#include <array>
#include <string_view>

#include "ui/form.h"

namespace hv::app {

inline constexpr int kAppClientWidth = 424;
inline constexpr int kAppClientHeight = 303;

inline constexpr std::array<ui::ControlSpec, 14> kAppControls{{
    {.name = "Label9", .bounds = {8, 8, 0, 0}, .text = L"Server:", .fontHeight = 19},
    {.name = "ComboBox1",
     .kind = ui::ControlKind::ComboBox,
     .bounds = {194, 8, 222, 0},
     .fontHeight = 16,
     .tabOrder = 0,
     .editable = true},
    {.name = "Label1", .bounds = {8, 36, 0, 0}, .text = L"Server Time:", .fontHeight = 19},
    {.name = "Label2",
     .bounds = {194, 36, 222, 23},
     .text = L"01/01/1990 00:00:00",
     .fontHeight = 19,
     .align = ui::Align::Right},
    {.name = "Label3", .bounds = {8, 65, 0, 0}, .text = L"Computer Time:", .fontHeight = 19},
    {.name = "Label4",
     .bounds = {194, 65, 222, 23},
     .text = L"01/01/1990 00:00:00",
     .fontHeight = 19,
     .align = ui::Align::Right},
    {.name = "Label5", .bounds = {8, 94, 0, 0}, .text = L"Computer Timezone:", .fontHeight = 19},
    {.name = "Label6",
     .bounds = {194, 94, 222, 23},
     .text = L"GMT +0",
     .fontHeight = 19,
     .align = ui::Align::Right},
    {.name = "CheckBox1",
     .kind = ui::ControlKind::CheckBox,
     .bounds = {8, 122, 180, 27},
     .text = L"Daylight Saving:",
     .fontHeight = 13,
     .tabOrder = 1},
    {.name = "Edit1",
     .kind = ui::ControlKind::Edit,
     .bounds = {194, 123, 222, 24},
     .text = L"None",
     .fontHeight = 13,
     .tabOrder = 2,
     .align = ui::Align::Right,
     .readOnly = true,
     .buttonFace = true},
    {.name = "BitBtn1",
     .kind = ui::ControlKind::Button,
     .bounds = {8, 163, 408, 33},
     .text = L"Get Server Time",
     .fontHeight = 19,
     .tabOrder = 3,
     .defaultButton = true,
     .icon = "get"},
    {.name = "BitBtn2",
     .kind = ui::ControlKind::Button,
     .bounds = {8, 202, 408, 33},
     .text = L"Sync Computer Time",
     .fontHeight = 19,
     .tabOrder = 4,
     .enabled = false,
     .icon = "sync"},
    {.name = "CheckBox2",
     .kind = ui::ControlKind::CheckBox,
     .bounds = {8, 241, 408, 24},
     .text = L"Automatically Synchronize",
     .fontHeight = 19,
     .tabOrder = 5},
    // Docked to the bottom edge with 3-pixel margins.
    {.name = "Label7",
     .bounds = {3, kAppClientHeight - 3 - 19, kAppClientWidth - 6, 19},
     .text = L"Hotkey: CTRL + ALT + T",
     .fontHeight = 16,
     .align = ui::Align::Center,
     .dock = ui::Dock::Bottom,
     .dockMargin = 3},
}};

inline constexpr std::array<ui::MenuSpec, 10> kAppMainMenu{{
    {.name = "File1", .caption = L"File"},
    {.name = "Exit2", .caption = L"Exit", .parent = "File1", .icon = "exit"},
    {.name = "Help3", .caption = L"Help"},
    {.name = "Help2",
     .caption = L"Online Help",
     .parent = "Help3",
     .icon = "help",
     .shortcut = L"F1"},
    {.name = "N3", .parent = "Help3", .separator = true},
    {.name = "MenuItem4",
     .caption = L"Update Notifications",
     .parent = "Help3",
     .checked = true,
     .enabled = false,
     .visible = false},
    {.name = "MenuItem5", .parent = "Help3", .separator = true, .visible = false},
    {.name = "Language2", .caption = L"Language...", .parent = "Help3", .icon = "flag"},
    {.name = "SendFeedback2",
     .caption = L"Send &Feedback...",
     .parent = "Help3",
     .icon = "feedback"},
    {.name = "About2", .caption = L"&About...", .parent = "Help3", .icon = "about"},
}};

inline constexpr std::array<ui::MenuSpec, 10> kAppTrayMenu{{
    {.name = "ShowHorvane1", .caption = L"Show", .icon = "app"},
    {.name = "N1", .separator = true},
    {.name = "UpdateNotifications1",
     .caption = L"Update Notifications",
     .checked = true,
     .enabled = false},
    {.name = "UpdateNotificationsBar", .separator = true, .visible = false},
    {.name = "Help1", .caption = L"Online Help", .icon = "help"},
    {.name = "Language1", .caption = L"Language...", .icon = "flag"},
    {.name = "SendFeedback1", .caption = L"Send Feedback...", .icon = "feedback"},
    {.name = "About1", .caption = L"About...", .icon = "about"},
    {.name = "N2", .separator = true},
    {.name = "Exit1", .caption = L"E&xit", .icon = "exit"},
}};

inline constexpr std::array<ui::TimerSpec, 6> kAppTimers{{
    {.name = "TimerStart", .interval = 1},
    {.name = "TimerMinimize", .interval = 1},
    {.name = "TimerComputerTime", .interval = 1000},
    {.name = "Timer1", .interval = 1000},
    {.name = "TimerChecker", .interval = 1000},
    {.name = "TimerAutomatic", .interval = 10000},
}};

inline constexpr ui::FormSpec kAppForm{
    .name = "AppForm",
    .clientWidth = kAppClientWidth,
    .clientHeight = kAppClientHeight,
    .minimizeBox = true,
    .controls = kAppControls,
    .mainMenu = kAppMainMenu,
    .popupMenu = kAppTrayMenu,
    .timers = kAppTimers,
    .trayIcon = true,
    .trayHint = L"Horvane",
};
inline const ui::FormSpec& AppFormSpec() {
  return kAppForm;
}

// The server box's list; the fourth entry is the maker's own web host.
inline constexpr std::array<std::wstring_view, 4> kServerPresets{
    L"time.nist.gov",
    L"europe.pool.ntp.org",
    L"time.google.com",
    HORVANE_MAKER_HOST,
};
inline const std::array<std::wstring_view, 4>& ServerPresets() {
  return kServerPresets;
}
inline std::wstring_view MakerHost() {
  return ServerPresets()[3];
}

}  // namespace hv::app
