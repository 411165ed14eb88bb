#pragma once
// The arithmetic of the Win32 backend: DPI scaling, docking, the order in
// which child windows are created (their z-order is the tab order), the menu
// tree and shortcut texts. Kept free of <windows.h> so that the native tests
// run it too.
#include <algorithm>
#include <cstddef>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "ui/controls.h"
#include "ui/form.h"

namespace hv::ui::layout {

constexpr int kBaseDpi = 96;

// A length at 96 DPI on a monitor of the given DPI, rounded to the nearest
// pixel, halves away from zero (as MulDiv rounds).
inline int Scale(int value, int dpi) {
  const long long product = static_cast<long long>(value) * dpi;
  const long long half = kBaseDpi / 2;
  const long long rounded =
      product >= 0 ? (product + half) / kBaseDpi : -((-product + half) / kBaseDpi);
  return static_cast<int>(rounded);
}

inline ui::Bounds Scale(const ui::Bounds& b, int dpi) {
  return {Scale(b.left, dpi), Scale(b.top, dpi), Scale(b.width, dpi), Scale(b.height, dpi)};
}

struct Size {
  int width = 0;
  int height = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

// One child of a parent, as placing it needs: its bounds at 96 DPI, how it
// docks, and its measured size in physical pixels (used where the layout
// gives a width or height of 0).
struct ChildLayout {
  ui::Bounds bounds{};
  ui::Dock dock = ui::Dock::None;
  int margin = 0;
  Size natural{};
};

// Physical bounds of every child in a parent with the given client size.
// Docked children take their edge of what is left in table order: all the
// top ones first, then the bottom ones, then the client ones fill the rest;
// each keeps its margin on all four sides.
inline std::vector<ui::Bounds> PlaceChildren(std::span<const ChildLayout> children, Size client,
                                             int dpi) {
  std::vector<ui::Bounds> placed(children.size());
  int left = 0, top = 0, right = client.width, bottom = client.height;
  auto height = [&](const ChildLayout& c) {
    return c.bounds.height ? Scale(c.bounds.height, dpi) : c.natural.height;
  };
  for (std::size_t i = 0; i < children.size(); ++i) {
    const auto& c = children[i];
    const int m = Scale(c.margin, dpi);
    if (c.dock == ui::Dock::None) {
      auto b = Scale(c.bounds, dpi);
      if (!c.bounds.width) b.width = c.natural.width;
      if (!c.bounds.height) b.height = c.natural.height;
      placed[i] = b;
    } else if (c.dock == ui::Dock::Top) {
      const int h = height(c);
      placed[i] = {left + m, top + m, std::max(0, right - left - 2 * m), h};
      top += h + 2 * m;
    }
  }
  for (std::size_t i = 0; i < children.size(); ++i) {
    const auto& c = children[i];
    if (c.dock != ui::Dock::Bottom) continue;
    const int m = Scale(c.margin, dpi);
    const int h = height(c);
    placed[i] = {left + m, bottom - m - h, std::max(0, right - left - 2 * m), h};
    bottom -= h + 2 * m;
  }
  for (std::size_t i = 0; i < children.size(); ++i) {
    const auto& c = children[i];
    if (c.dock != ui::Dock::Client) continue;
    const int m = Scale(c.margin, dpi);
    placed[i] = {left + m, top + m, std::max(0, right - left - 2 * m),
                 std::max(0, bottom - top - 2 * m)};
  }
  return placed;
}

// Index of each control's parent panel in the table, or -1 for the window.
inline std::vector<int> ControlParents(std::span<const ui::ControlSpec> specs) {
  std::vector<int> parents(specs.size(), -1);
  for (std::size_t i = 0; i < specs.size(); ++i) {
    if (specs[i].parent.empty()) continue;
    auto it = std::find_if(specs.begin(), specs.end(),
                           [&](const ui::ControlSpec& s) { return s.name == specs[i].parent; });
    if (it == specs.end() || it->kind != ui::ControlKind::Panel || &*it == &specs[i])
      throw std::logic_error("control " + std::string(specs[i].name) + " has no panel " +
                             std::string(specs[i].parent));
    parents[i] = static_cast<int>(it - specs.begin());
  }
  return parents;
}

// The order in which to create the child windows. A parent comes before its
// children; among siblings the tab stops come first by tab order (the dialog
// manager tabs in z-order, which is creation order), then the others in table
// order.
inline std::vector<std::size_t> CreationOrder(std::span<const ui::ControlSpec> specs) {
  const auto parents = ControlParents(specs);
  std::vector<std::size_t> order;
  std::vector<int> level{-1};
  while (!level.empty()) {
    std::vector<int> next;
    for (int parent : level) {
      std::vector<std::size_t> siblings;
      for (std::size_t i = 0; i < specs.size(); ++i)
        if (parents[i] == parent) siblings.push_back(i);
      std::stable_sort(siblings.begin(), siblings.end(), [&](std::size_t a, std::size_t b) {
        const bool ta = specs[a].tabOrder >= 0, tb = specs[b].tabOrder >= 0;
        if (ta != tb) return ta;
        return ta && specs[a].tabOrder < specs[b].tabOrder;
      });
      for (auto i : siblings) {
        order.push_back(i);
        next.push_back(static_cast<int>(i));
      }
    }
    level = std::move(next);
  }
  if (order.size() != specs.size()) throw std::logic_error("panels nest in a cycle");
  return order;
}

// Index of each menu row's parent row, or -1 for a top-level item. A parent
// row must come before its children.
inline std::vector<int> MenuParents(std::span<const ui::MenuSpec> rows) {
  std::vector<int> parents(rows.size(), -1);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].parent.empty()) continue;
    int found = -1;
    for (std::size_t j = 0; j < i; ++j)
      if (rows[j].name == rows[i].parent && !rows[j].separator) found = static_cast<int>(j);
    if (found < 0)
      throw std::logic_error("menu item " + std::string(rows[i].name) + " has no parent " +
                             std::string(rows[i].parent) + " above it");
    parents[i] = found;
  }
  return parents;
}

