// The Win32 window system under Wine: real windows of the standard classes,
// read and pressed the way a test driver or screen reader does it.
#include <gtest/gtest.h>
#include <windows.h>
// After <windows.h>, which it needs.
#include <commctrl.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <map>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "app/main_form_layout.h"
#include "base/error.h"
#include "platform/win32/ui/form_window.h"
#include "platform/win32/ui/window_system_win32.h"
#include "support/window_text.h"
#include "ui/form.h"

namespace hv::platform::win32::winui {
namespace {

using hv::ui::Bounds;
using hv::ui::ControlKind;
using hv::ui::ControlSpec;
using hv::ui::Form;
using hv::ui::FormSpec;
using hv::ui::MenuSpec;
using hv::ui::TimerSpec;

using hv::test::classOf;
using hv::test::textOf;

// Position and size in the parent's client area.
Bounds boundsOf(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  MapWindowPoints(nullptr, GetParent(h), reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

std::vector<HWND> childrenInZOrder(HWND parent) {
  std::vector<HWND> out;
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) out.push_back(c);
  return out;
}

LOGFONTW fontOf(HWND h) {
  LOGFONTW lf{};
  auto font = reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0));
  GetObjectW(font, sizeof(lf), &lf);
  return lf;
}

std::wstring menuText(HMENU menu, int position) {
  wchar_t buf[128] = {};
  GetMenuStringW(menu, static_cast<UINT>(position), buf, 128, MF_BYPOSITION);
  return buf;
}

// Tests look parts up by name; the program's windows bind theirs while it
// compiles.
template <class T = void, class Made>
auto& named(const std::vector<std::unique_ptr<Made>>& made, std::string_view name) {
  for (const auto& m : made) {
    if (m->name() != name) continue;
    if constexpr (std::is_void_v<T>)
      return *m;
    else
      return static_cast<T&>(*m);
  }
  throw std::logic_error("no part " + std::string(name));
}

// Lets messages run until done() or the time is up.
template <class Done>
bool pumpUntil(Win32WindowSystem& ws, Done done, DWORD ms = 3000) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > ms) return false;
    ws.processMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

// The program binds to version 6 of the common controls through its
// manifest; the tests make the same classes through an activation context.
class CommonControls6 {
 public:
  CommonControls6() {
    wchar_t dir[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, dir);
    path_ = std::wstring(dir) + L"horvane-window-tests.manifest";
    const char manifest[] =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
        "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">"
        "<dependency><dependentAssembly><assemblyIdentity type=\"win32\" "
        "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\" "
        "processorArchitecture=\"*\" publicKeyToken=\"6595b64144ccf1df\" language=\"*\"/>"
        "</dependentAssembly></dependency></assembly>";
    HANDLE f = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(f, manifest, sizeof(manifest) - 1, &written, nullptr);
    CloseHandle(f);
    ACTCTXW ctx{};
    ctx.cbSize = sizeof(ctx);
    ctx.lpSource = path_.c_str();
    context_ = CreateActCtxW(&ctx);
    if (context_ != INVALID_HANDLE_VALUE) ActivateActCtx(context_, &cookie_);
  }
  ~CommonControls6() {
    if (context_ == INVALID_HANDLE_VALUE) return;
    DeactivateActCtx(0, cookie_);
    ReleaseActCtx(context_);
    DeleteFileW(path_.c_str());
  }
  bool active() const { return context_ != INVALID_HANDLE_VALUE; }

 private:
  std::wstring path_;
  HANDLE context_ = INVALID_HANDLE_VALUE;
  ULONG_PTR cookie_ = 0;
};

class WindowSystemTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(controls6.active());
    ws.setErrorHandler([this](std::exception_ptr e) {
      try {
        std::rethrow_exception(e);
      } catch (const hv::Error& err) {
        errors.push_back(err.message());
      } catch (const std::exception& err) {
        errors.push_back(std::wstring(L"std: ") +
                         std::wstring(err.what(), err.what() + std::strlen(err.what())));
      }
    });
  }
  int scaled(int v) const { return MulDiv(v, dpi, 96); }
  // A form made as the program makes its windows, gone with the test.
  Form& open(const FormSpec& design) {
    forms.push_back(hv::ui::makeForm<Form>(ws, design));
    return *forms.back();
  }

  CommonControls6 controls6;
  Win32WindowSystem ws;
  int dpi = static_cast<int>(GetDpiForSystem());
  std::vector<std::wstring> errors;
  std::vector<hv::ui::FormPtr<Form>> forms;
};

