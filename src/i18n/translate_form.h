#pragma once
// TTranslateForm: the language window. It offers the language files found at
// start-up, shows who translated the selected one, and on a confirmed change
// stores it and restarts the program, which loads languages only at start.
#include <functional>
#include <string>
#include <vector>

#include "base/identity.h"
#include "i18n/restart_script.h"
#include "i18n/translate_form_layout.h"
#include "ui/form.h"
#include "ui/window_system.h"

namespace hv::platform {
class Files;
class Locale;
class Shell;
}  // namespace hv::platform

namespace hv::i18n {

// What the window uses of the platform, and the identity that names the
// restart script's folder.
struct TranslateServices {
  ui::WindowSystem& windows;
  platform::Files& files;
  platform::Locale& locale;
  platform::Shell& shell;
  const Identity& identity;
};

// Owner: each TTranslateForm at the end of its creation, on the UI thread.
// Reader: that window's OK button. The entry selected when the most recently
// created language window finished its creation.
const std::wstring& LanguageAtOpen();
// Tests: as at process start.
void ForgetLanguageAtOpenForTests();

// The text after "{key}" on the first line that begins with it, even when
// empty; the key itself when no line does.
std::wstring LookUpEntry(const std::wstring& key, const std::vector<std::wstring>& lines);

// The translators box: one line per comma-separated name, trimmed; no line
// for an empty text.
std::vector<std::wstring> TranslatorLines(const std::wstring& text);

// The maker's page about contributing translations.
std::wstring ContributionAddress(std::wstring_view makerHost);

// A message dialog whose caption and push-button captions (in button order,
// as far as the list reaches) are replaced; returns the button pressed.
ui::ModalResult CustomButtonDialog(ui::WindowSystem& windows, ui::Form* owner,
                                   const std::wstring& message, ui::MessageIcon type,
                                   ui::MessageButtons buttons, const std::wstring& caption,
                                   const std::vector<std::wstring>& buttonCaptions);

class TTranslateForm : public ui::Form {
 public:
  // Stores the "LanguageFile" setting (TAppForm::SetLanguageFile).
  using SetLanguageFileFn = std::function<void(const std::wstring& fileName)>;

  TTranslateForm(TranslateServices services, SetLanguageFileFn setLanguageFile);

  ui::Label& Label1 = control(ui::RowOf<ui::Label>(kTranslateControls, "Label1"));
  ui::ComboBox& ComboBox1 = bind(ui::RowOf<ui::ComboBox>(kTranslateControls, "ComboBox1"),
                                 &TTranslateForm::ComboBox1Change);
  ui::Label& Label2 = control(ui::RowOf<ui::Label>(kTranslateControls, "Label2"));
  ui::Memo& RichEdit1 = control(ui::RowOf<ui::Memo>(kTranslateControls, "RichEdit1"));
  ui::Label& Label3 =
      bind(ui::RowOf<ui::Label>(kTranslateControls, "Label3"), &TTranslateForm::Label3Click);
  ui::Button& BitBtn1 =
      bind(ui::RowOf<ui::Button>(kTranslateControls, "BitBtn1"), &TTranslateForm::BitBtn1Click);
  ui::Button& BitBtn2 = control(ui::RowOf<ui::Button>(kTranslateControls, "BitBtn2"));

  void FormCreate() override;
  void ComboBox1Change();
  void BitBtn1Click();
  void Label3Click();

  // The per-user folder of the restart script, without a trailing separator.
  std::wstring ScriptFolder() const;

 private:
  TranslateServices services_;
  SetLanguageFileFn setLanguageFile_;
};

}  // namespace hv::i18n
