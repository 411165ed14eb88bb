#pragma once
// Two small forms beside the program's main window: a dialog with a default
// and a cancel button on a docked panel, and a form of the option window's
// kinds (a coloured panel, a link, bold text, a popup menu).
#include <array>

#include "ui/form.h"

namespace hv::platform::win32::winui::uitest {

using hv::ui::ControlKind;
using hv::ui::ControlSpec;
using hv::ui::FormSpec;
using hv::ui::MenuSpec;
using hv::ui::TimerSpec;

inline const std::array<ControlSpec, 7> kDialogControls{{
    {.name = "Edit1", .kind = ControlKind::Edit, .bounds = {8, 8, 200, 24}, .tabOrder = 0},
    {.name = "ComboBox1",
     .kind = ControlKind::ComboBox,
     .bounds = {216, 8, 76, 0},
     .tabOrder = 2,
     .sorted = true},
    {.name = "Memo1",
     .kind = ControlKind::Memo,
     .bounds = {8, 40, 200, 60},
     .tabOrder = 1,
     .scrollBars = true},
    {.name = "Panel1",
     .kind = ControlKind::Panel,
     .bounds = {0, 0, 0, 40},
     .dock = hv::ui::Dock::Bottom},
    {.name = "OK",
     .kind = ControlKind::Button,
     .bounds = {8, 4, 90, 30},
     .text = L"OK",
     .tabOrder = 0,
     .parent = "Panel1",
     .defaultButton = true},
    {.name = "Cancel",
     .kind = ControlKind::Button,
     .bounds = {110, 4, 90, 30},
     .text = L"Cancel",
     .tabOrder = 1,
     .parent = "Panel1",
     .cancelButton = true},
    {.name = "Label1", .bounds = {220, 8, 0, 0}, .text = L"Translated by:", .parent = "Panel1"},
}};
inline const std::array<TimerSpec, 1> kDialogTimers{
    {{.name = "Timer1", .interval = 30, .enabled = false}}};
inline const FormSpec kDialog{
    .name = "Dialog",
    .caption = L"Horvane test dialog",
    .clientWidth = 300,
    .clientHeight = 160,
    .border = hv::ui::BorderStyle::Dialog,
    .fontHeight = 13,
    .controls = kDialogControls,
    .timers = kDialogTimers,
};

inline const std::array<ControlSpec, 7> kOptionControls{{
    {.name = "Panel4",
     .kind = ControlKind::Panel,
     .bounds = {0, 0, 200, 46},
     .text = L"I like it!",
     .fontHeight = 16,
     .cursor = hv::ui::Cursor::Hand},
    {.name = "Label1",
     .bounds = {8, 60, 0, 0},
     .text = L"calvion.example",
     .fontHeight = 11,
     .link = true,
     .fontName = L"MS Sans Serif",
     .hint = L"http://calvion.example/"},
    {.name = "Edit1", .kind = ControlKind::Edit, .bounds = {8, 90, 180, 22}, .maxLength = 100},
    {.name = "Label2", .bounds = {8, 120, 0, 0}, .text = L"drag me", .bold = true},
    {.name = "Button1",
     .kind = ControlKind::Button,
     .bounds = {8, 150, 120, 30},
     .text = L"Info",
     .tabOrder = 0},
    // A face whose bold glyphs Wine draws (its own Tahoma's small bold
    // sizes come out regular).
    {.name = "Plain",
     .bounds = {150, 60, 140, 20},
     .text = L"What did you like?",
     .fontHeight = 13,
     .fontName = L"DejaVu Sans"},
    {.name = "Bold",
     .bounds = {150, 90, 140, 20},
     .text = L"What did you like?",
     .fontHeight = 13,
     .bold = true,
     .fontName = L"DejaVu Sans"},
}};
inline const std::array<MenuSpec, 2> kInfoMenu{{
    {.name = "Credits1", .caption = L"Acknowledgements..."},
    {.name = "Howtouninstall1", .caption = L"How to uninstall..."},
}};
inline const FormSpec kOptions{
    .name = "Options",
    .caption = L"Horvane test options",
    .clientWidth = 300,
    .clientHeight = 200,
    .controls = kOptionControls,
    .popupMenu = kInfoMenu,
};

}  // namespace hv::platform::win32::winui::uitest
