#include "web/notice_layout.h"

#include <array>

namespace hv::web {
namespace {

using ui::Align;
using ui::ControlKind;
using ui::ControlSpec;
using ui::TimerSpec;

constexpr int kWidth = 320;
constexpr int kHeight = 68;
constexpr int kCloseStrip = 22;
constexpr int kImageStrip = 68;

const std::array<ControlSpec, 7> kControls{{
    {.name = "Panel1",
     .kind = ControlKind::Panel,
     .bounds = {0, 0, kWidth, kHeight},
     .dock = ui::Dock::Client},
    {.name = "Image1", .bounds = {4, 4, 60, 60}, .parent = "Panel1", .icon = "app"},
    {.name = "Panel2",
     .kind = ControlKind::Panel,
     .bounds = {kImageStrip, 0, kWidth - kImageStrip - kCloseStrip, kHeight},
     .parent = "Panel1"},
    {.name = "Label1",
     .bounds = {0, 4, kWidth - kImageStrip - kCloseStrip, 18},
     .text = L"UPDATE AVAILABLE",
     .fontHeight = 13,
     .parent = "Panel2",
     .align = Align::Center,
     .bold = true},
    {.name = "Label2",
     .bounds = {0, 22, kWidth - kImageStrip - kCloseStrip, kHeight - 26},
     .text = L"Click to download",
     .fontHeight = 13,
     .parent = "Panel2",
     .align = Align::Center,
     .link = true,
     .cursor = ui::Cursor::Hand,
     .wordWrap = true},
    {.name = "Panel3",
     .kind = ControlKind::Panel,
     .bounds = {kWidth - kCloseStrip, 0, kCloseStrip, kHeight},
     .parent = "Panel1"},
    {.name = "Button1",
     .kind = ControlKind::Button,
     .bounds = {0, 0, kCloseStrip, kCloseStrip},
     .parent = "Panel3",
     .icon = "close"},
}};

const std::array<TimerSpec, 3> kTimers{{
    {.name = "TimerStart", .interval = 1},
    {.name = "TimerClose", .interval = 1000},
    {.name = "TimerLink", .interval = 100},
}};

const ui::FormSpec kSpec{
    .name = "NewVer",
    .caption = L"UPDATE AVAILABLE",
    .clientWidth = kWidth,
    .clientHeight = kHeight,
    .border = ui::BorderStyle::None,
    .systemMenu = false,
    .toolWindow = true,
    .topMost = true,
    .position = ui::Position::Manual,
    .fontName = L"Tahoma",
    .fontHeight = 11,
    .controls = kControls,
    .timers = kTimers,
};

}  // namespace

const ui::FormSpec& NewVerSpec() {
  return kSpec;
}

}  // namespace hv::web