inline bool HasChildren(std::span<const int> parents, std::size_t index) {
  return std::find(parents.begin(), parents.end(), static_cast<int>(index)) != parents.end();
}

// Where a shown item goes in its native menu: hidden items are not in it, so
// the position counts only the visible siblings before it.
inline int VisiblePosition(std::span<const int> parents, const std::vector<bool>& visible,
                           std::size_t index) {
  int position = 0;
  for (std::size_t j = 0; j < index; ++j)
    if (parents[j] == parents[index] && visible[j]) ++position;
  return position;
}

// The text a menu shows: the caption, then the shortcut after a tab, which
// the platform right-aligns.
inline std::wstring MenuText(std::wstring_view caption, std::wstring_view shortcut) {
  std::wstring text(caption);
  if (!shortcut.empty()) {
    text += L'\t';
    text += shortcut;
  }
  return text;
}

struct Shortcut {
  unsigned key = 0;  // virtual-key code
  bool ctrl = false;
  bool alt = false;
  bool shift = false;
  friend bool operator==(const Shortcut&, const Shortcut&) = default;
};

// Reads a shortcut text such as "F1", "Ctrl+S" or "Ctrl+Alt+T"; nothing for
// a text that names no key.
inline std::optional<Shortcut> ParseShortcut(std::wstring_view text) {
  auto upper = [](std::wstring_view s) {
    std::wstring u(s);
    for (auto& c : u)
      if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    return u;
  };
  Shortcut sc;
  std::wstring rest = upper(text);
  while (true) {
    const auto plus = rest.find(L'+');
    if (plus == std::wstring::npos || plus + 1 == rest.size()) break;
    const auto modifier = rest.substr(0, plus);
    if (modifier == L"CTRL")
      sc.ctrl = true;
    else if (modifier == L"ALT")
      sc.alt = true;
    else if (modifier == L"SHIFT")
      sc.shift = true;
    else
      return std::nullopt;
    rest = rest.substr(plus + 1);
  }
  if (rest.size() == 1 &&
      ((rest[0] >= L'A' && rest[0] <= L'Z') || (rest[0] >= L'0' && rest[0] <= L'9'))) {
    sc.key = rest[0];
    return sc;
  }
  if (rest.size() >= 2 && rest[0] == L'F') {
    int n = 0;
    for (std::size_t i = 1; i < rest.size(); ++i) {
      if (rest[i] < L'0' || rest[i] > L'9') return std::nullopt;
      n = n * 10 + (rest[i] - L'0');
      if (n > 24) return std::nullopt;
    }
    if (n < 1 || rest[1] == L'0') return std::nullopt;
    sc.key = 0x70 + static_cast<unsigned>(n - 1);
    return sc;
  }
  struct Named {
    std::wstring_view name;
    unsigned key;
  };
  constexpr Named kNamed[] = {{L"ENTER", 0x0D}, {L"ESC", 0x1B},  {L"SPACE", 0x20}, {L"INS", 0x2D},
                              {L"DEL", 0x2E},   {L"HOME", 0x24}, {L"END", 0x23}};
  for (const auto& n : kNamed)
    if (rest == n.name) {
      sc.key = n.key;
      return sc;
    }
  return std::nullopt;
}

// Text as a multi-line edit control needs it: every line break CR LF, so a
// lone LF or CR from code does not show as a box.
inline std::wstring EditText(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c == L'\r') {
      out += L"\r\n";
      if (i + 1 < text.size() && text[i + 1] == L'\n') ++i;
    } else if (c == L'\n') {
      out += L"\r\n";
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace hv::ui::layout
