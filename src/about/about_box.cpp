#include "about/about_box.h"

#include <algorithm>

#include "about/about_box_layout.h"
#include "about/popup_under_button.h"
#include "i18n/catalogue.h"
#include "platform/files.h"
#include "platform/shell.h"

namespace hv::about {
namespace {

constexpr unsigned kEscape = 27;
constexpr int kRightButton = 2;
constexpr unsigned kRainIntervalMs = 50;
constexpr int kRainFontHeight = 12;
constexpr ui::Colour kBlack{0, 0, 0};
constexpr ui::Colour kWhite{255, 255, 255};
constexpr ui::Colour kLime{0, 255, 0};

int ScaledBy(int value, int dpi) {
  return (value * dpi + 48) / 96;
}

}  // namespace

std::wstring HomePageAddress(std::wstring_view makerHost) {
  return L"http://" + std::wstring(makerHost) + L"/";
}

std::wstring CreditsAddress(std::wstring_view makerHost) {
  return L"https://" + std::wstring(makerHost) + L"/blog/credits-and-acknowledgements/";
}

std::wstring UninstallAddress(std::wstring_view makerHost) {
  return L"http://" + std::wstring(makerHost) + L"/blog/how-to-uninstall-calvion-software/";
}

std::wstring LicenseFilePath(const std::wstring& exePath, wchar_t separator) {
  return platform::FolderWithSeparator(exePath, separator) + L"license.txt";
}

TAboutBox::TAboutBox(AboutServices services, RandomFn random)
    : ui::Form(services.windows, AboutBoxSpec()), services_(services), random_(std::move(random)) {
  Panel1.setBackColour(kBlack);
  Panel1.setFontColour(kWhite);
  for (ui::Control* c : {static_cast<ui::Control*>(&Label2), static_cast<ui::Control*>(&BitBtn1),
                         static_cast<ui::Control*>(&BitBtn2)})
    c->setFontColour(kWhite);
  Label5.setFontColour(kLime);

  OnPaint = [this](ui::Canvas& canvas) {
    outCanvas_.paint(canvas, {0, 0, bitmapWidth_, bitmapHeight_});
  };
  OnDpiChanged = [this](int) {
    // The system resizes the window for the new monitor.
    FormResize();
    HighDPIImageYukle();
  };
  OnMouseDown = [this](int button, int, int) { FormMouseDown(button); };
  OnMouseMove = [this](int, int) { FormMouseMove(); };
  OnMouseUp = [this](int, int, int) { FormMouseUp(); };
  for (ui::Control* c : {static_cast<ui::Control*>(&Panel1), static_cast<ui::Control*>(&Image1),
                         static_cast<ui::Control*>(&Label2), static_cast<ui::Control*>(&Image2)}) {
    c->OnMouseDown = [this](int button) { FormMouseDown(button); };
    c->OnMouseMove = [this] { FormMouseMove(); };
    c->OnMouseUp = [this](int) { FormMouseUp(); };
  }
  BitBtn1.OnKeyDown = [this](unsigned key) { EscapeKeyDown(key); };
  BitBtn2.OnKeyDown = [this](unsigned key) { EscapeKeyDown(key); };
}

// The animation stops before the window goes.
void TAboutBox::FormDestroy() {
  tmTimer.setEnabled(false);
}

void TAboutBox::FormCreate() {
  using i18n::Translate;
  Rain().RainChars = L"qaq";
  StartRain();
  const auto& id = services_.identity;
  setCaption(Translate(L"About") + L" " + id.productName);
  Label2.setText(id.productName + L" " + id.appVersion);
  BitBtn1.setText(Translate(L"OK"));
  BitBtn2.setText(Translate(L"Info"));
  Credits1.setCaption(Translate(L"Acknowledgements..."));
  Howtouninstall1.setCaption(Translate(L"How to uninstall..."));
  LicensePrivacyPolicy1.setCaption(Translate(L"License..."));
  HighDPIImageYukle();
}

void TAboutBox::HighDPIImageYukle() {
  const int dpi = services_.windows.dpi(*this);
  // The backend draws Image2's picture at this size for the monitor.
  logoSize_ = {ScaledBy(kLogoWidth, dpi), ScaledBy(kLogoHeight, dpi)};
}

// The canvas counts in pixels at 96 DPI, so the grid is measured that way
// too and the characters grow with the monitor's DPI.
ui::Size TAboutBox::outerSize96() const {
  const ui::Size outer = services_.windows.outerSize(*this);
  const int dpi = std::max(1, services_.windows.dpi(*this));
  return {outer.width * 96 / dpi, outer.height * 96 / dpi};
}

void TAboutBox::StartRain() {
  Rain().RainTick = 0;
  const ui::Size outer = outerSize96();
  bitmapWidth_ = outer.width;
  bitmapHeight_ = outer.height;
  ResetRain();
  tmTimer.setInterval(kRainIntervalMs);
  tmTimer.setEnabled(true);
}

void TAboutBox::FormResize() {
  ResetRain();
}

void TAboutBox::ResetRain() {
  const ui::Size outer = outerSize96();
  outCanvas_.fillRect({0, 0, outer.width, outer.height}, kBlack);
  charWidth_ = 8;
  charHeight_ = 12;
  // The grid keeps the size the window had when the animation started.
  matrixWidth_ = bitmapWidth_ / charWidth_;
  matrixHeight_ = bitmapHeight_ / charHeight_;
  CreateDrops();
  invalidate();
}

void TAboutBox::CreateDrops() {
  Rain().DropCount = 0;
  for (int i = 0; i < 2 * matrixWidth_; ++i) AddDrop();
}

void TAboutBox::AddDrop() {
  auto& rain = Rain();
  if (rain.DropCount >= kMaxDrops || matrixWidth_ <= 0) return;
  TRainDrop& d = rain.Drops[static_cast<std::size_t>(rain.DropCount)];
  d.column = rain.DropCount % matrixWidth_;
  d.row = random_(matrixHeight_);
  d.speed = 1 + random_(3);
  d.brightness = random_(100);
  ++rain.DropCount;
}

void TAboutBox::tmTimerTimer() {
  StepRain();
}

void TAboutBox::StepRain() {
  auto& rain = Rain();
  for (int i = 0; i < rain.DropCount; ++i) {
    TRainDrop& d = rain.Drops[static_cast<std::size_t>(i)];
    DrawDropChar(d);
    if (rain.RainTick % d.speed != 0) continue;
    ++d.row;
    if (d.row > matrixHeight_ + 1) {
      d.row = 0;
      d.speed = 1 + random_(3);
      d.brightness = random_(100);
    }
  }
  // Wraps instead of overflowing after years of ticks.
  rain.RainTick = static_cast<std::int32_t>(static_cast<std::uint32_t>(rain.RainTick) + 1u);
  invalidate();
}

void TAboutBox::DrawDropChar(const TRainDrop& drop) {
  const std::wstring& chars = Rain().RainChars;
  const std::wstring ch(
      1, chars.empty() ? L' '
                       : chars[static_cast<std::size_t>(random_(static_cast<int>(chars.size())))]);
  const int x = drop.column * charWidth_;
  const int t = TailRow(drop.row, matrixHeight_);
  outCanvas_.fillRect({x, t * charHeight_, charWidth_, charHeight_}, kBlack);
  const DropColours colours = DropColoursFor(drop.brightness);
  if (drop.row > 0)
    outCanvas_.drawText(x, (drop.row - 1) * charHeight_, ch, colours.dim, kRainFontHeight, false);
  outCanvas_.drawText(x, drop.row * charHeight_, ch, colours.bright, kRainFontHeight, false);
}

void TAboutBox::FormMouseDown(int button) {
  if (button == kRightButton) return;
  dragging_ = true;
  const ui::Point p = services_.windows.cursorPos();
  dx_ = p.x;
  dy_ = p.y;
}

void TAboutBox::FormMouseMove() {
  if (!dragging_) return;
  const ui::Point p = services_.windows.cursorPos();
  moveTo(left() + p.x - dx_, top() + p.y - dy_);
  dx_ = p.x;
  dy_ = p.y;
}

void TAboutBox::FormMouseUp() {
  dragging_ = false;
}

void TAboutBox::BitBtn1Click() {
  setModalResult(ui::ModalResult::OK);
  close();
}

void TAboutBox::BitBtn2Click() {
  PopupUnderButton(services_.windows, BitBtn2, *this);
}

void TAboutBox::EscapeKeyDown(unsigned key) {
  if (key == kEscape) close();
}

void TAboutBox::Label5Click() {
  services_.shell.openAsUser(HomePageAddress(HORVANE_MAKER_HOST), L"", platform::ShowCommand::Hide);
}

void TAboutBox::Credits1Click() {
  services_.shell.openAsUser(CreditsAddress(HORVANE_MAKER_HOST), L"", platform::ShowCommand::Hide);
}

void TAboutBox::Howtouninstall1Click() {
  services_.shell.openAsUser(UninstallAddress(HORVANE_MAKER_HOST), L"",
                             platform::ShowCommand::Hide);
}

void TAboutBox::LicensePrivacyPolicy1Click() {
  auto& files = services_.files;
  const std::wstring path = LicenseFilePath(files.moduleFileName(), files.separator());
  if (!files.fileExists(path)) {
    ui::MessageBoxRequest box;
    box.caption = i18n::Translate(L"License");
    box.text = i18n::Translate(L"File not found!");
    box.icon = ui::MessageIcon::Error;
    services_.windows.messageBox(this, box);
    return;
  }
  // The editor by its full path, so that no notepad.exe from the program's
  // folder or the search path runs instead; the licence's path quoted, so that
  // a folder with spaces reaches it as one name.
  const std::wstring system = files.systemFolder();
  if (system.empty()) return;
  const std::wstring notepad =
      platform::WithTrailingSeparator(system, files.separator()) + L"notepad.exe";
  services_.shell.openAsUser(notepad, L"\"" + path + L"\"", platform::ShowCommand::Normal);
}

}  // namespace hv::about
