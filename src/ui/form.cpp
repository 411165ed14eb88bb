#include "ui/form.h"

#include <stdexcept>
#include <string>

#include "ui/window_system.h"

namespace hv::ui {

MenuItem::MenuItem(const MenuSpec& design)
    : design_(design),
      caption_(design.caption),
      checked_(design.checked),
      enabled_(design.enabled),
      visible_(design.visible) {}

void MenuItem::notify() {
  if (peer_) peer_->changed(*this);
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

Timer::Timer(const TimerSpec& design)
    : design_(design), interval_(design.interval), enabled_(design.enabled) {}

void Timer::setInterval(unsigned ms) {
  if (ms == interval_) return;
  interval_ = ms;
  if (peer_) peer_->changed(*this);
}

void Timer::setEnabled(bool on) {
  if (on == enabled_) return;
  enabled_ = on;
  if (peer_) peer_->changed(*this);
}

void Timer::fire() {
  if (enabled_ && OnTimer) OnTimer();
}

namespace {
std::unique_ptr<Control> makeControl(const ControlSpec& design) {
  switch (design.kind) {
    case ControlKind::Label:
      return std::make_unique<Label>(design);
    case ControlKind::Button:
      return std::make_unique<Button>(design);
    case ControlKind::CheckBox:
      return std::make_unique<CheckBox>(design);
    case ControlKind::ComboBox:
      return std::make_unique<ComboBox>(design);
    case ControlKind::Edit:
      return std::make_unique<Edit>(design);
    case ControlKind::Memo:
      return std::make_unique<Memo>(design);
    case ControlKind::Panel:
      return std::make_unique<Panel>(design);
    case ControlKind::Bevel:
      return std::make_unique<Bevel>(design);
  }
  throw std::logic_error("unknown control kind");
}
}  // namespace

Form::Form(WindowSystem& ws, const FormSpec& design)
    : ws_(ws), design_(design), caption_(design.caption), trayHint_(design.trayHint) {
  build();
}

// Only a form that skipped FormPtr gets here still realised; its handlers
// cannot run any more, but its window must not outlive it.
Form::~Form() {
  if (realized_) ws_.unrealize(*this);
}

void Form::build() {
  for (const auto& c : design_.controls) controls_.push_back(makeControl(c));
  for (const auto& m : design_.mainMenu) menuItems_.push_back(std::make_unique<MenuItem>(m));
  for (const auto& m : design_.popupMenu) menuItems_.push_back(std::make_unique<MenuItem>(m));
  for (const auto& t : design_.timers) timers_.push_back(std::make_unique<Timer>(t));
}

void Form::create() {
  if (realized_) return;
  ws_.realize(*this);
  realized_ = true;
  FormCreate();
}

void Form::destroy() {
  if (!realized_) return;
  realized_ = false;
  hide();
  FormDestroy();
  ws_.unrealize(*this);
}

void Form::windowDestroyed() {
  destroy();
}

void FormLife::destroy(Form& form) noexcept {
  try {
    form.destroy();
  } catch (...) {
    // The window goes all the same; what its handler threw is reported.
    form.ws_.report(std::current_exception());
  }
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
  if (peer_) peer_->captionChanged(*this);
}

void Form::setTrayHint(std::wstring hint) {
  // The notification area keeps at most 127 characters of a tooltip.
  if (hint.size() > 127) hint.resize(127);
  if (hint == trayHint_) return;
  trayHint_ = std::move(hint);
  if (peer_) peer_->trayChanged(*this);
}

void Form::show() {
  if (visible_) return;
  visible_ = true;
  if (peer_) peer_->visibilityChanged(*this);
}

void Form::hide() {
  if (!visible_) return;
  visible_ = false;
  if (peer_) peer_->visibilityChanged(*this);
}

void Form::setWindowState(WindowState s) {
  if (s == state_) return;
  state_ = s;
  if (peer_) peer_->visibilityChanged(*this);
}

void Form::bringToFront() {
  if (peer_) peer_->visibilityChanged(*this);
}

void Form::moveTo(int left, int top) {
  left_ = left;
  top_ = top;
  if (peer_) peer_->positionChanged(*this);
}

void Form::movedFromUser(int left, int top) {
  left_ = left;
  top_ = top;
}

void Form::invalidate() {
  if (peer_) peer_->invalidate(*this);
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
