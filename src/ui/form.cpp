#include "ui/form.h"

#include <stdexcept>
#include <string>
#include <utility>

#include "ui/window_system.h"

namespace hv::ui {

MenuItem::MenuItem(Form& form, const MenuSpec& design)
    : form_(form),
      design_(design),
      caption_(design.caption),
      checked_(design.checked),
      enabled_(design.enabled),
      visible_(design.visible) {}

void MenuItem::notify() {
  if (FormNative* native = form_.native()) native->menuChanged(*this);
}

void MenuItem::setCaption(std::wstring caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  notify();
}

void MenuItem::setChecked(bool on) {
  if (on == checked_) return;
  checked_ = on;
  notify();
}

void MenuItem::setEnabled(bool on) {
  if (on == enabled_) return;
  enabled_ = on;
  notify();
}

void MenuItem::setVisible(bool on) {
  if (on == visible_) return;
  visible_ = on;
  notify();
}

void MenuItem::click() {
  if (enabled_ && OnClick) OnClick();
}

Timer::Timer(Form& form, const TimerSpec& design)
    : form_(form), design_(design), interval_(design.interval), enabled_(design.enabled) {}

void Timer::notify() {
  if (FormNative* native = form_.native()) native->timerChanged(*this);
}

void Timer::setInterval(unsigned ms) {
  if (ms == interval_) return;
  interval_ = ms;
  notify();
}

void Timer::setEnabled(bool on) {
  if (on == enabled_) return;
  enabled_ = on;
  notify();
}

void Timer::fire() {
  if (enabled_ && OnTimer) OnTimer();
}

namespace {
std::unique_ptr<Control> MakeControl(Form& form, const ControlSpec& design) {
  switch (design.kind) {
    case ControlKind::Label:
      return std::make_unique<Label>(form, design);
    case ControlKind::Button:
      return std::make_unique<Button>(form, design);
    case ControlKind::CheckBox:
      return std::make_unique<CheckBox>(form, design);
    case ControlKind::ComboBox:
      return std::make_unique<ComboBox>(form, design);
    case ControlKind::Edit:
      return std::make_unique<Edit>(form, design);
    case ControlKind::Memo:
      return std::make_unique<Memo>(form, design);
    case ControlKind::Panel:
      return std::make_unique<Panel>(form, design);
    case ControlKind::Bevel:
      return std::make_unique<Bevel>(form, design);
  }
  throw std::logic_error("unknown control kind");
}
}  // namespace

Form::Form(WindowSystem& ws, const FormSpec& design)
    : ws_(ws), design_(design), caption_(design.caption), trayHint_(design.trayHint) {
  build();
}

// Only a form that skipped FormPtr gets here with its native part; its
// handlers cannot run any more, but its window must not outlive it.
Form::~Form() {
  if (FormNative* native = std::exchange(native_, nullptr)) native->formGone();
}

void Form::build() {
  for (const auto& c : design_.controls) controls_.push_back(MakeControl(*this, c));
  for (const auto& m : design_.mainMenu) menuItems_.push_back(std::make_unique<MenuItem>(*this, m));
  for (const auto& m : design_.popupMenu)
    menuItems_.push_back(std::make_unique<MenuItem>(*this, m));
  for (const auto& t : design_.timers) timers_.push_back(std::make_unique<Timer>(*this, t));
}

void Form::create() {
  native_ = &ws_.realize(*this);
  FormCreate();
}

void Form::end() noexcept {
  if (!native_) return;
  try {
    hide();
    FormDestroy();
  } catch (...) {
    // The window goes all the same; what its handler threw is reported.
    ws_.report(std::current_exception());
  }
  if (FormNative* native = std::exchange(native_, nullptr)) native->formGone();
}

namespace {

// A row of another window's table is a slip in the program, not in the run.
template <class Made, class Design>
Made& madeFromRow(const std::vector<std::unique_ptr<Made>>& made, const Design* row,
                  const FormSpec& form) {
  for (const auto& m : made)
    if (&m->design() == row) return *m;
  throw std::logic_error(std::string(row ? row->name : "(none)") + " is no row of the layout of " +
                         std::string(form.name));
}

}  // namespace

Control& Form::madeFrom(const ControlSpec* row) const {
  return madeFromRow(controls_, row, design_);
}

MenuItem& Form::menuItem(Row<MenuItem, MenuSpec> row) const {
  return madeFromRow(menuItems_, row.design, design_);
}

Timer& Form::timer(Row<Timer, TimerSpec> row) const {
  return madeFromRow(timers_, row.design, design_);
}

void Form::setCaption(std::wstring caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  if (native_) native_->captionChanged();
}

void Form::setTrayHint(std::wstring hint) {
  // The notification area keeps at most 127 characters of a tooltip.
  if (hint.size() > 127) hint.resize(127);
  if (hint == trayHint_) return;
  trayHint_ = std::move(hint);
  if (native_) native_->trayChanged();
}

void Form::show() {
  if (visible_) return;
  visible_ = true;
  if (native_) native_->visibilityChanged(Showing::Visibility);
}

void Form::hide() {
  if (!visible_) return;
  visible_ = false;
  if (native_) native_->visibilityChanged(Showing::Visibility);
}

void Form::setWindowState(WindowState s) {
  if (s == state_) return;
  state_ = s;
  if (native_) native_->visibilityChanged(Showing::State);
}

void Form::bringToFront() {
  if (native_) native_->visibilityChanged(Showing::Front);
}

void Form::moveTo(int left, int top) {
  left_ = left;
  top_ = top;
  if (native_) native_->positionChanged();
}

void Form::movedFromUser(int left, int top) {
  left_ = left;
  top_ = top;
}

void Form::invalidate() {
  if (native_) native_->invalidate();
}

ModalResult Form::showModal() {
  modalResult_ = ModalResult::None;
  inModal_ = true;
  show();
  ws_.runModal(*this);
  inModal_ = false;
  hide();
  if (modalResult_ == ModalResult::None) modalResult_ = ModalResult::Cancel;
  return modalResult_;
}

void Form::setModalResult(ModalResult r) {
  modalResult_ = r;
}

void Form::close() {
  if (OnClose) OnClose();
  if (inModal_) {
    if (modalResult_ == ModalResult::None) modalResult_ = ModalResult::Cancel;
    return;
  }
  hide();
}

void Form::closeFromUser() {
  close();
}

}  // namespace hv::ui
