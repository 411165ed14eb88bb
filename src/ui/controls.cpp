#include "ui/controls.h"

#include <algorithm>

#include "ui/form.h"

namespace hv::ui {

Control::Control(Form& form, const ControlSpec& design)
    : form_(form),
      design_(design),
      text_(design.text),
      enabled_(design.enabled),
      visible_(design.visible),
      bounds_(design.bounds),
      hint_(design.hint) {}

void Control::notify(Change what) {
  if (FormNative* native = form_.native()) native->controlChanged(*this, what);
}

bool Control::storeText(const std::wstring& text) {
  if (text == text_) return false;
  text_ = text;
  return true;
}

void Control::setText(std::wstring text) {
  if (text == text_) return;
  text_ = std::move(text);
  notify(Change::Text);
}

void Control::setTextFromUser(std::wstring text) {
  if (text == text_) return;
  text_ = std::move(text);
  if (OnChange) OnChange();
}

void Control::setEnabled(bool on) {
  if (on == enabled_) return;
  enabled_ = on;
  notify(Change::Enabled);
}

void Control::setVisible(bool on) {
  if (on == visible_) return;
  visible_ = on;
  notify(Change::Visible);
}

void Control::setBounds(Bounds b) {
  if (b == bounds_) return;
  bounds_ = b;
  notify(Change::Bounds);
}

void Control::setHint(std::wstring hint) {
  if (hint == hint_) return;
  hint_ = std::move(hint);
  notify(Change::Hint);
}

void Control::setFontColour(Colour c) {
  if (hasColours_ && c == fontColour_) return;
  fontColour_ = c;
  hasColours_ = true;
  notify(Change::Colours);
}

void Control::setBackColour(Colour c) {
  if (hasColours_ && c == backColour_) return;
  backColour_ = c;
  hasColours_ = true;
  notify(Change::Colours);
}

void Control::click() {
  if (enabled_ && OnClick) OnClick();
}

void Panel::setLowered(bool on) {
  if (on == lowered_) return;
  lowered_ = on;
  notify(Change::Colours);
}

void CheckBox::setChecked(bool on) {
  if (on == checked_) return;
  checked_ = on;
  notify(Change::Checked);
  if (OnClick) OnClick();
}

void CheckBox::toggleFromUser() {
  if (!enabled()) return;
  setChecked(!checked_);
}

int ComboBox::addItem(std::wstring item) {
  auto pos = items_.end();
  if (design().sorted) {
    // Case-insensitive order, as the platform's sorted list keeps it.
    auto lower = [](std::wstring s) {
      for (auto& c : s)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
      return s;
    };
    const auto key = lower(item);
    pos = std::find_if(items_.begin(), items_.end(),
                       [&](const std::wstring& s) { return lower(s) > key; });
  }
  const int index = static_cast<int>(pos - items_.begin());
  items_.insert(pos, std::move(item));
  if (itemIndex_ >= index) ++itemIndex_;
  notify(Change::Items);
  return index;
}

void ComboBox::clearItems() {
  items_.clear();
  itemIndex_ = -1;
  notify(Change::Items);
}

void ComboBox::setItemIndex(int index) {
  if (index < -1 || index >= static_cast<int>(items_.size())) index = -1;
  itemIndex_ = index;
  // The whole new state is kept before the native part shows any of it.
  const bool textChanged = index >= 0 && storeText(items_[static_cast<std::size_t>(index)]);
  notify(Change::Selection);
  if (textChanged) notify(Change::Text);
}

void ComboBox::setText(std::wstring text) {
  if (!design().editable) {
    auto it = std::find(items_.begin(), items_.end(), text);
    if (it == items_.end()) return;
    setItemIndex(static_cast<int>(it - items_.begin()));
    return;
  }
  Control::setText(std::move(text));
}

void ComboBox::selectFromUser(int index) {
  if (index < 0 || index >= static_cast<int>(items_.size())) return;
  itemIndex_ = index;
  if (storeText(items_[static_cast<std::size_t>(index)])) notify(Change::Text);
  if (OnChange) OnChange();
}

void ComboBox::editFromUser(std::wstring text) {
  itemIndex_ = -1;
  setTextFromUser(std::move(text));
}

void Memo::clear() {
  lines_.clear();
  setText(L"");
}

void Memo::addLine(const std::wstring& line) {
  lines_.push_back(line);
  std::wstring joined;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (i) joined += L"\r\n";
    joined += lines_[i];
  }
  setText(std::move(joined));
}

}  // namespace hv::ui
