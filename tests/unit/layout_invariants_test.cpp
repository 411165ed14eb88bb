// What every window's layout table keeps, whatever its numbers: each control
// inside its parent, siblings apart unless meant to overlap, tab stops
// without gaps, the same at every DPI the backend scales to, and every text
// a user reads passed through the language. Then the few numbers users see.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>

#include "about/about_box.h"
#include "about/about_box_layout.h"
#include "app/main_form_layout.h"
#include "app/main_form_windows.h"
#include "feedback/feedback_form.h"
#include "feedback/feedback_form_layout.h"
#include "i18n/translate_form.h"
#include "i18n/translate_form_layout.h"
#include "notice/notice_layout.h"
#include "notice/notice_window.h"
#include "support/app_harness.h"
#include "support/translated_keys.h"
#include "ui/layout_rules.h"

namespace hv::ui {
namespace {

struct Window {
  const FormSpec& design;
  // Siblings that overlap on purpose.
  std::set<std::pair<std::string_view, std::string_view>> overlaps;
};

const Window& WindowAt(int i) {
  static const Window windows[] = {
      {app::AppFormSpec(), {}},
      // The frame around the program's icon.
      {about::AboutBoxSpec(), {{"Bevel1", "Image1"}}},
      {feedback::FeedbackFormSpec(), {}},
      {i18n::TranslateFormSpec(), {}},
      {notice::NewVerSpec(), {}},
  };
  return windows[i];
}
constexpr int kWindows = 5;

constexpr int kDpis[] = {96, 120, 144, 168, 192};

// The controls of one parent (the window, or a panel) and its size.
struct Room {
  Size size;
  std::vector<const ControlSpec*> children;
};

std::map<std::string_view, Room> RoomsOf(const FormSpec& f, int dpi) {
  std::map<std::string_view, Room> rooms;
  rooms[""].size = {layout::Scale(f.clientWidth, dpi), layout::Scale(f.clientHeight, dpi)};
  for (const auto& c : f.controls)
    if (c.kind == ControlKind::Panel)
      rooms[c.name].size = {layout::Scale(c.bounds.width, dpi),
                            layout::Scale(c.bounds.height, dpi)};
  for (const auto& c : f.controls) rooms[c.parent].children.push_back(&c);
  return rooms;
}

// A width or height of 0 is the size of the text, unknown here.
bool Sized(const Bounds& b) {
  return b.width > 0 && b.height > 0;
}

bool Apart(const Bounds& a, const Bounds& b) {
  return a.left + a.width <= b.left || b.left + b.width <= a.left || a.top + a.height <= b.top ||
         b.top + b.height <= a.top;
}

// Exact at 96 DPI. Scaled, each number rounds on its own, so a control
// flush with its parent's edge may pass it by that one pixel; a docked one is
// placed by its edge instead.
TEST(LayoutInvariants, EveryControlStaysInsideItsParentAndApartFromItsSiblingsAtEveryDpi) {
  for (int w = 0; w < kWindows; ++w) {
    const Window& win = WindowAt(w);
    for (const int dpi : kDpis) {
      const int rounding = dpi == layout::kBaseDpi ? 0 : 1;
      for (const auto& [parent, room] : RoomsOf(win.design, dpi)) {
        for (const ControlSpec* c : room.children) {
          SCOPED_TRACE(std::string(win.design.name) + "." + std::string(c->name) + " at " +
                       std::to_string(dpi) + " DPI");
          const Bounds b = layout::Scale(c->bounds, dpi);
          EXPECT_GE(b.left, 0);
          EXPECT_GE(b.top, 0);
          if (rounding == 0 || c->dock == Dock::None) {
            EXPECT_LE(b.left + b.width, room.size.width + rounding);
            EXPECT_LE(b.top + b.height, room.size.height + rounding);
          }
          if (!Sized(c->bounds)) continue;
          for (const ControlSpec* other : room.children) {
            if (other <= c || !Sized(other->bounds)) continue;
            if (win.overlaps.contains({c->name, other->name})) continue;
            EXPECT_TRUE(Apart(b, layout::Scale(other->bounds, dpi))) << "overlaps " << other->name;
          }
        }
      }
    }
  }
}

TEST(LayoutInvariants, TabStopsOfEachParentRunFromZeroWithoutGaps) {
  for (int w = 0; w < kWindows; ++w) {
    for (const auto& [parent, room] : RoomsOf(WindowAt(w).design, 96)) {
      std::vector<int> stops;
      for (const ControlSpec* c : room.children)
        if (c->tabOrder >= 0) stops.push_back(c->tabOrder);
      std::sort(stops.begin(), stops.end());
      for (std::size_t i = 0; i < stops.size(); ++i)
        EXPECT_EQ(stops[i], static_cast<int>(i)) << WindowAt(w).design.name << " " << parent;
    }
  }
}

// Under a language that marks every text it translates, every text the
// windows show is marked, except what is data rather than words.
TEST(LayoutInvariants, EveryTextAUserReadsPassesThroughTheLanguage) {
  test::AppHarness h;
  h.files.addFolder(L"C:\\Tools\\Languages");
  std::string marked;
  for (const auto& key : test::ExpectedKeys()) {
    const std::string k(key.begin(), key.end());
    marked += "{" + k + "}\xC2\xAB" + k + "\r\n";
  }
  h.files.addFile(L"C:\\Tools\\Languages\\Marked.lang.txt", marked);
  h.setting(L"LanguageFile", L"Marked.lang.txt");
  app::TAppForm& main = h.start();
  h.windows.advance(1);  // the first display tick

  auto check = [](const Form& f, const std::set<std::string_view>& data) {
    SCOPED_TRACE(std::string(f.design().name));
    auto translated = [](const std::wstring& text) { return text.find(L'\u00AB') != text.npos; };
    auto expect = [&](std::string_view name, const std::wstring& text) {
      if (!text.empty() && !data.contains(name)) {
        EXPECT_TRUE(translated(text)) << name;
      }
    };
    expect("caption", f.caption());
    for (const auto& c : f.controls()) expect(c->name(), c->text());
    for (const auto& m : f.menuItems()) expect(m->name(), m->caption());
  };
  // MenuItem4 is never shown; it keeps its English caption.
  check(main, {"caption", "ComboBox1", "Label2", "Label4", "Label6", "MenuItem4"});
  check(*MakeForm<i18n::TTranslateForm>(app::TranslateServicesOf(h.platform),
                                        [](const std::wstring&) {}),
        {"ComboBox1", "RichEdit1"});
  check(*MakeForm<feedback::TFeedbackForm>(app::FeedbackServicesOf(h.platform)), {});
  check(*MakeForm<about::TAboutBox>(app::AboutServicesOf(h.platform)), {"Label2", "Label5"});
  // A window without a frame shows no caption.
  check(*MakeForm<notice::TNewVer>(
            notice::NoticeServices{h.windows, h.shell, h.desktop, main, L"127.0.0.1", L"Horvane"}),
        {"caption"});
}

// The numbers a user meets: window sizes, the automatic interval, the
// fields' limits, the notice's life and the hotkey label's place.
TEST(LayoutInvariants, TheNumbersUsersSee) {
  struct Client {
    const FormSpec& design;
    int width, height;
  };
  for (const Client& c : {Client{app::AppFormSpec(), 424, 303},
                          {about::AboutBoxSpec(), 446, 374},
                          {feedback::FeedbackFormSpec(), 525, 326},
                          {i18n::TranslateFormSpec(), 622, 227},
                          {notice::NewVerSpec(), 320, 68}})
    EXPECT_EQ((Size{c.design.clientWidth, c.design.clientHeight}), (Size{c.width, c.height}))
        << c.design.name;

  auto control = [](const FormSpec& f, std::string_view name) {
    return *std::find_if(f.controls.begin(), f.controls.end(),
                         [&](const ControlSpec& c) { return c.name == name; });
  };
  auto timer = [](const FormSpec& f, std::string_view name) {
    return std::find_if(f.timers.begin(), f.timers.end(),
                        [&](const TimerSpec& t) { return t.name == name; })
        ->interval;
  };
  EXPECT_EQ(timer(app::AppFormSpec(), "TimerAutomatic"), 10000u);
  EXPECT_EQ(timer(notice::NewVerSpec(), "TimerClose"), 1000u);
  EXPECT_EQ(control(feedback::FeedbackFormSpec(), "Memo1").maxLength, 10000);
  EXPECT_EQ(control(feedback::FeedbackFormSpec(), "Edit1").maxLength, 100);
  const auto hotkey = control(app::AppFormSpec(), "Label7");
  EXPECT_EQ(hotkey.dock, Dock::Bottom);
  EXPECT_EQ(hotkey.dockMargin, 3);
  EXPECT_EQ(hotkey.bounds.top + hotkey.bounds.height + 3, 303);
  EXPECT_EQ(app::ServerPresets().size(), 4u);
  EXPECT_EQ(app::MakerHost(), std::wstring_view(HORVANE_MAKER_HOST));
}

}  // namespace
}  // namespace hv::ui
