#pragma once
// TAboutBox: product name and version on a black window whose margins fill
// with falling characters, a link to the maker's home page and an "Info"
// drop-down with three more links.
#include <string>

#include "about/about_box_layout.h"
#include "about/rain.h"
#include "base/identity.h"
#include "ui/form.h"
#include "ui/window_system.h"

namespace hv::platform {
class Files;
class Shell;
}  // namespace hv::platform

namespace hv::about {

// What the window uses of the platform, and the identity it shows.
struct AboutServices {
  ui::WindowSystem& windows;
  platform::Shell& shell;
  platform::Files& files;
  const Identity& identity;
};

// The addresses and file the window's links open.
std::wstring HomePageAddress(std::wstring_view makerHost);
std::wstring CreditsAddress(std::wstring_view makerHost);
std::wstring UninstallAddress(std::wstring_view makerHost);
std::wstring LicenseFilePath(const std::wstring& exePath, wchar_t separator);

class TAboutBox : public ui::Form {
 public:
  explicit TAboutBox(AboutServices services, RandomFn random = DefaultRandom());

  ui::Panel& Panel1 = control(ui::RowOf<ui::Panel>(kAboutControls, "Panel1"));
  ui::Label& Image2 = control(ui::RowOf<ui::Label>(kAboutControls, "Image2"));
  ui::Bevel& Bevel1 = control(ui::RowOf<ui::Bevel>(kAboutControls, "Bevel1"));
  ui::Label& Image1 = control(ui::RowOf<ui::Label>(kAboutControls, "Image1"));
  ui::Label& Label2 = control(ui::RowOf<ui::Label>(kAboutControls, "Label2"));
  ui::Button& BitBtn1 =
      bind(ui::RowOf<ui::Button>(kAboutControls, "BitBtn1"), &TAboutBox::BitBtn1Click);
  ui::Button& BitBtn2 =
      bind(ui::RowOf<ui::Button>(kAboutControls, "BitBtn2"), &TAboutBox::BitBtn2Click);
  ui::Label& Label5 = bind(ui::RowOf<ui::Label>(kAboutControls, "Label5"), &TAboutBox::Label5Click);
  ui::MenuItem& Credits1 =
      bind(ui::RowOf<ui::MenuItem>(kAboutInfoMenu, "Credits1"), &TAboutBox::Credits1Click);
  ui::MenuItem& Howtouninstall1 = bind(ui::RowOf<ui::MenuItem>(kAboutInfoMenu, "Howtouninstall1"),
                                       &TAboutBox::Howtouninstall1Click);
  ui::MenuItem& LicensePrivacyPolicy1 =
      bind(ui::RowOf<ui::MenuItem>(kAboutInfoMenu, "LicensePrivacyPolicy1"),
           &TAboutBox::LicensePrivacyPolicy1Click);
  ui::Timer& tmTimer =
      bind(ui::RowOf<ui::Timer>(kAboutTimers, "tmTimer"), &TAboutBox::tmTimerTimer);

  void FormCreate() override;
  void FormDestroy() override;
  void FormResize();
  void tmTimerTimer();
  void FormMouseDown(int button);
  void FormMouseMove();
  void FormMouseUp();
  void BitBtn1Click();
  void BitBtn2Click();
  void EscapeKeyDown(unsigned key);
  void Label5Click();
  void Credits1Click();
  void Howtouninstall1Click();
  void LicensePrivacyPolicy1Click();
  void HighDPIImageYukle();

  void StartRain();
  void ResetRain();
  void CreateDrops();
  void AddDrop();
  void StepRain();
  void DrawDropChar(const TRainDrop& drop);

  // The animation's surface, painted onto the window (pixels at 96 DPI).
  const RainPicture& outCanvas() const { return outCanvas_; }
  int matrixWidth() const { return matrixWidth_; }
  int matrixHeight() const { return matrixHeight_; }
  int charWidth() const { return charWidth_; }
  int charHeight() const { return charHeight_; }
  int bitmapWidth() const { return bitmapWidth_; }
  int bitmapHeight() const { return bitmapHeight_; }
  bool dragging() const { return dragging_; }
  // The logo's size in physical pixels, as last loaded for the monitor.
  ui::Size logoSize() const { return logoSize_; }

 private:
  ui::Size outerSize96() const;

  AboutServices services_;
  RandomFn random_;
  RainPicture outCanvas_;
  std::int32_t matrixWidth_ = 0;
  std::int32_t matrixHeight_ = 0;
  std::int32_t charWidth_ = 8;
  std::int32_t charHeight_ = 12;
  std::int32_t bitmapWidth_ = 0;
  std::int32_t bitmapHeight_ = 0;
  bool dragging_ = false;
  std::int32_t dx_ = 0;
  std::int32_t dy_ = 0;
  ui::Size logoSize_{};
};

}  // namespace hv::about
