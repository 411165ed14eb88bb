// A form window's children and size: the controls made in tab order, their
// places in the client area and in their panels, the frame around that area,
// and all of it again when the window's DPI changes.
#include <optional>
#include <vector>

#include "platform/win32/ui/form_window.h"
#include "platform/win32/ui/window_system_win32.h"
#include "ui/layout_rules.h"

namespace hv::platform::win32::winui {

void FormWindow::setWindowIcons() {
  // Dialog frames and tool windows show no icon in their caption.
  const auto& design = form_->design();
  if (design.border == hv::ui::BorderStyle::Dialog || design.toolWindow) return;
  auto set = [this](WPARAM which, int metric) {
    if (HICON icon = images().icon("app", GetSystemMetricsForDpi(metric, static_cast<UINT>(dpi_))))
      SendMessageW(hwnd_, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
  };
  set(ICON_BIG, SM_CXICON);
  set(ICON_SMALL, SM_CXSMICON);
}

void FormWindow::createControls() {
  const auto& specs = form_->design().controls;
  const auto parents = ui::layout::ControlParents(specs);
  creationOrder_ = ui::layout::CreationOrder(specs);
  controls_.resize(specs.size());
  for (std::size_t i : creationOrder_) {
    ControlWindow* panel =
        parents[i] < 0 ? nullptr : controls_[static_cast<std::size_t>(parents[i])].get();
    controls_[i] = ControlWindow::make(*this, *form_->controls()[i], panel);
  }
  // Each window is made where it goes: their sizes are measured first.
  const auto bounds = layout();
  // Tab order is z-order, and z-order is the order of creation.
  for (std::size_t i : creationOrder_) {
    ControlWindow* panel = controls_[i]->parentPanel();
    controls_[i]->create(panel ? panel->hwnd() : hwnd_, kControlIdBase + static_cast<int>(i),
                         bounds[i].value_or(hv::ui::Bounds{}));
    if (!form_->controls()[i]->hint().empty()) setHint(*controls_[i]);
  }
}

// The tool is taken out and put back, so a changed text shows at once.
void FormWindow::setHint(ControlWindow& control) {
  const std::wstring& text = control.control().hint();
  if (!tooltip_) {
    if (text.empty()) return;
    tooltip_ =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, ws_.instance(), nullptr);
    if (!tooltip_) return;  // a missing tooltip is no reason to fail the window
  }
  TOOLINFOW info{};
  // The size both versions of the common controls accept.
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = hwnd_;
  info.uId = reinterpret_cast<UINT_PTR>(control.hwnd());
  SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  if (text.empty()) return;
  std::wstring copy = text;  // the tooltip keeps its own copy
  info.lpszText = copy.data();
  SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

RECT FormWindow::frameRect(int dpi, DWORD style, DWORD ex, bool menu,
                           std::optional<RECT> suggested) const {
  const auto& design = form_->design();
  RECT r{0, 0, ui::layout::Scale(design.clientWidth, dpi),
         ui::layout::Scale(design.clientHeight, dpi)};
  AdjustWindowRectExForDpi(&r, style, menu, ex, static_cast<UINT>(dpi));
  const int width = r.right - r.left, height = r.bottom - r.top;
  int x = form_->left(), y = form_->top();
  if (suggested) {
    x = suggested->left;
    y = suggested->top;
  } else if (design.position == hv::ui::Position::ScreenCenter) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
    x = info.rcMonitor.left + (info.rcMonitor.right - info.rcMonitor.left - width) / 2;
    y = info.rcMonitor.top + (info.rcMonitor.bottom - info.rcMonitor.top - height) / 2;
  }
  return {x, y, x + width, y + height};
}

void FormWindow::sizeWindow(std::optional<RECT> suggested) {
  HWND h = hwnd_;
  const auto& design = form_->design();
  const int clientW = ui::layout::Scale(design.clientWidth, dpi_);
  const int clientH = ui::layout::Scale(design.clientHeight, dpi_);
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(h, GWL_STYLE));
  const auto ex = static_cast<DWORD>(GetWindowLongPtrW(h, GWL_EXSTYLE));
  const RECT want = frameRect(dpi_, style, ex, GetMenu(h) != nullptr, suggested);
  const int width = want.right - want.left, height = want.bottom - want.top;
  // A window made at these bounds already is not moved again.
  RECT now{};
  GetWindowRect(h, &now);
  if (!EqualRect(&now, &want))
    SetWindowPos(h, nullptr, want.left, want.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  // A menu bar that wraps takes more than the one line assumed above.
  RECT client{};
  GetClientRect(h, &client);
  if (client.bottom != clientH || client.right != clientW)
    SetWindowPos(h, nullptr, 0, 0, width + clientW - client.right, height + clientH - client.bottom,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
}

// A hidden docked control gives its edge to the others, and has no place.
std::vector<std::optional<hv::ui::Bounds>> FormWindow::layout() const {
  const auto& specs = form_->design().controls;
  const auto parents = ui::layout::ControlParents(specs);
  std::vector<std::optional<hv::ui::Bounds>> bounds(specs.size());
  RECT client{};
  GetClientRect(hwnd_, &client);
  // The window's client area first, then each panel in the room it got.
  std::vector<int> containers{-1};
  for (std::size_t i : creationOrder_)
    if (specs[i].kind == hv::ui::ControlKind::Panel) containers.push_back(static_cast<int>(i));
  for (int container : containers) {
    ui::layout::Size room{client.right, client.bottom};
    if (container >= 0) {
      const auto& at = bounds[static_cast<std::size_t>(container)];
      room = at ? ui::layout::Size{at->width, at->height} : ui::layout::Size{};
    }
    std::vector<std::size_t> members;
    std::vector<ui::layout::ChildLayout> children;
    for (std::size_t i = 0; i < specs.size(); ++i) {
      if (parents[i] != container || !controls_[i]) continue;
      const auto& control = controls_[i]->control();
      if (!control.visible() && specs[i].dock != hv::ui::Dock::None) continue;
      ui::layout::ChildLayout c{control.bounds(), specs[i].dock, specs[i].dockMargin, {}};
      if (c.bounds.width == 0 || c.bounds.height == 0) c.natural = controls_[i]->naturalSize();
      members.push_back(i);
      children.push_back(c);
    }
    // Inside a panel, docked children keep clear of its one-pixel bevel.
    const int edge = container < 0 ? 0 : ui::layout::Scale(1, dpi_);
    auto placed = ui::layout::PlaceChildren(
        children, {std::max(0, room.width - 2 * edge), std::max(0, room.height - 2 * edge)}, dpi_);
    for (std::size_t k = 0; k < members.size(); ++k) {
      if (children[k].dock != hv::ui::Dock::None) {
        placed[k].left += edge;
        placed[k].top += edge;
      }
      bounds[members[k]] = placed[k];
    }
  }
  return bounds;
}

void FormWindow::relayout() {
  if (!form_) return;
  const auto bounds = layout();
  for (std::size_t i = 0; i < bounds.size(); ++i)
    if (controls_[i] && bounds[i]) controls_[i]->place(*bounds[i]);
}

void FormWindow::dpiChanged(int dpi, const RECT& suggested) {
  dpi_ = dpi;
  // The old fonts stay until every control has the new ones.
  FontCache old = std::move(fonts_);
  fonts_ = FontCache(std::wstring(form_->design().fontName), dpi_);
  for (auto& c : controls_)
    if (c) c->rescale();
  sizeWindow(suggested);
  relayout();
  setWindowIcons();
  if (tray_) tray_->show(trayPicture(), form_->trayHint());
  InvalidateRect(hwnd_, nullptr, TRUE);
  fire(form_->OnDpiChanged, dpi);
}

}  // namespace hv::platform::win32::winui