TEST_F(WindowSystemTest, TheMainLayoutBecomesStandardChildWindowsAtTheirPlaces) {
  Form& form = open(app::AppFormSpec());
  HWND top = ws.windowOf(form);
  ASSERT_NE(top, nullptr);
  dpi = ws.dpi(form);

  RECT client{};
  GetClientRect(top, &client);
  EXPECT_EQ(client.right, scaled(424));
  EXPECT_EQ(client.bottom, scaled(303));
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(top, GWL_STYLE));
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(IsWindowVisible(top));

  // Tab stops first, by tab order (the dialog manager tabs in z-order),
  // then the labels in table order.
  struct Expected {
    const wchar_t* cls;
    const wchar_t* text;
    bool tabStop;
  };
  const Expected expected[] = {
      {L"ComboBox", L"", true},
      {L"Button", L"Daylight Saving:", true},
      {L"Edit", L"None", true},
      {L"Button", L"Get Server Time", true},
      {L"Button", L"Sync Computer Time", true},
      {L"Button", L"Automatically Synchronize", true},
      {L"Static", L"Server:", false},
      {L"Static", L"Server Time:", false},
      {L"Static", L"01/01/1990 00:00:00", false},
      {L"Static", L"Computer Time:", false},
      {L"Static", L"01/01/1990 00:00:00", false},
      {L"Static", L"Computer Timezone:", false},
      {L"Static", L"GMT +0", false},
      {L"Static", L"Hotkey: CTRL + ALT + T", false},
  };
  const auto children = childrenInZOrder(top);
  ASSERT_EQ(children.size(), std::size(expected));
  for (std::size_t i = 0; i < children.size(); ++i) {
    EXPECT_EQ(_wcsicmp(classOf(children[i]).c_str(), expected[i].cls), 0) << i;
    EXPECT_EQ(textOf(children[i]), expected[i].text) << i;
    const bool tab = (GetWindowLongPtrW(children[i], GWL_STYLE) & WS_TABSTOP) != 0;
    EXPECT_EQ(tab, expected[i].tabStop) << i;
  }

  auto at = [&](const char* name) { return ws.windowOf(named(form.controls(), name)); };
  EXPECT_EQ(boundsOf(at("Label2")), (Bounds{scaled(194), scaled(36), scaled(222), scaled(23)}));
  EXPECT_EQ(boundsOf(at("BitBtn1")), (Bounds{scaled(8), scaled(163), scaled(408), scaled(33)}));
  EXPECT_EQ(boundsOf(at("CheckBox1")), (Bounds{scaled(8), scaled(122), scaled(180), scaled(27)}));
  EXPECT_EQ(boundsOf(at("Edit1")), (Bounds{scaled(194), scaled(123), scaled(222), scaled(24)}));
  // Docked to the bottom with 3-pixel margins.
  EXPECT_EQ(boundsOf(at("Label7")), (Bounds{scaled(3), scaled(281), scaled(418), scaled(19)}));
  const auto combo = boundsOf(at("ComboBox1"));
  EXPECT_EQ(combo.left, scaled(194));
  EXPECT_EQ(combo.top, scaled(8));
  EXPECT_EQ(combo.width, scaled(222));
  // A label sized by its text: as wide as "Server:" and as high as its font.
  const auto label9 = boundsOf(at("Label9"));
  EXPECT_EQ(label9.left, scaled(8));
  EXPECT_GT(label9.width, scaled(30));
  EXPECT_LT(label9.width, scaled(120));
  EXPECT_GE(label9.height, scaled(19));

  EXPECT_EQ(fontOf(at("Label2")).lfHeight, -scaled(19));
  EXPECT_EQ(std::wstring(fontOf(at("Label2")).lfFaceName), L"Tahoma");
  EXPECT_EQ(fontOf(at("Edit1")).lfHeight, -scaled(13));
  EXPECT_EQ(fontOf(at("ComboBox1")).lfHeight, -scaled(16));

  const auto editStyle = GetWindowLongPtrW(at("Edit1"), GWL_STYLE);
  EXPECT_TRUE(editStyle & ES_READONLY);
  EXPECT_TRUE(editStyle & ES_RIGHT);
  EXPECT_FALSE(IsWindowEnabled(at("BitBtn2")));
  EXPECT_EQ(GetWindowLongPtrW(at("BitBtn1"), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(GetWindowLongPtrW(at("Label2"), GWL_STYLE) & SS_TYPEMASK, SS_RIGHT);
}

TEST_F(WindowSystemTest, TheMenuBarShowsTheVisibleItemsAndFollowsTheirState) {
  Form& form = open(app::AppFormSpec());
  HMENU bar = GetMenu(ws.windowOf(form));
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(GetMenuItemCount(bar), 2);
  EXPECT_EQ(menuText(bar, 0), L"File");
  EXPECT_EQ(menuText(bar, 1), L"Help");
  HMENU help = GetSubMenu(bar, 1);
  // MenuItem4 and the separator after it are hidden.
  ASSERT_EQ(GetMenuItemCount(help), 5);
  EXPECT_EQ(menuText(help, 0), L"Online Help\tF1");
  EXPECT_EQ(GetMenuState(help, 1, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
  EXPECT_EQ(menuText(help, 2), L"Language...");
  EXPECT_EQ(menuText(help, 3), L"Send &Feedback...");
  EXPECT_EQ(menuText(help, 4), L"&About...");

  named(form.menuItems(), "About2").setCaption(L"About");
  named(form.menuItems(), "MenuItem4").setVisible(true);
  bar = GetMenu(ws.windowOf(form));
  help = GetSubMenu(bar, 1);
  ASSERT_EQ(GetMenuItemCount(help), 6);
  EXPECT_EQ(menuText(help, 2), L"Update Notifications");
  const UINT state = GetMenuState(help, 2, MF_BYPOSITION);
  EXPECT_TRUE(state & MF_CHECKED);
  EXPECT_TRUE(state & MF_GRAYED);
  EXPECT_EQ(menuText(help, 5), L"About");
}

TEST_F(WindowSystemTest, ChoosingAMenuItemOrItsShortcutRunsItsClick) {
  Form& form = open(app::AppFormSpec());
  int help = 0, exits = 0;
  named(form.menuItems(), "Help2").OnClick = [&] { ++help; };
  named(form.menuItems(), "Exit2").OnClick = [&] { ++exits; };
  HWND top = ws.windowOf(form);
  HMENU file = GetSubMenu(GetMenu(top), 0);
  SendMessageW(top, WM_COMMAND, MAKEWPARAM(GetMenuItemID(file, 0), 0), 0);
  EXPECT_EQ(exits, 1);

  form.show();
  SetForegroundWindow(top);
  SetFocus(ws.windowOf(named(form.controls(), "BitBtn1")));
  PostMessageW(ws.windowOf(named(form.controls(), "BitBtn1")), WM_KEYDOWN, VK_F1, 0);
  EXPECT_TRUE(pumpUntil(ws, [&] { return help == 1; }));
}

TEST_F(WindowSystemTest, ClicksOnButtonsAndBoxesRunTheirHandlersAndErrorsReachTheReport) {
  Form& form = open(app::AppFormSpec());
  auto& get = named<hv::ui::Button>(form.controls(), "BitBtn1");
  auto& sync = named<hv::ui::Button>(form.controls(), "BitBtn2");
  auto& daylight = named<hv::ui::CheckBox>(form.controls(), "CheckBox1");
  int clicks = 0, boxClicks = 0;
  get.OnClick = [&] {
    ++clicks;
    throw hv::Error(L"Server Error!");
  };
  daylight.OnClick = [&] { ++boxClicks; };

  SendMessageW(ws.windowOf(get), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(errors, (std::vector<std::wstring>{L"Server Error!"}));

  HWND box = ws.windowOf(daylight);
  SendMessageW(box, BM_CLICK, 0, 0);
  EXPECT_TRUE(daylight.checked());
  EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(boxClicks, 1);
  // From code: the tick shows, and the handler runs as for a click.
  daylight.setChecked(false);
  EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(boxClicks, 2);

  // A disabled button's window is disabled; enabling follows the control.
  HWND syncWindow = ws.windowOf(sync);
  EXPECT_FALSE(IsWindowEnabled(syncWindow));
  sync.setEnabled(true);
  EXPECT_TRUE(IsWindowEnabled(syncWindow));
  get.setText(L"Sunucu Saatini Al");
  EXPECT_EQ(textOf(ws.windowOf(get)), L"Sunucu Saatini Al");
}

TEST_F(WindowSystemTest, TypingIntoTheServerBoxUpdatesItsTextAndRunsOnChange) {
  Form& form = open(app::AppFormSpec());
  auto& combo = named<hv::ui::ComboBox>(form.controls(), "ComboBox1");
  for (auto preset : app::ServerPresets()) combo.addItem(std::wstring(preset));
  combo.setItemIndex(0);
  HWND box = ws.windowOf(combo);
  EXPECT_EQ(SendMessageW(box, CB_GETCOUNT, 0, 0), 4);
  EXPECT_EQ(textOf(box), std::wstring(app::ServerPresets()[0]));

  std::vector<std::wstring> seen;
  combo.OnChange = [&] { seen.push_back(combo.text()); };
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  ASSERT_TRUE(GetComboBoxInfo(box, &info));
  HWND edit = info.hwndItem;
  ASSERT_NE(edit, nullptr);
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
  for (wchar_t ch : std::wstring(L"ntp1")) SendMessageW(edit, WM_CHAR, ch, 0);
  EXPECT_EQ(combo.text(), L"ntp1");
  EXPECT_EQ(combo.itemIndex(), -1);
  ASSERT_GE(seen.size(), 4u);
  EXPECT_EQ(seen.back(), L"ntp1");

  // The user picks the third entry of the list.
  seen.clear();
  SendMessageW(box, CB_SETCURSEL, 2, 0);
  SendMessageW(GetParent(box), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(box));
  EXPECT_EQ(combo.itemIndex(), 2);
  EXPECT_EQ(combo.text(), std::wstring(app::ServerPresets()[2]));
  EXPECT_EQ(seen, (std::vector<std::wstring>{std::wstring(app::ServerPresets()[2])}));

  // Text from code shows and runs no OnChange.
  combo.setText(L"127.0.0.1");
  EXPECT_EQ(textOf(box), L"127.0.0.1");
  EXPECT_EQ(seen.size(), 1u);
}

const std::array<ControlSpec, 7> kDialogControls{{
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
const std::array<TimerSpec, 1> kDialogTimers{
    {{.name = "Timer1", .interval = 30, .enabled = false}}};
const FormSpec kDialog{
    .name = "Dialog",
    .caption = L"Horvane test dialog",
    .clientWidth = 300,
    .clientHeight = 160,
    .border = hv::ui::BorderStyle::Dialog,
    .fontHeight = 13,
    .controls = kDialogControls,
    .timers = kDialogTimers,
};

TEST_F(WindowSystemTest, PanelsHoldTheirChildrenAndPassTheirClicksOn) {
  Form& form = open(kDialog);
  HWND panel = ws.windowOf(named(form.controls(), "Panel1"));
  HWND ok = ws.windowOf(named(form.controls(), "OK"));
  EXPECT_EQ(GetParent(ok), panel);
  EXPECT_EQ(_wcsicmp(classOf(panel).c_str(), L"Static"), 0);
  dpi = ws.dpi(form);
  EXPECT_EQ(boundsOf(panel), (Bounds{0, scaled(120), scaled(300), scaled(40)}));
  EXPECT_EQ(boundsOf(ok), (Bounds{scaled(8), scaled(4), scaled(90), scaled(30)}));
  int clicks = 0;
  named(form.controls(), "OK").OnClick = [&] { ++clicks; };
  SendMessageW(ok, BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 1);

  // Memo lines arrive as CR LF, whatever breaks the text came with.
  auto& memo = named<hv::ui::Memo>(form.controls(), "Memo1");
  memo.addLine(L"Ada");
  memo.addLine(L"Grace");
  EXPECT_EQ(textOf(ws.windowOf(memo)), L"Ada\r\nGrace");
  memo.setText(L"one\ntwo");
  EXPECT_EQ(textOf(ws.windowOf(memo)), L"one\r\ntwo");
  std::wstring typed;
  memo.OnChange = [&] { typed = memo.text(); };
  HWND memoWindow = ws.windowOf(memo);
  SendMessageW(memoWindow, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
  for (wchar_t ch : std::wstring(L"ab\rc")) SendMessageW(memoWindow, WM_CHAR, ch, 0);
  EXPECT_EQ(typed, L"ab\r\nc");
}

TEST_F(WindowSystemTest, EnterPressesTheDefaultButtonAndEscapeTheCancelButton) {
  Form& form = open(kDialog);
  int ok = 0, cancel = 0;
  std::vector<unsigned> keys;
  named(form.controls(), "OK").OnClick = [&] { ++ok; };
  named(form.controls(), "Cancel").OnClick = [&] { ++cancel; };
  named(form.controls(), "Edit1").OnKeyDown = [&](unsigned k) { keys.push_back(k); };
  form.show();
  HWND edit = ws.windowOf(named(form.controls(), "Edit1"));
  SetForegroundWindow(ws.windowOf(form));
  SetFocus(edit);
  PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
  PostMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(pumpUntil(ws, [&] { return ok == 1 && cancel == 1; }));
  EXPECT_EQ(keys, (std::vector<unsigned>{VK_RETURN, VK_ESCAPE}));

  // Enter in the memo is a new line, not the default button.
  HWND memo = ws.windowOf(named(form.controls(), "Memo1"));
  SetFocus(memo);
  PostMessageW(memo, WM_KEYDOWN, VK_RETURN, 0);
  ws.processMessages();
  EXPECT_EQ(ok, 1);
  // Tab goes on in tab order.
  SetFocus(edit);
  PostMessageW(edit, WM_KEYDOWN, VK_TAB, 0);
  EXPECT_TRUE(pumpUntil(ws, [&] { return GetFocus() == memo; }));

  // Enter in an open list closes the list and presses nothing.
  auto& list = named<hv::ui::ComboBox>(form.controls(), "ComboBox1");
  list.addItem(L"English");
  list.addItem(L"German");
  list.setItemIndex(0);
  HWND box = ws.windowOf(list);
  SetFocus(box);
  SendMessageW(box, CB_SHOWDROPDOWN, TRUE, 0);
  ASSERT_TRUE(SendMessageW(box, CB_GETDROPPEDSTATE, 0, 0));
  PostMessageW(box, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_TRUE(pumpUntil(ws, [&] { return !SendMessageW(box, CB_GETDROPPEDSTATE, 0, 0); }));
  ws.processMessages();
  EXPECT_EQ(ok, 1);
}

const std::array<ControlSpec, 7> kOptionControls{{
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
const std::array<MenuSpec, 2> kInfoMenu{{
    {.name = "Credits1", .caption = L"Acknowledgements..."},
    {.name = "Howtouninstall1", .caption = L"How to uninstall..."},
}};
const FormSpec kOptions{
    .name = "Options",
    .caption = L"Horvane test options",
    .clientWidth = 300,
    .clientHeight = 200,
    .controls = kOptionControls,
    .popupMenu = kInfoMenu,
};

// How far right the text a control paints reaches, in pixels.
int inkWidth(HWND h) {
  RECT r{};
  GetClientRect(h, &r);
  HDC screen = GetDC(h);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, r.right, r.bottom);
  HGDIOBJ old = SelectObject(dc, bitmap);
  SendMessageW(h, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
  const COLORREF back = GetPixel(dc, r.right - 1, r.bottom - 1);
  int right = 0;
  for (int y = 0; y < r.bottom; ++y)
    for (int x = 0; x < r.right; ++x)
      if (GetPixel(dc, x, y) != back) right = std::max(right, x + 1);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(h, screen);
  return right;
}

COLORREF pixelOf(HWND h, int x, int y) {
  RECT r{};
  GetClientRect(h, &r);
  HDC screen = GetDC(h);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, r.right, r.bottom);
  HGDIOBJ old = SelectObject(dc, bitmap);
  SendMessageW(h, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  const COLORREF c = GetPixel(dc, x, y);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(h, screen);
  return c;
}

TEST_F(WindowSystemTest, PanelsShowTheirColoursAndBevelAndFieldsTheirLimits) {
  Form& form = open(kOptions);
  auto& panel = named<hv::ui::Panel>(form.controls(), "Panel4");
  HWND p = ws.windowOf(panel);
  EXPECT_EQ(textOf(p), L"I like it!");
  RECT r{};
  GetClientRect(p, &r);
  // Raised: the light edge on top, the shadow at the bottom.
  EXPECT_EQ(pixelOf(p, r.right / 2, 0), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(pixelOf(p, r.right / 2, r.bottom - 1), GetSysColor(COLOR_BTNSHADOW));
  panel.setBackColour({0, 120, 215});
  panel.setFontColour({255, 255, 255});
  panel.setLowered(true);
  EXPECT_EQ(pixelOf(p, 2, r.bottom / 2), RGB(0, 120, 215));
  EXPECT_EQ(pixelOf(p, r.right / 2, 0), GetSysColor(COLOR_BTNSHADOW));

  HWND link = ws.windowOf(named(form.controls(), "Label1"));
  EXPECT_EQ(std::wstring(fontOf(link).lfFaceName), L"MS Sans Serif");
  EXPECT_TRUE(fontOf(link).lfUnderline);
  EXPECT_EQ(fontOf(ws.windowOf(named(form.controls(), "Label2"))).lfWeight, FW_BOLD);
  EXPECT_EQ(fontOf(link).lfWeight, FW_NORMAL);
  // And it is painted with it.
  const int plain = inkWidth(ws.windowOf(named(form.controls(), "Plain")));
  EXPECT_GT(plain, 0);
  EXPECT_GT(inkWidth(ws.windowOf(named(form.controls(), "Bold"))), plain);
  EXPECT_EQ(SendMessageW(ws.windowOf(named(form.controls(), "Edit1")), EM_GETLIMITTEXT, 0, 0), 100);

  // The link's tooltip is a tool of a tooltip window the form owns.
  HWND tip = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND h, LPARAM found) {
        if (_wcsicmp(classOf(h).c_str(), TOOLTIPS_CLASSW) == 0) *reinterpret_cast<HWND*>(found) = h;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&tip));
  ASSERT_NE(tip, nullptr);
  EXPECT_EQ(GetWindow(tip, GW_OWNER), ws.windowOf(form));
  EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
}

TEST_F(WindowSystemTest, ADragKeepsThePointerUntilTheButtonComesUp) {
  Form& form = open(kOptions);
  auto& label = named(form.controls(), "Label2");
  std::vector<std::string> events;
  label.OnMouseDown = [&](int button) { events.push_back("down " + std::to_string(button)); };
  label.OnMouseMove = [&] { events.push_back("move"); };
  label.OnMouseUp = [&](int button) { events.push_back("up " + std::to_string(button)); };
  form.show();
  HWND h = ws.windowOf(label);
  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  EXPECT_EQ(GetCapture(), h);
  SendMessageW(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(40, 3));
  SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(40, 3));
  EXPECT_NE(GetCapture(), h);
  EXPECT_EQ(events, (std::vector<std::string>{"down 1", "move", "up 1"}));
  SendMessageW(h, WM_RBUTTONDOWN, MK_RBUTTON, 0);
  EXPECT_EQ(events.back(), "down 2");

  // Moved by other means: the form's position follows.
  HWND top = ws.windowOf(form);
  SetWindowPos(top, nullptr, 37, 41, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(form.left(), 37);
  EXPECT_EQ(form.top(), 41);
  RECT outer{};
  GetWindowRect(top, &outer);
  EXPECT_EQ(ws.outerSize(form), (hv::ui::Size{outer.right - outer.left, outer.bottom - outer.top}));
  HWND button = ws.windowOf(named(form.controls(), "Button1"));
  RECT b{};
  GetClientRect(button, &b);
  POINT corner{0, b.bottom};
  ClientToScreen(button, &corner);
  EXPECT_EQ(ws.bottomLeftOnScreen(form, named(form.controls(), "Button1")),
            (hv::ui::Point{corner.x, corner.y}));
}

TEST_F(WindowSystemTest, APopupMenuRunsTheChosenItem) {
  Form& form = open(kOptions);
  form.show();
  int credits = 0, uninstall = 0;
  named(form.menuItems(), "Credits1").OnClick = [&] { ++credits; };
  named(form.menuItems(), "Howtouninstall1").OnClick = [&] { ++uninstall; };
  // The menu's own loop runs while it is open; the keys choose the second item.
  std::thread chooser([] {
    for (int i = 0; i < 200; ++i) {
      HWND menu = FindWindowW(L"#32768", nullptr);
      if (menu && IsWindowVisible(menu)) {
        PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
        return;
      }
      Sleep(20);
    }
  });
  ws.popupMenu(form, ws.bottomLeftOnScreen(form, named(form.controls(), "Button1")));
  chooser.join();
  EXPECT_EQ(credits, 0);
  EXPECT_EQ(uninstall, 1);
}

TEST_F(WindowSystemTest, ADpiChangeScalesTheLayoutAndTellsTheForm) {
  Form& form = open(app::AppFormSpec());
  std::vector<int> told;
  form.OnDpiChanged = [&](int d) { told.push_back(d); };
  HWND top = ws.windowOf(form);
  RECT suggested{100, 50, 800, 600};
  // What the system sends when the window moves to a monitor at 150 %.
  SendMessageW(top, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(told, (std::vector<int>{144}));
  EXPECT_EQ(ws.dpi(form), 144);
  RECT client{};
  GetClientRect(top, &client);
  EXPECT_EQ(client.right, 636);
  EXPECT_EQ(client.bottom, 455);
  RECT outer{};
  GetWindowRect(top, &outer);
  EXPECT_EQ(outer.left, 100);
  EXPECT_EQ(outer.top, 50);
  auto at = [&](const char* name) { return ws.windowOf(named(form.controls(), name)); };
  EXPECT_EQ(boundsOf(at("BitBtn1")), (Bounds{12, 245, 612, 50}));
  EXPECT_EQ(boundsOf(at("Label7")), (Bounds{5, 421, 626, 29}));
  EXPECT_EQ(fontOf(at("Label2")).lfHeight, -29);
  EXPECT_EQ(fontOf(at("Edit1")).lfHeight, -20);
  // Labels sized by their text grow with the font.
  EXPECT_GT(boundsOf(at("Label9")).height, 28);
}

TEST_F(WindowSystemTest, AHotKeyIsHeldUntilItIsReleased) {
  Form& form = open(kDialog);
  // A combination nothing else on the test desktop uses.
  const UINT mods = MOD_CONTROL | MOD_ALT | MOD_SHIFT;
  ws.registerHotKey(form, 0xC001, mods, VK_F11);
  EXPECT_FALSE(RegisterHotKey(nullptr, 0x51, mods, VK_F11));
  ws.unregisterHotKey(form, 0xC001);
  ASSERT_TRUE(RegisterHotKey(nullptr, 0x51, mods, VK_F11));
  UnregisterHotKey(nullptr, 0x51);
}

const FormSpec kNotice{
    .name = "Notice",
    .caption = L"Horvane test notice",
    .clientWidth = 320,
    .clientHeight = 68,
    .border = hv::ui::BorderStyle::None,
    .toolWindow = true,
    .topMost = true,
    .position = hv::ui::Position::Manual,
};

TEST_F(WindowSystemTest, ANoticeShownByAnAnimationLeavesTheFocusWhereItWas) {
  Form& main = open(kDialog);
  main.show();
  HWND mainWindow = ws.windowOf(main);
  SetForegroundWindow(mainWindow);
  ws.processMessages();
  ASSERT_EQ(GetForegroundWindow(), mainWindow);
  Form& notice = open(kNotice);
  notice.moveTo(900, 5);
  HWND n = ws.windowOf(notice);
  // The window animation shows it; the form then counts as shown.
  ShowWindow(n, SW_SHOWNOACTIVATE);
  notice.show();
  ws.processMessages();
  EXPECT_TRUE(IsWindowVisible(n));
  EXPECT_EQ(GetForegroundWindow(), mainWindow);
  RECT r{};
  GetWindowRect(n, &r);
  EXPECT_EQ(r.left, 900);
  EXPECT_EQ(r.top, 5);
  EXPECT_TRUE(GetWindowLongPtrW(n, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(WindowSystemTest, TimersTickWhileEnabledAndRestartWhenEnabledAgain) {
  Form& form = open(kDialog);
  auto& timer = named(form.timers(), "Timer1");
  int ticks = 0;
  timer.OnTimer = [&] {
    if (++ticks == 3) timer.setEnabled(false);
  };
  ws.processMessages();
  Sleep(80);
  ws.processMessages();
  EXPECT_EQ(ticks, 0);  // created stopped
  timer.setEnabled(true);
  EXPECT_TRUE(pumpUntil(ws, [&] { return ticks == 3; }));
  Sleep(120);
  ws.processMessages();
  EXPECT_EQ(ticks, 3);
}

TEST_F(WindowSystemTest, WorkFromAWorkerRunsOnTheUiThread) {
  Form& form = open(kDialog);
  const DWORD ui = GetCurrentThreadId();
  std::atomic<DWORD> ranOn{0};
  std::atomic<bool> invoked{false}, rethrown{false};
  std::thread worker([&] {
    EXPECT_FALSE(ws.onUiThread());
    ws.invoke([&] {
      ranOn = GetCurrentThreadId();
      named(form.controls(), "Edit1").setText(L"from the worker");
    });
    invoked = true;
    try {
      ws.invoke([] { throw hv::Error(L"refused"); });
    } catch (const hv::Error& e) {
      rethrown = e.message() == L"refused";
    }
    // Posted work that fails goes to the error report.
    ws.post([] { throw hv::Error(L"posted failure"); });
    ws.post([&] { ws.terminate(); });
  });
  ws.run();
  worker.join();
  EXPECT_TRUE(invoked);
  EXPECT_TRUE(rethrown);
  EXPECT_EQ(ranOn.load(), ui);
  EXPECT_EQ(textOf(ws.windowOf(named(form.controls(), "Edit1"))), L"from the worker");
  EXPECT_EQ(errors, (std::vector<std::wstring>{L"posted failure"}));
  EXPECT_TRUE(ws.terminated());

  // On the UI thread itself invoke runs at once.
  bool now = false;
  ws.invoke([&] { now = true; });
  EXPECT_TRUE(now);
}

struct SeenBox {
  std::wstring caption;
  std::vector<std::wstring> buttons;
  std::wstring defaultButton;  // the one Enter presses
};

// Finds the box by its caption from another thread, reads its buttons and
// presses the first one.
std::thread answerFirstButton(const std::wstring& caption, SeenBox& seen) {
  return std::thread([caption, &seen] {
    for (int i = 0; i < 300; ++i) {
      HWND box = FindWindowW(L"#32770", caption.c_str());
      if (box && IsWindowVisible(box)) {
        seen.caption = textOf(box);
        HWND first = nullptr;
        for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
          if (_wcsicmp(classOf(c).c_str(), L"Button") != 0 || !IsWindowVisible(c)) continue;
          seen.buttons.push_back(textOf(c));
          if ((GetWindowLongPtrW(c, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            seen.defaultButton = textOf(c);
          if (!first) first = c;
        }
        if (first) PostMessageW(first, BM_CLICK, 0, 0);
        return;
      }
      Sleep(20);
    }
  });
}

TEST_F(WindowSystemTest, MessageBoxesCarryTheGivenButtonCaptions) {
  Form& form = open(kDialog);
  hv::ui::MessageBoxRequest ask;
  ask.text = L"Restart Application?";
  ask.caption = L"Onay";
  ask.icon = hv::ui::MessageIcon::Question;
  ask.buttons = hv::ui::MessageButtons::YesNo;
  ask.buttonCaptions = {L"Evet", L"Hay\u0131r"};
  SeenBox seen;
  auto answer = answerFirstButton(ask.caption, seen);
  const auto result = ws.messageBox(&form, ask);
  answer.join();
  EXPECT_EQ(result, hv::ui::ModalResult::Yes);
  EXPECT_EQ(seen.caption, L"Onay");
  EXPECT_EQ(seen.buttons, (std::vector<std::wstring>{L"Evet", L"Hay\u0131r"}));
  EXPECT_EQ(seen.defaultButton, L"Evet");

  // A question whose safe answer is No makes No the default.
  ask.defaultButton = 1;
  SeenBox seenNo;
  auto answerNo = answerFirstButton(ask.caption, seenNo);
  ws.messageBox(&form, ask);
  answerNo.join();
  EXPECT_EQ(seenNo.defaultButton, L"Hay\u0131r");

  // Without captions the box keeps the standard ones.
  hv::ui::MessageBoxRequest plain;
  plain.text = L"Server Error!";
  plain.caption = L"ERROR";
  plain.icon = hv::ui::MessageIcon::Error;
  SeenBox seenPlain;
  auto answerPlain = answerFirstButton(plain.caption, seenPlain);
  EXPECT_EQ(ws.messageBox(nullptr, plain), hv::ui::ModalResult::OK);
  answerPlain.join();
  ASSERT_EQ(seenPlain.buttons.size(), 1u);
  EXPECT_NE(seenPlain.buttons[0].find(L"OK"), std::wstring::npos);
}

TEST_F(WindowSystemTest, AModalFormDisablesTheOthersUntilItHasAResult) {
  Form& main = open(app::AppFormSpec());
  main.show();
  Form& dialog = open(kDialog);
  HWND mainWindow = ws.windowOf(main);
  EXPECT_EQ(GetWindow(ws.windowOf(dialog), GW_OWNER), mainWindow);
  bool mainDisabled = false;
  auto& timer = named(dialog.timers(), "Timer1");
  timer.OnTimer = [&] {
    mainDisabled = !IsWindowEnabled(mainWindow);
    dialog.setModalResult(hv::ui::ModalResult::OK);
  };
  timer.setEnabled(true);
  EXPECT_EQ(dialog.showModal(), hv::ui::ModalResult::OK);
  EXPECT_TRUE(mainDisabled);
  EXPECT_TRUE(IsWindowEnabled(mainWindow));
  EXPECT_FALSE(IsWindowVisible(ws.windowOf(dialog)));

  // The close box of a modal form ends it with Cancel.
  timer.OnTimer = [&] {
    timer.setEnabled(false);
    PostMessageW(ws.windowOf(dialog), WM_CLOSE, 0, 0);
  };
  timer.setEnabled(true);
  EXPECT_EQ(dialog.showModal(), hv::ui::ModalResult::Cancel);
}

// A notification area of the test's own: it refuses the first add, as one
// that is not up yet does, and loses its icons when Explorer restarts.
struct FakeNotificationArea {
  std::map<std::pair<HWND, UINT>, std::wstring> icons;  // the tips, by window and id
  int refusals = 1;
  bool notify(DWORD message, const NOTIFYICONDATAW& d) {
    const auto key = std::make_pair(d.hWnd, d.uID);
    const bool there = icons.count(key) != 0;
    switch (message) {
      case NIM_ADD:
        if (refusals > 0) {
          --refusals;
          return false;
        }
        if (there) return false;
        icons[key] = d.szTip;
        return true;
      case NIM_MODIFY:
        if (there) icons[key] = d.szTip;
        return there;
      case NIM_DELETE:
        return icons.erase(key) != 0;
      default:
        return false;
    }
  }
};

TEST_F(WindowSystemTest, TheTrayIconIsRetriedAndComesBackWithTheTaskbar) {
  FakeNotificationArea area;
  ws.setTrayNotify([&](DWORD m, const NOTIFYICONDATAW& d) { return area.notify(m, d); });
  auto form = hv::ui::makeForm<Form>(ws, app::AppFormSpec());
  HWND top = ws.windowOf(*form);
  const auto ours = std::make_pair(top, UINT{1});
  EXPECT_TRUE(area.icons.empty());
  // The refused add is tried again a moment later.
  ASSERT_TRUE(pumpUntil(
      ws, [&] { return !area.icons.empty(); }, 5000));
  EXPECT_EQ(area.icons[ours], L"Horvane");

  // Explorer restarts: the new taskbar starts empty, and the icon is back.
  area.icons.clear();
  SendMessageW(top, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_EQ(area.icons[ours], L"Horvane");
  form->setTrayHint(L"Horvane: 12:00:00");
  EXPECT_EQ(area.icons[ours], L"Horvane: 12:00:00");

  form.reset();
  EXPECT_TRUE(area.icons.empty()) << "the icon goes with its window";
}

// Counts how often its window went.
struct DestroyCounting : Form {
  using Form::Form;
  void FormDestroy() override { ++destroyed; }
  int destroyed = 0;
};

TEST_F(WindowSystemTest, WindowEventsReachTheForm) {
  auto owned = hv::ui::makeForm<DestroyCounting>(ws, app::AppFormSpec());
  DestroyCounting& form = *owned;
  HWND top = ws.windowOf(form);
  std::vector<unsigned> hotkeys;
  std::vector<std::wstring> sections;
  int closes = 0, minimised = 0, trayClicks = 0, paints = 0;
  form.OnHotKey = [&](unsigned id) { hotkeys.push_back(id); };
  form.OnSettingChange = [&](const std::wstring& s) { sections.push_back(s); };
  form.OnClose = [&] { ++closes; };
  form.OnMinimize = [&] { ++minimised; };
  form.OnTrayClick = [&] { ++trayClicks; };
  form.OnPaint = [&](hv::ui::Canvas& c) {
    ++paints;
    c.fillRect({0, 0, 10, 10}, {0, 0, 0});
    c.drawText(0, 0, L"q", {0, 252, 98}, 12, false);
  };

  form.show();
  EXPECT_TRUE(IsWindowVisible(top));
  SendMessageW(top, WM_HOTKEY, 0xC123, MAKELPARAM(MOD_CONTROL | MOD_ALT, 'T'));
  EXPECT_EQ(hotkeys, (std::vector<unsigned>{0xC123}));
  SendMessageW(top, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"intl"));
  EXPECT_EQ(sections, (std::vector<std::wstring>{L"intl"}));

  // A left press and release on the tray icon is a click; a release alone
  // is not.
  SendMessageW(top, kTrayCallbackMessage, 1, WM_LBUTTONUP);
  SendMessageW(top, kTrayCallbackMessage, 1, WM_LBUTTONDOWN);
  SendMessageW(top, kTrayCallbackMessage, 1, WM_LBUTTONUP);
  EXPECT_EQ(trayClicks, 1);

  // Explorer came back: the form hears of it (and the icon is added anew).
  int taskbars = 0;
  form.OnTaskbarCreated = [&] { ++taskbars; };
  SendMessageW(top, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_EQ(taskbars, 1);

  form.invalidate();
  UpdateWindow(top);
  EXPECT_GE(paints, 1);

  // The close box hides a window that is not modal.
  SendMessageW(top, WM_CLOSE, 0, 0);
  EXPECT_EQ(closes, 1);
  EXPECT_FALSE(form.visible());
  EXPECT_FALSE(IsWindowVisible(top));

  form.show();
  ShowWindow(top, SW_MINIMIZE);
  EXPECT_TRUE(pumpUntil(ws, [&] { return minimised == 1; }));
  EXPECT_EQ(form.windowState(), hv::ui::WindowState::Minimized);
  // Hide, then come back in normal state as the tray's Show does.
  form.hide();
  form.show();
  form.setWindowState(hv::ui::WindowState::Normal);
  EXPECT_TRUE(IsWindowVisible(top));
  EXPECT_FALSE(IsIconic(top));
  EXPECT_EQ(minimised, 1);

  // Destroyed from outside: the form hears it once and lets go.
  DestroyWindow(top);
  EXPECT_EQ(form.destroyed, 1);
  EXPECT_EQ(ws.windowOf(form), nullptr);
  named(form.controls(), "Label2").setText(L"no window any more");
}

TEST_F(WindowSystemTest, AFormThatFreesItselfInItsOwnClickIsFreedAfterwards) {
  auto form = hv::ui::makeForm<Form>(ws, kDialog);
  named(form->controls(), "OK").OnClick = [&] { form.reset(); };
  HWND ok = ws.windowOf(named(form->controls(), "OK"));
  SendMessageW(ok, BM_CLICK, 0, 0);
  EXPECT_EQ(form, nullptr);
  ws.processMessages();
  EXPECT_FALSE(IsWindow(ok));
}

}  // namespace
}  // namespace hv::platform::win32::winui
