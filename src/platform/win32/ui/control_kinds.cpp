#include "platform/win32/ui/control_kinds.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/win32/ui/form_window.h"

namespace hv::platform::win32::winui {
namespace {

using hv::ui::Align;
using hv::ui::Change;

// Rows of the server list and of the language list that show when dropped.
constexpr int kDropDownRows = 8;

}  // namespace

ControlWindow::NativeClass LabelWindow::nativeClass() const {
  const auto& s = control_.design();
  DWORD style = SS_NOTIFY;  // clicks and mouse presses reach the label itself
  if (s.align == Align::Left)
    style |= s.wordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP;
  else
    // Centred and right-aligned text wraps unless kept to one line.
    style |= (s.align == Align::Right ? SS_RIGHT : SS_CENTER) | (s.wordWrap ? 0 : SS_CENTERIMAGE);
  return {L"STATIC", style};
}

void LabelWindow::command(WORD code) {
  auto& c = control_;
  if (code == STN_CLICKED) dispatch([&c] { c.click(); });
}

bool LabelWindow::show(Change what) {
  if (what != Change::Text) return false;
  writeText(control_.text());
  // A label sized by its text grows or shrinks with it.
  if (control_.bounds().width == 0 || control_.bounds().height == 0) form_.relayout();
  return true;
}

bool LabelWindow::isPicture() const {
  return !control_.design().icon.empty() && control_.text().empty();
}

// Transparent: what lies behind it, then the picture stretched over it.
void LabelWindow::paint(HDC dc) {
  RECT r{};
  GetClientRect(hwnd(), &r);
  FillRect(dc, &r, behind());
  form_.images().draw(dc, control_.design().icon, r);
}

ControlWindow::NativeClass ButtonWindow::nativeClass() const {
  return {L"BUTTON",
          static_cast<DWORD>(control_.design().defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON)};
}

void ButtonWindow::command(WORD code) {
  auto& c = control_;
  if (code == BN_CLICKED) dispatch([&c] { c.click(); });
}

void ButtonWindow::applyIcon() {
  const auto& design = control_.design();
  if (design.icon.empty()) return;
  const int size = ui::layout::Scale(16, form_.dpi());
  HICON icon = form_.images().icon(design.icon, size);
  if (!icon) return;
  if (design.iconRight) {
    // After the caption, 3 pixels in from the right edge: a picture list,
    // which the common controls of version 6 place where they are told.
    ImageListHandle list(ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 1, 0));
    if (list && ImageList_AddIcon(list.get(), icon) >= 0) {
      const int margin = ui::layout::Scale(3, form_.dpi());
      BUTTON_IMAGELIST info{list.get(), {margin, 0, margin, 0}, BUTTON_IMAGELIST_ALIGN_RIGHT};
      if (SendMessageW(hwnd(), BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&info))) {
        imageList_ = std::move(list);
        return;
      }
    }
  }
  // Left of the caption, the two centred together.
  SendMessageW(hwnd(), BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
}

// Not an auto box: the tick follows the control's state only.
ControlWindow::NativeClass CheckBoxWindow::nativeClass() const {
  return {L"BUTTON", BS_CHECKBOX};
}

void CheckBoxWindow::command(WORD code) {
  auto& box = static_cast<hv::ui::CheckBox&>(control_);
  if (code == BN_CLICKED) dispatch([&box] { box.toggleFromUser(); });
}

