#pragma once
// The About window's layout at 96 DPI.
#include <array>

#include "ui/form.h"

namespace hv::about {

inline constexpr int kLogoWidth = 344;
inline constexpr int kLogoHeight = 105;
inline constexpr int kAboutPanelWidth = 350;
inline constexpr int kAboutPanelHeight = 291;
inline constexpr int kAboutLinkHeight = 13;

inline constexpr std::array<ui::ControlSpec, 8> kAboutControls{{
    {.name = "Panel1",
     .kind = ui::ControlKind::Panel,
     .bounds = {48, 42, kAboutPanelWidth, kAboutPanelHeight}},
    // Inside the panel's one-pixel edge, 2-pixel margins left and right.
    {.name = "Image2",
     .bounds = {3, 4, kLogoWidth, kLogoHeight},
     .parent = "Panel1",
     .icon = "logo"},
    {.name = "Bevel1",
     .kind = ui::ControlKind::Bevel,
     .bounds = {9, 122, 34, 34},
     .parent = "Panel1"},
    {.name = "Image1", .bounds = {10, 123, 32, 32}, .parent = "Panel1", .icon = "app"},
    {.name = "Label2",
     .bounds = {49, 122, 290, 40},
     .fontHeight = 16,
     .parent = "Panel1",
     .wordWrap = true},
    {.name = "BitBtn1",
     .kind = ui::ControlKind::Button,
     .bounds = {49, 224, 122, 33},
     .text = L"OK",
     .fontHeight = 16,
     .tabOrder = 0,
     .parent = "Panel1"},
    {.name = "BitBtn2",
     .kind = ui::ControlKind::Button,
     .bounds = {177, 224, 122, 33},
     .text = L"Info",
     .fontHeight = 16,
     .tabOrder = 1,
     .parent = "Panel1",
     .icon = "arrow",
     .iconRight = true},
    {.name = "Label5",
     .bounds = {0, kAboutPanelHeight - kAboutLinkHeight, kAboutPanelWidth, kAboutLinkHeight},
     .text = HORVANE_MAKER_HOST,
     .fontHeight = 11,
     .parent = "Panel1",
     .align = ui::Align::Center,
     .dock = ui::Dock::Bottom,
     .link = true,
     .cursor = ui::Cursor::Hand,
     .fontName = L"MS Sans Serif",
     .hint = L"http://" HORVANE_MAKER_HOST L"/"},
}};

inline constexpr std::array<ui::MenuSpec, 3> kAboutInfoMenu{{
    {.name = "Credits1", .caption = L"Acknowledgements..."},
    {.name = "Howtouninstall1", .caption = L"How to uninstall..."},
    {.name = "LicensePrivacyPolicy1", .caption = L"License..."},
}};

inline constexpr std::array<ui::TimerSpec, 1> kAboutTimers{{
    {.name = "tmTimer", .interval = 50, .enabled = false},
}};

inline constexpr ui::FormSpec kAboutBox{
    .name = "AboutBox",
    .clientWidth = 446,
    .clientHeight = 374,
    .toolWindow = true,
    .background = {0, 0, 0},
    .hasBackground = true,
    .controls = kAboutControls,
    .popupMenu = kAboutInfoMenu,
    .timers = kAboutTimers,
};
inline const ui::FormSpec& AboutBoxSpec() {
  return kAboutBox;
}

}  // namespace hv::about
