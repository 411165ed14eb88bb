#include "platform/win32/ui/control_window.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "platform/error.h"
#include "platform/win32/ui/form_window.h"

namespace hv::platform::win32::winui {
namespace {

using hv::ui::Align;
using hv::ui::Change;
using hv::ui::ControlKind;

constexpr wchar_t kProperty[] = L"HorvaneControl";
constexpr UINT_PTR kSubclassId = 1;
// Rows of the server list and of the language list that show when dropped.
constexpr int kDropDownRows = 8;

struct NativeKind {
  const wchar_t* className;
  DWORD style;
  DWORD exStyle;
};

NativeKind nativeKind(const hv::ui::ControlSpec& s) {
  switch (s.kind) {
    case ControlKind::Label: {
      DWORD style = SS_NOTIFY;  // clicks and mouse presses reach the label itself
      if (s.align == Align::Left)
        style |= s.wordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP;
      else
        // Centred and right-aligned text wraps unless kept to one line.
        style |=
            (s.align == Align::Right ? SS_RIGHT : SS_CENTER) | (s.wordWrap ? 0 : SS_CENTERIMAGE);
      return {L"STATIC", style, 0};
    }
    case ControlKind::Button:
      return {L"BUTTON", static_cast<DWORD>(s.defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), 0};
    case ControlKind::CheckBox:
      // Not an auto box: the tick follows the control's state only.
      return {L"BUTTON", BS_CHECKBOX, 0};
    case ControlKind::ComboBox:
      return {L"COMBOBOX",
              static_cast<DWORD>((s.editable ? CBS_DROPDOWN | CBS_AUTOHSCROLL : CBS_DROPDOWNLIST) |
                                 WS_VSCROLL),
              0};
    case ControlKind::Edit: {
      DWORD style = ES_AUTOHSCROLL | (s.readOnly ? ES_READONLY : 0);
      style |= s.align == Align::Right ? ES_RIGHT : s.align == Align::Center ? ES_CENTER : ES_LEFT;
      return {L"EDIT", style, WS_EX_CLIENTEDGE};
    }
    case ControlKind::Memo: {
      DWORD style = ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL;
      // Both bars: lines run on to the right; a vertical bar alone: lines wrap.
      if (s.scrollBars) style |= WS_VSCROLL | WS_HSCROLL | ES_AUTOHSCROLL;
      if (s.verticalScrollBar) style |= WS_VSCROLL;
      if (s.readOnly) style |= ES_READONLY;
      return {L"EDIT", style, WS_EX_CLIENTEDGE};
    }
    case ControlKind::Panel:
      // Painted here: background, caption and bevel.
      return {L"STATIC", SS_NOTIFY | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
    case ControlKind::Bevel:
      return {L"STATIC", static_cast<DWORD>(s.bounds.height <= 2 ? SS_ETCHEDHORZ : SS_ETCHEDFRAME),
              0};
  }
  return {L"STATIC", 0, 0};
}

COLORREF colourRef(hv::ui::Colour c) {
  return RGB(c.r, c.g, c.b);
}

}  // namespace

ControlWindow::ControlWindow(FormWindow& form, hv::ui::Control& control, ControlWindow* parentPanel,
                             HWND parent, int id)
    : form_(form), control_(control), parentPanel_(parentPanel) {
  create(parent, id);
  control_.attach(this);
}

ControlWindow::~ControlWindow() {
  // After forget() the control may be gone already.
  if (attached_) control_.attach(nullptr);
  unhook();
}

void ControlWindow::unhook() {
  if (!hwnd_) return;
  RemoveWindowSubclass(hwnd_.get(), subclassProc, kSubclassId);
  RemovePropW(hwnd_.get(), kProperty);
}

void ControlWindow::forget() {
  if (attached_) control_.attach(nullptr);
  attached_ = false;
  unhook();
  hwnd_.release();
}

ControlWindow* ControlWindow::from(HWND hwnd) {
  return hwnd ? static_cast<ControlWindow*>(GetPropW(hwnd, kProperty)) : nullptr;
}

void ControlWindow::create(HWND parent, int id) {
  const auto& design = control_.design();
  const auto kind = nativeKind(design);
  DWORD style = WS_CHILD | kind.style;
  if (design.tabOrder >= 0) style |= WS_TABSTOP;
  HWND h = CreateWindowExW(kind.exStyle, kind.className, L"", style, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
  if (!h)
    throw Error(L"Unable to create the control " +
                std::wstring(design.name.begin(), design.name.end()) + L": error " +
                std::to_wstring(GetLastError()));
  hwnd_.reset(h);
  SetPropW(h, kProperty, this);
  SetWindowSubclass(h, subclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  if (design.kind == ControlKind::ComboBox) fillList();
  if (design.maxLength > 0) {
    const UINT limit = design.kind == ControlKind::ComboBox ? CB_LIMITTEXT : EM_SETLIMITTEXT;
    SendMessageW(h, limit, static_cast<WPARAM>(design.maxLength), 0);
  }
  applyFont();
  applyIcon();
  if (control_.hasColours() && design.kind == ControlKind::Panel)
    brush_.reset(CreateSolidBrush(colourRef(control_.backColour())));
  writeText(design.kind == ControlKind::Memo ? ui::layout::editText(control_.text())
                                             : control_.text());
  applyState();
}

HFONT ControlWindow::font() const {
  const auto& design = control_.design();
  const int height = design.fontHeight ? design.fontHeight : form_.form().design().fontHeight;
  return form_.fonts().get({height, design.bold, design.link, std::wstring(design.fontName)});
}

void ControlWindow::applyFont() {
  SendMessageW(hwnd_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(font()), TRUE);
}

void ControlWindow::applyIcon() {
  const auto& design = control_.design();
  if (design.kind != ControlKind::Button || design.icon.empty()) return;
  const int size = ui::layout::scale(16, form_.dpi());
  HICON icon = form_.images().icon(design.icon, size);
  if (!icon) return;
  if (design.iconRight) {
    // After the caption, 3 pixels in from the right edge: a picture list,
    // which the common controls of version 6 place where they are told.
    ImageListHandle list(ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 1, 0));
    if (list && ImageList_AddIcon(list.get(), icon) >= 0) {
      const int margin = ui::layout::scale(3, form_.dpi());
      BUTTON_IMAGELIST info{list.get(), {margin, 0, margin, 0}, BUTTON_IMAGELIST_ALIGN_RIGHT};
      if (SendMessageW(hwnd_.get(), BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&info))) {
        imageList_ = std::move(list);
        return;
      }
    }
  }
  // Left of the caption, the two centred together.
  SendMessageW(hwnd_.get(), BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
}

void ControlWindow::applyState() {
  HWND h = hwnd_.get();
  EnableWindow(h, control_.enabled());
  if (auto* box = dynamic_cast<hv::ui::CheckBox*>(&control_))
    SendMessageW(h, BM_SETCHECK, box->checked() ? BST_CHECKED : BST_UNCHECKED, 0);
  ShowWindow(h, control_.visible() ? SW_SHOWNA : SW_HIDE);
}

void ControlWindow::rescale() {
  applyFont();
  applyIcon();
}

std::wstring ControlWindow::nativeText() const {
  const int n = GetWindowTextLengthW(hwnd_.get());
  std::wstring s(static_cast<std::size_t>(n) + 1, L'\0');
  const int got = GetWindowTextW(hwnd_.get(), s.data(), n + 1);
  s.resize(static_cast<std::size_t>(std::max(0, got)));
  return s;
}

void ControlWindow::writeText(const std::wstring& text) {
  if (nativeText() == text) return;
  writing_ = true;
  SetWindowTextW(hwnd_.get(), text.c_str());
  writing_ = false;
}

void ControlWindow::fillList() {
  auto& box = static_cast<hv::ui::ComboBox&>(control_);
  HWND h = hwnd_.get();
  writing_ = true;
  SendMessageW(h, CB_RESETCONTENT, 0, 0);
  // The control keeps its own order (sorted boxes too), so the list is
  // filled as it stands rather than sorted by the platform.
  for (const auto& item : box.items())
    SendMessageW(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  SendMessageW(h, CB_SETCURSEL, static_cast<WPARAM>(box.itemIndex()), 0);
  writing_ = false;
  if (box.design().editable) writeText(box.text());
}

void ControlWindow::changed(hv::ui::Control&, Change what) {
  HWND h = hwnd_.get();
  if (!h) return;
  const auto kind = control_.kind();
  switch (what) {
    case Change::Text:
      if (kind == ControlKind::ComboBox && !control_.design().editable)
        break;  // the selection shows it
      writeText(kind == ControlKind::Memo ? ui::layout::editText(control_.text())
                                          : control_.text());
      if (kind == ControlKind::Panel) InvalidateRect(h, nullptr, TRUE);
      // A label sized by its text grows or shrinks with it.
      if (kind == ControlKind::Label &&
          (control_.bounds().width == 0 || control_.bounds().height == 0))
        form_.relayout();
      break;
    case Change::Items:
      fillList();
      break;
    case Change::Selection: {
      auto& box = static_cast<hv::ui::ComboBox&>(control_);
      writing_ = true;
      SendMessageW(h, CB_SETCURSEL, static_cast<WPARAM>(box.itemIndex()), 0);
      writing_ = false;
      // Clearing the selection of an editable box clears its edit field,
      // but the control keeps its text.
      if (box.design().editable) writeText(box.text());
      break;
    }
    case Change::Checked:
    case Change::Enabled:
      applyState();
      break;
    case Change::Visible:
      applyState();
      form_.relayout();
      break;
    case Change::Font:
      applyFont();
      break;
    case Change::Colours:
      if (kind == ControlKind::Panel && control_.hasColours())
        brush_.reset(CreateSolidBrush(colourRef(control_.backColour())));
      // Children that show the panel's background repaint with it.
      RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
      break;
    case Change::Bounds:
      form_.relayout();
      break;
    case Change::Hint:
      form_.setHint(*this);
      break;
  }
}

void ControlWindow::command(WORD code) {
  auto& c = control_;
  switch (c.kind()) {
    case ControlKind::Button:
      if (code == BN_CLICKED) form_.dispatch([&c] { c.click(); });
      break;
    case ControlKind::CheckBox:
      if (code == BN_CLICKED)
        form_.dispatch([&c] { static_cast<hv::ui::CheckBox&>(c).toggleFromUser(); });
      break;
    case ControlKind::Label:
    case ControlKind::Panel:
      if (code == STN_CLICKED) form_.dispatch([&c] { c.click(); });
      break;
    case ControlKind::Edit:
    case ControlKind::Memo:
      if (code == EN_CHANGE && !writing_) {
        auto text = nativeText();
        form_.dispatch([&c, &text] { c.setTextFromUser(std::move(text)); });
      }
      break;
    case ControlKind::ComboBox: {
      auto& box = static_cast<hv::ui::ComboBox&>(c);
      if (writing_) break;
      if (code == CBN_EDITCHANGE) {
        auto text = nativeText();
        form_.dispatch([&box, &text] { box.editFromUser(std::move(text)); });
      } else if (code == CBN_SELCHANGE) {
        const int index = static_cast<int>(SendMessageW(hwnd_.get(), CB_GETCURSEL, 0, 0));
        form_.dispatch([&box, index] { box.selectFromUser(index); });
      }
      break;
    }
    case ControlKind::Bevel:
      break;
  }
}

HBRUSH ControlWindow::background() const {
  if (control_.kind() == ControlKind::Panel && brush_) return brush_.get();
  return parentPanel_ ? parentPanel_->background() : form_.background();
}

std::optional<HBRUSH> ControlWindow::colours(HDC dc) {
  const auto& design = control_.design();
  const bool own = control_.hasColours();
  switch (design.kind) {
    case ControlKind::Edit:
    case ControlKind::Memo:
      if (!design.buttonFace) return std::nullopt;
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      if (own) SetTextColor(dc, colourRef(control_.fontColour()));
      return GetSysColorBrush(COLOR_BTNFACE);
    case ControlKind::Panel:
      if (own) {
        SetTextColor(dc, colourRef(control_.fontColour()));
        SetBkColor(dc, colourRef(control_.backColour()));
        return brush_.get();
      }
      SetBkMode(dc, TRANSPARENT);
      return parentPanel_ ? parentPanel_->background() : form_.background();
    case ControlKind::ComboBox:
      return std::nullopt;
    default:
      break;
  }
  // Labels, check boxes, buttons and bevels show what lies behind them.
  if (own)
    SetTextColor(dc, colourRef(control_.fontColour()));
  else if (design.link)
    SetTextColor(dc, RGB(0, 0, 255));
  else if (form_.form().design().hasBackground)
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkMode(dc, TRANSPARENT);
  return parentPanel_ ? parentPanel_->background() : form_.background();
}

ui::layout::Size ControlWindow::naturalSize() const {
  HWND h = hwnd_.get();
  if (control_.kind() == ControlKind::ComboBox) {
    // The closed box: its height follows its font.
    RECT r{};
    GetWindowRect(h, &r);
    return {r.right - r.left, r.bottom - r.top};
  }
  HDC dc = GetDC(h);
  ui::layout::Size size;
  {
    SelectedObject selected(dc, font());
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    RECT r{0, 0, 0, 0};
    const auto& text = control_.text();
    if (!text.empty())
      DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_EXPANDTABS);
    size = {r.right, std::max<int>(r.bottom, tm.tmHeight)};
  }
  ReleaseDC(h, dc);
  return size;
}

void ControlWindow::place(const hv::ui::Bounds& b) {
  int height = b.height;
  if (control_.kind() == ControlKind::ComboBox) {
    // The height of a drop-down box is that of its list when open.
    const int row = static_cast<int>(SendMessageW(hwnd_.get(), CB_GETITEMHEIGHT, 0, 0));
    height = naturalSize().height + kDropDownRows * std::max(row, 1) + 2;
  }
  SetWindowPos(hwnd_.get(), nullptr, b.left, b.top, b.width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool ControlWindow::owns(HWND focus) const {
  return focus && (focus == hwnd_.get() || IsChild(hwnd_.get(), focus));
}

bool ControlWindow::droppedDown() const {
  return control_.kind() == ControlKind::ComboBox &&
         SendMessageW(hwnd_.get(), CB_GETDROPPEDSTATE, 0, 0) != FALSE;
}

bool ControlWindow::wantsReturn() const {
  return control_.kind() == ControlKind::Memo;
}

LRESULT CALLBACK ControlWindow::subclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                             UINT_PTR, DWORD_PTR data) {
  return reinterpret_cast<ControlWindow*>(data)->onMessage(hwnd, msg, wParam, lParam);
}

bool ControlWindow::isPicture() const {
  const auto& design = control_.design();
  return design.kind == ControlKind::Label && !design.icon.empty() && control_.text().empty();
}

bool ControlWindow::paintsItself() const {
  return control_.kind() == ControlKind::Panel || isPicture();
}

void ControlWindow::paint(HDC dc) {
  RECT r{};
  GetClientRect(hwnd_.get(), &r);
  if (isPicture()) {
    // Transparent: what lies behind it, then the picture stretched over it.
    FillRect(dc, &r, parentPanel_ ? parentPanel_->background() : form_.background());
    form_.images().draw(dc, control_.design().icon, r);
    return;
  }
  FillRect(dc, &r, background());
  const auto& text = control_.text();
  if (!text.empty()) {
    SelectedObject font(dc, this->font());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, control_.hasColours() ? colourRef(control_.fontColour())
                                           : GetSysColor(COLOR_WINDOWTEXT));
    RECT t = r;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &t,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  auto& panel = static_cast<hv::ui::Panel&>(control_);
  DrawEdge(dc, &r, panel.lowered() ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
}

bool ControlWindow::mouse(UINT msg, int button) {
  auto& c = control_;
  // A label or panel keeps the pointer while a button pressed on it is
  // held, so the moves of a drag reach it; buttons do that themselves.
  const bool statics = c.kind() == ControlKind::Label || c.kind() == ControlKind::Panel ||
                       c.kind() == ControlKind::Bevel;
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (statics && (c.OnMouseMove || c.OnMouseUp)) {
        SetCapture(hwnd_.get());
        captured_ = true;
      }
      return !c.OnMouseDown || form_.dispatch([&c, button] {
        if (c.OnMouseDown) c.OnMouseDown(button);
      });
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      if (captured_) {
        captured_ = false;
        ReleaseCapture();
      }
      return !c.OnMouseUp || form_.dispatch([&c, button] {
        if (c.OnMouseUp) c.OnMouseUp(button);
      });
    default:
      return true;
  }
}

LRESULT ControlWindow::onMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  FormWindow::Busy busy(form_);
  auto& c = control_;
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      if (!mouse(msg, 1)) return 0;
      break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      if (!mouse(msg, 2)) return 0;
      break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      if (!mouse(msg, 3)) return 0;
      break;
    case WM_CAPTURECHANGED:
      captured_ = false;
      break;
    case WM_MOUSEMOVE:
      if (!tracking_ && (c.OnMouseEnter || c.OnMouseLeave)) {
        tracking_ = true;
        TRACKMOUSEEVENT t{sizeof(t), TME_LEAVE, hwnd, 0};
        TrackMouseEvent(&t);
        if (c.OnMouseEnter && !form_.dispatch([&c] {
              if (c.OnMouseEnter) c.OnMouseEnter();
            }))
          return 0;
      }
      if (c.OnMouseMove && !form_.dispatch([&c] {
            if (c.OnMouseMove) c.OnMouseMove();
          }))
        return 0;
      break;
    case WM_MOUSELEAVE:
      tracking_ = false;
      if (c.OnMouseLeave && !form_.dispatch([&c] {
            if (c.OnMouseLeave) c.OnMouseLeave();
          }))
        return 0;
      break;
    case WM_SETCURSOR:
      if (c.design().cursor == hv::ui::Cursor::Hand && LOWORD(lParam) == HTCLIENT) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    case WM_ERASEBKGND:
      if (paintsItself()) return 1;  // painted whole in WM_PAINT
      break;
    case WM_PAINT:
      if (paintsItself()) {
        PAINTSTRUCT ps{};
        HDC dc = BeginPaint(hwnd, &ps);
        paint(dc);
        EndPaint(hwnd, &ps);
        return 0;
      }
      break;
    case WM_PRINTCLIENT:
      // The window animation takes its pictures this way.
      if (paintsItself()) {
        paint(reinterpret_cast<HDC>(wParam));
        return 0;
      }
      break;
    case WM_NCDESTROY: {
      const LRESULT r = DefSubclassProc(hwnd, msg, wParam, lParam);
      forget();
      return r;
    }
    default:
      // A panel passes its children's notifications on to the form, which
      // hands each to the control it came from.
      if (c.kind() == ControlKind::Panel) {
        if (msg == WM_CLOSE) return 0;  // not the panel's to act on
        if (auto r = form_.childMessage(msg, wParam, lParam)) return *r;
      }
      break;
  }
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

}  // namespace hv::platform::win32::winui