void CheckBoxWindow::showCheck() {
  const bool on = static_cast<hv::ui::CheckBox&>(control_).checked();
  SendMessageW(hwnd(), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool CheckBoxWindow::show(Change what) {
  if (what != Change::Checked) return false;
  showCheck();
  return true;
}

ControlWindow::NativeClass ComboBoxWindow::nativeClass() const {
  const DWORD kind = control_.design().editable ? CBS_DROPDOWN | CBS_AUTOHSCROLL : CBS_DROPDOWNLIST;
  return {L"COMBOBOX", kind | WS_VSCROLL};
}

void ComboBoxWindow::created() {
  fillList();
  if (const int limit = control_.design().maxLength; limit > 0)
    SendMessageW(hwnd(), CB_LIMITTEXT, static_cast<WPARAM>(limit), 0);
}

void ComboBoxWindow::fillList() {
  HWND h = hwnd();
  SendMessageW(h, CB_RESETCONTENT, 0, 0);
  // The control keeps its own order (sorted boxes too), so the list is
  // filled as it stands rather than sorted by the platform.
  for (const auto& item : box().items())
    SendMessageW(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  SendMessageW(h, CB_SETCURSEL, static_cast<WPARAM>(box().itemIndex()), 0);
  if (control_.design().editable) writeText(box().text());
}

bool ComboBoxWindow::show(Change what) {
  switch (what) {
    case Change::Text:
      // A list-only box shows its text through the selection.
      return !control_.design().editable;
    case Change::Items:
      fillList();
      return true;
    case Change::Selection:
      SendMessageW(hwnd(), CB_SETCURSEL, static_cast<WPARAM>(box().itemIndex()), 0);
      // Clearing the selection of an editable box clears its edit field,
      // but the control keeps its text.
      if (control_.design().editable) writeText(box().text());
      return true;
    default:
      return false;
  }
}

// The box holds the control's state: a field that shows the control's text
// is the echo of a write from here (a list the platform never changes).
void ComboBoxWindow::command(WORD code) {
  auto& b = box();
  if (code == CBN_EDITCHANGE) {
    auto text = nativeText();
    if (text == b.text()) return;
    dispatch([&b, &text] { b.editFromUser(std::move(text)); });
  } else if (code == CBN_SELCHANGE) {
    const int index = static_cast<int>(SendMessageW(hwnd(), CB_GETCURSEL, 0, 0));
    dispatch([&b, index] { b.selectFromUser(index); });
  }
}

// The closed box: its height follows its font, as its window has it.
ui::layout::Size ComboBoxWindow::naturalSize() const {
  RECT r{};
  if (!hwnd() || !GetWindowRect(hwnd(), &r)) return {};
  return {r.right - r.left, r.bottom - r.top};
}

// The height of a drop-down box is that of its list when open.
void ComboBoxWindow::move(const hv::ui::Bounds& b) {
  const int row = static_cast<int>(SendMessageW(hwnd(), CB_GETITEMHEIGHT, 0, 0));
  ControlWindow::move(
      {b.left, b.top, b.width, naturalSize().height + kDropDownRows * std::max(row, 1) + 2});
}

bool ComboBoxWindow::droppedDown() const {
  return SendMessageW(hwnd(), CB_GETDROPPEDSTATE, 0, 0) != FALSE;
}

ControlWindow::NativeClass EditWindow::nativeClass() const {
  const auto& s = control_.design();
  DWORD style = ES_AUTOHSCROLL | (s.readOnly ? ES_READONLY : 0);
  style |= s.align == Align::Right ? ES_RIGHT : s.align == Align::Center ? ES_CENTER : ES_LEFT;
  return {L"EDIT", style, WS_EX_CLIENTEDGE};
}

void EditWindow::created() {
  if (const int limit = control_.design().maxLength; limit > 0)
    SendMessageW(hwnd(), EM_SETLIMITTEXT, static_cast<WPARAM>(limit), 0);
}

void EditWindow::command(WORD code) {
  if (code != EN_CHANGE) return;
  auto& c = control_;
  auto text = nativeText();
  // What the control holds already is the echo of a write from here.
  if (text == shownText()) return;
  dispatch([&c, &text] { c.setTextFromUser(std::move(text)); });
}

std::optional<HBRUSH> EditWindow::colours(HDC dc) {
  if (!control_.design().buttonFace) return std::nullopt;
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  if (control_.hasColours()) SetTextColor(dc, ColourRef(control_.fontColour()));
  return GetSysColorBrush(COLOR_BTNFACE);
}

ControlWindow::NativeClass MemoWindow::nativeClass() const {
  const auto& s = control_.design();
  DWORD style = ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL;
  // Both bars: lines run on to the right; a vertical bar alone: lines wrap.
  if (s.scrollBars) style |= WS_VSCROLL | WS_HSCROLL | ES_AUTOHSCROLL;
  if (s.verticalScrollBar) style |= WS_VSCROLL;
  if (s.readOnly) style |= ES_READONLY;
  return {L"EDIT", style, WS_EX_CLIENTEDGE};
}

std::wstring MemoWindow::shownText() const {
  return ui::layout::EditText(control_.text());
}

ControlWindow::NativeClass PanelWindow::nativeClass() const {
  return {L"STATIC", SS_NOTIFY | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
}

void PanelWindow::created() {
  if (control_.hasColours()) brush_.reset(CreateSolidBrush(ColourRef(control_.backColour())));
}

void PanelWindow::command(WORD code) {
  auto& c = control_;
  if (code == STN_CLICKED) dispatch([&c] { c.click(); });
}

bool PanelWindow::show(Change what) {
  switch (what) {
    case Change::Text:
      writeText(control_.text());
      InvalidateRect(hwnd(), nullptr, TRUE);
      return true;
    case Change::Colours:
      if (control_.hasColours()) brush_.reset(CreateSolidBrush(ColourRef(control_.backColour())));
      return false;  // and the children repaint with it
    default:
      return false;
  }
}

HBRUSH PanelWindow::background() const {
  return brush_ ? brush_.get() : behind();
}

std::optional<HBRUSH> PanelWindow::colours(HDC dc) {
  if (control_.hasColours()) {
    SetTextColor(dc, ColourRef(control_.fontColour()));
    SetBkColor(dc, ColourRef(control_.backColour()));
    return brush_.get();
  }
  SetBkMode(dc, TRANSPARENT);
  return behind();
}

void PanelWindow::paint(HDC dc) {
  RECT r{};
  GetClientRect(hwnd(), &r);
  FillRect(dc, &r, background());
  const auto& text = control_.text();
  if (!text.empty()) {
    SelectedObject font(dc, this->font());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, control_.hasColours() ? ColourRef(control_.fontColour())
                                           : GetSysColor(COLOR_WINDOWTEXT));
    RECT t = r;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &t,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  const auto& panel = static_cast<const hv::ui::Panel&>(control_);
  DrawEdge(dc, &r, panel.lowered() ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
}

// The form hands each notification to the control it came from.
std::optional<LRESULT> PanelWindow::message(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CLOSE) return 0;  // not the panel's to act on
  return form_.childMessage(msg, wParam, lParam);
}

ControlWindow::NativeClass BevelWindow::nativeClass() const {
  return {L"STATIC", static_cast<DWORD>(control_.design().bounds.height <= 2 ? SS_ETCHEDHORZ
                                                                             : SS_ETCHEDFRAME)};
}

}  // namespace hv::platform::win32::winui
