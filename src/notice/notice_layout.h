#pragma once
// The update notice's layout: a borderless 320 by 68 window on top of the
// others, the application's icon, the title, the link and a close button.
#include <array>

#include "ui/form.h"

namespace hv::notice {

inline constexpr int kNoticeWidth = 320;
inline constexpr int kNoticeHeight = 68;
inline constexpr int kNoticeCloseStrip = 22;
inline constexpr int kNoticeImageStrip = 68;

inline constexpr std::array<ui::ControlSpec, 7> kNoticeControls{{
    {.name = "Panel1",
     .kind = ui::ControlKind::Panel,
     .bounds = {0, 0, kNoticeWidth, kNoticeHeight},
     .dock = ui::Dock::Client},
    {.name = "Image1", .bounds = {4, 4, 60, 60}, .parent = "Panel1", .icon = "app"},
    {.name = "Panel2",
     .kind = ui::ControlKind::Panel,
     .bounds = {kNoticeImageStrip, 0, kNoticeWidth - kNoticeImageStrip - kNoticeCloseStrip,
                kNoticeHeight},
     .parent = "Panel1"},
    {.name = "Label1",
     .bounds = {0, 4, kNoticeWidth - kNoticeImageStrip - kNoticeCloseStrip, 18},
     .text = L"UPDATE AVAILABLE",
     .fontHeight = 13,
     .parent = "Panel2",
     .align = ui::Align::Center,
     .bold = true},
    {.name = "Label2",
     .bounds = {0, 22, kNoticeWidth - kNoticeImageStrip - kNoticeCloseStrip, kNoticeHeight - 26},
     .text = L"Click to download",
     .fontHeight = 13,
     .parent = "Panel2",
     .align = ui::Align::Center,
     .link = true,
     .cursor = ui::Cursor::Hand,
     .wordWrap = true},
    {.name = "Panel3",
     .kind = ui::ControlKind::Panel,
     .bounds = {kNoticeWidth - kNoticeCloseStrip, 0, kNoticeCloseStrip, kNoticeHeight},
     .parent = "Panel1"},
    {.name = "Button1",
     .kind = ui::ControlKind::Button,
     .bounds = {0, 0, kNoticeCloseStrip, kNoticeCloseStrip},
     .parent = "Panel3",
     .icon = "close"},
}};

inline constexpr std::array<ui::TimerSpec, 3> kNoticeTimers{{
    {.name = "TimerStart", .interval = 1},
    {.name = "TimerClose", .interval = 1000},
    {.name = "TimerLink", .interval = 100},
}};

inline constexpr ui::FormSpec kNewVer{
    .name = "NewVer",
    .caption = L"UPDATE AVAILABLE",
    .clientWidth = kNoticeWidth,
    .clientHeight = kNoticeHeight,
    .border = ui::BorderStyle::None,
    .systemMenu = false,
    .toolWindow = true,
    .topMost = true,
    .position = ui::Position::Manual,
    .controls = kNoticeControls,
    .timers = kNoticeTimers,
};
inline const ui::FormSpec& NewVerSpec() {
  return kNewVer;
}

}  // namespace hv::notice
