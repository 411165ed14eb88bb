#include "i18n/translate_form.h"

#include "base/error.h"
#include "i18n/catalogue.h"
#include "i18n/translate_form_layout.h"
#include "platform/files.h"
#include "platform/locale.h"
#include "platform/shell.h"

namespace hv::i18n {
namespace {

constexpr wchar_t kEnglish[] = L"English";
constexpr wchar_t kMakerName[] = L"Calvion";
constexpr wchar_t kCannotRestart[] = L"The program cannot restart itself from this folder.";
constexpr wchar_t kNextStart[] = L"The new language takes effect the next time it starts.";

std::wstring& LanguageAtStart() {
  static std::wstring selected;
  return selected;
}

}  // namespace

const std::wstring& LanguageAtOpen() {
  return LanguageAtStart();
}

void ForgetLanguageAtOpenForTests() {
  LanguageAtStart().clear();
}

std::wstring LookUpEntry(const std::wstring& key, const std::vector<std::wstring>& lines) {
  return FindEntry(lines, key).value_or(key);
}

std::vector<std::wstring> TranslatorLines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  if (text.empty()) return lines;
  std::size_t start = 0;
  while (true) {
    const auto comma = text.find(L',', start);
    lines.push_back(TrimText(text.substr(start, comma - start)));
    if (comma == std::wstring::npos) break;
    start = comma + 1;
  }
  return lines;
}

std::wstring ContributionAddress(std::wstring_view makerHost) {
  return L"https://" + std::wstring(makerHost) + L"/blog/multilingual-software/";
}

ui::ModalResult CustomButtonDialog(ui::WindowSystem& windows, ui::Form* owner,
                                   const std::wstring& message, ui::MessageIcon type,
                                   ui::MessageButtons buttons, const std::wstring& caption,
                                   const std::vector<std::wstring>& buttonCaptions) {
  ui::MessageBoxRequest box;
  box.text = message;
  box.caption = caption;
  box.icon = type;
  box.buttons = buttons;
  box.buttonCaptions = buttonCaptions;
  return windows.messageBox(owner, box);
}

TTranslateForm::TTranslateForm(TranslateServices services, SetLanguageFileFn setLanguageFile)
    : ui::Form(services.windows, TranslateFormSpec()),
      services_(services),
      setLanguageFile_(std::move(setLanguageFile)) {
  ComboBox1.addItem(kEnglish);
  ComboBox1.setItemIndex(0);
  // Cancel only closes.
  BitBtn2.OnClick = [this] { setModalResult(ui::ModalResult::Cancel); };
}

void TTranslateForm::FormCreate() {
  setCaption(Translate(L"Language"));
  Label1.setText(Translate(L"User Interface Language:"));
  Label2.setText(Translate(L"Translated by:"));
  BitBtn1.setText(Translate(L"OK"));
  BitBtn2.setText(Translate(L"Cancel"));
  Label3.setText(Translate(L"Contribute Translation"));

  for (const auto& fileName : LanguageFileNames()) {
    // A name without ".lang.txt" in exact case gives no language to offer:
    // choosing it would store a file name that does not exist.
    const std::wstring name = LanguageNameOf(fileName);
    if (!name.empty()) ComboBox1.addItem(name);
  }
  const auto& items = ComboBox1.items();
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i] == LoadedLanguageName()) {
      ComboBox1.setItemIndex(static_cast<int>(i));
      break;
    }
  }
  ComboBox1Change();
  LanguageAtStart() = ComboBox1.text();
}

void TTranslateForm::ComboBox1Change() {
  const std::wstring entry = ComboBox1.text();
  std::wstring text;
  if (entry == kEnglish) {
    text = kMakerName;
  } else {
    // A file that is gone or unreadable leaves the box empty.
    const auto bytes = services_.files.readFile(LanguagesFolder() + services_.files.separator() +
                                                entry + kLanguageFileSuffix);
    if (bytes) text = LookUpEntry(kTranslatorsKey, ReadUtf8Lines(*bytes));
  }
  RichEdit1.clear();
  for (const auto& line : TranslatorLines(text)) RichEdit1.addLine(line);
}

std::wstring TTranslateForm::ScriptFolder() const {
  const wchar_t sep = services_.files.separator();
  const auto& id = services_.identity;
  return services_.files.roamingAppDataFolder() + sep + id.companyName + sep + id.productName;
}

void TTranslateForm::BitBtn1Click() {
  const std::wstring entry = ComboBox1.text();
  if (entry == LanguageAtOpen()) {
    setModalResult(ui::ModalResult::Cancel);
    return;
  }
  const auto answer = CustomButtonDialog(
      services_.windows, this, Translate(L"Restart Application?"), ui::MessageIcon::Question,
      ui::MessageButtons::YesNo, Translate(L"Confirmation"), {Translate(L"Yes"), Translate(L"No")});
  if (answer != ui::ModalResult::Yes) return;

  setLanguageFile_(entry + kLanguageFileSuffix);
  services_.windows.processMessages();

  auto& files = services_.files;
  const wchar_t sep = files.separator();
  const auto& id = services_.identity;
  const std::wstring folder = ScriptFolder();
  const std::wstring script = folder + sep + kRestartScriptName;
  const std::wstring system = files.systemFolder();
  const auto bytes = RestartScriptBytes(services_.locale, files.moduleFileName(), system);
  const auto command = RestartCommandFor(script, system);
  if (!bytes || !command) {
    // The language is stored; only the restart is left to the user.
    ui::MessageBoxRequest box;
    box.text = Translate(kCannotRestart) + L"\r\r" + Translate(kNextStart);
    box.caption = kApplicationTitle;
    box.icon = ui::MessageIcon::Warning;
    services_.windows.messageBox(this, box);
    setModalResult(ui::ModalResult::OK);
    return;
  }
  // Folders that exist or can't be made are no failure here; writing the
  // script says whether it worked.
  files.createDirectory(files.roamingAppDataFolder() + sep + id.companyName);
  files.createDirectory(folder);
  if (!files.writeFile(script, *bytes)) throw Error(L"Cannot create file \"" + script + L"\"");
  services_.windows.processMessages();

  services_.shell.run(command->program, command->parameters, command->directory,
                      platform::ShowCommand::Hide);
  services_.windows.processMessages();
  services_.windows.terminate();
  setModalResult(ui::ModalResult::OK);
}

void TTranslateForm::Label3Click() {
  services_.shell.openAsUser(ContributionAddress(HORVANE_MAKER_HOST), L"",
                             platform::ShowCommand::Hide);
}

}  // namespace hv::i18n
