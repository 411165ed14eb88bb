#include "about/about_box_layout.h"

#include <array>

namespace hv::about {
namespace {

using ui::ControlKind;
using ui::ControlSpec;
using ui::MenuSpec;

constexpr int kPanelWidth = 350;
constexpr int kPanelHeight = 291;
constexpr int kLinkHeight = 13;

const std::array<ControlSpec, 8> kControls{{
    {.name = "Panel1", .kind = ControlKind::Panel, .bounds = {48, 42, kPanelWidth, kPanelHeight}},
    // Inside the panel's one-pixel edge, 2-pixel margins left and right.
    {.name = "Image2",
     .bounds = {3, 4, kLogoWidth, kLogoHeight},
     .parent = "Panel1",
     .icon = "logo"},
    {.name = "Bevel1", .kind = ControlKind::Bevel, .bounds = {9, 122, 34, 34}, .parent = "Panel1"},
    {.name = "Image1", .bounds = {10, 123, 32, 32}, .parent = "Panel1", .icon = "app"},
    {.name = "Label2",
     .bounds = {49, 122, 290, 40},
     .fontHeight = 16,
     .parent = "Panel1",
     .wordWrap = true},
    {.name = "BitBtn1",
     .kind = ControlKind::Button,
     .bounds = {49, 224, 122, 33},
     .text = L"OK",
     .fontHeight = 16,
     .tabOrder = 0,
     .parent = "Panel1"},
    {.name = "BitBtn2",
     .kind = ControlKind::Button,
     .bounds = {177, 224, 122, 33},
     .text = L"Info",
     .fontHeight = 16,
     .tabOrder = 1,
     .parent = "Panel1",
     .icon = "arrow",
     .iconRight = true},
    {.name = "Label5",
     .bounds = {0, kPanelHeight - kLinkHeight, kPanelWidth, kLinkHeight},
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

const std::array<MenuSpec, 3> kInfoMenu{{
    {.name = "Credits1", .caption = L"Acknowledgements..."},
    {.name = "Howtouninstall1", .caption = L"How to uninstall..."},
    {.name = "LicensePrivacyPolicy1", .caption = L"License..."},
}};

const std::array<ui::TimerSpec, 1> kTimers{{
    {.name = "tmTimer", .interval = 50, .enabled = false},
}};

}  // namespace

const ui::FormSpec& AboutBoxSpec() {
  static const ui::FormSpec design{
      .name = "AboutBox",
      .clientWidth = 446,
      .clientHeight = 374,
      .border = ui::BorderStyle::Single,
      .systemMenu = true,
      .minimizeBox = false,
      .maximizeBox = false,
      .toolWindow = true,
      .position = ui::Position::ScreenCenter,
      .background = {0, 0, 0},
      .hasBackground = true,
      .controls = kControls,
      .popupMenu = kInfoMenu,
      .timers = kTimers,
  };
  return design;
}

}  // namespace hv::about
