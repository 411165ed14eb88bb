#include "ui/headless.h"

#include <algorithm>
#include <chrono>

namespace hv::ui {

// Due times of the enabled timers on the fake clock.
class HeadlessWindowSystem::TimerClock {
 public:
  explicit TimerClock(const std::uint64_t& now) : now_(now) {}
  void changed(Timer& t) {
    if (t.enabled())
      due_[&t] = now_ + std::max(1u, t.interval());
    else
      due_.erase(&t);
  }
  void forget(Timer& t) { due_.erase(&t); }
  // The earliest due timer at or before limit.
  Timer* next(std::uint64_t limit, std::uint64_t& at) {
    Timer* best = nullptr;
    for (auto& [t, d] : due_)
      if (d <= limit && (!best || d < at)) {
        best = t;
        at = d;
      }
    return best;
  }
  // A window timer keeps counting while its handler runs, so it can fire
  // again inside a nested loop of that handler; a handler that stops or
  // restarts it sets its own due time.
  void rearm(Timer& t, std::uint64_t firedAt) { due_[&t] = firedAt + std::max(1u, t.interval()); }

 private:
  const std::uint64_t& now_;
  std::map<Timer*, std::uint64_t> due_;
};

// A form's native part without a window: its timers run on the fake clock.
class HeadlessWindowSystem::HeadlessForm final : public FormNative {
 public:
  HeadlessForm(HeadlessWindowSystem& ws, Form& form) : ws_(ws), form_(form) {
    for (auto& t : form_.timers())
      if (t->enabled()) ws_.timers_->changed(*t);
  }
  void captionChanged() override {}
  void visibilityChanged(Showing) override {}
  void positionChanged() override {}
  void trayChanged() override {}
  void invalidate() override {}
  void controlChanged(Control&, Change) override {}
  void menuChanged(MenuItem&) override {}
  void timerChanged(Timer& t) override { ws_.timers_->changed(t); }
  void formGone() noexcept override {
    for (auto& t : form_.timers()) ws_.timers_->forget(*t);
    std::erase_if(ws_.hotKeys, [&](const HotKey& h) { return h.form == &form_; });
    // Nothing waits on a window here, so it goes at once.
    std::erase_if(ws_.forms_, [this](const auto& f) { return f.get() == this; });
  }

 private:
  HeadlessWindowSystem& ws_;
  Form& form_;
};

HeadlessWindowSystem::HeadlessWindowSystem()
    : uiThread_(std::this_thread::get_id()),
      timers_(std::make_unique<TimerClock>(now_)),
      queue_([this] {
        {
          const std::lock_guard lock(wakeMutex_);
          wake_ = true;
        }
        woken_.notify_all();
      }) {}

HeadlessWindowSystem::~HeadlessWindowSystem() {
  queue_.close();
}

FormNative& HeadlessWindowSystem::realize(Form& form) {
  forms_.push_back(std::make_unique<HeadlessForm>(*this, form));
  return *forms_.back();
}

void HeadlessWindowSystem::run() {
  while (!terminated_) {
    if (runPosted() == 0) advance(1);
  }
}

std::size_t HeadlessWindowSystem::runPosted() {
  return queue_.runPending([this](const std::function<void()>& work) { dispatch(work); });
}

void HeadlessWindowSystem::processMessages() {
  ++processMessagesCalls;
  advance(0);
}

void HeadlessWindowSystem::runModal(Form& form) {
  advance(0);
  if (onModal) onModal(form);
  if (form.modalResult() == ModalResult::None) form.setModalResult(ModalResult::Cancel);
}

void HeadlessWindowSystem::post(std::function<void()> work) {
  queue_.post(std::move(work));
}

void HeadlessWindowSystem::invoke(std::function<void()> work) {
  if (onUiThread()) {
    work();
    return;
  }
  queue_.invoke(std::move(work));
}

bool HeadlessWindowSystem::drain(unsigned timeoutMs) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (true) {
    while (runPosted() > 0) {
    }
    std::unique_lock lock(wakeMutex_);
    if (!woken_.wait_until(lock, until, [&] { return wake_; })) return true;
    wake_ = false;
  }
}

ModalResult HeadlessWindowSystem::messageBox(Form*, const MessageBoxRequest& request) {
  shownBoxes.push_back(request);
  ++openBoxes;
  mostOpenBoxes = std::max(mostOpenBoxes, openBoxes);
  struct Closing {
    int& open;
    ~Closing() { --open; }
  } closing{openBoxes};
  // Scripted answers go to boxes in the order they open, whatever opens
  // inside this one meanwhile.
  ModalResult answer = request.buttons == MessageButtons::YesNo ? ModalResult::No : ModalResult::OK;
  if (!boxAnswers.empty()) {
    answer = boxAnswers.front();
    boxAnswers.pop_front();
  }
  if (onMessageBox) onMessageBox(request);
  advance(boxOpenMs);
  return answer;
}

void HeadlessWindowSystem::registerHotKey(Form& form, std::uint16_t id, unsigned modifiers,
                                          unsigned virtualKey) {
  hotKeys.push_back({&form, id, modifiers, virtualKey});
}

void HeadlessWindowSystem::unregisterHotKey(Form& form, std::uint16_t id) {
  std::erase_if(hotKeys, [&](const HotKey& h) { return h.form == &form && h.id == id; });
}

void HeadlessWindowSystem::popupMenu(Form& form, Point screen) {
  popups.push_back({&form, screen});
  if (onPopupMenu) onPopupMenu(form);
}

Size HeadlessWindowSystem::outerSize(const Form& form) {
  return {form.design().clientWidth + frame.width, form.design().clientHeight + frame.height};
}

// Nested calls (a box opened by a timer's handler) move the clock on past
// the outer target; the outer loop then goes on with what is still due.
void HeadlessWindowSystem::advance(unsigned ms) {
  const std::uint64_t target = now_ + ms;
  while (true) {
    while (runPosted() > 0) {
    }
    std::uint64_t at = 0;
    Timer* t = timers_->next(std::max(target, now_), at);
    if (!t) break;
    now_ = std::max(now_, at);
    timers_->rearm(*t, now_);
    dispatch([t] { t->fire(); });
  }
  now_ = std::max(now_, target);
}

}  // namespace hv::ui
