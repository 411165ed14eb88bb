#include "ui/headless.h"

#include <algorithm>
#include <chrono>
#include <future>

namespace hv::ui {

// Due times of the enabled timers on the fake clock.
class HeadlessWindowSystem::TimerClock : public TimerPeer {
 public:
  explicit TimerClock(const std::uint64_t& now) : now_(now) {}
  void changed(Timer& t) override {
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
  void rearm(Timer& t, std::uint64_t firedAt) {
    auto it = due_.find(&t);
    // A handler that restarted the timer has set its own due time already.
    if (it != due_.end() && it->second == firedAt)
      it->second = firedAt + std::max(1u, t.interval());
  }

 private:
  const std::uint64_t& now_;
  std::map<Timer*, std::uint64_t> due_;
};

HeadlessWindowSystem::HeadlessWindowSystem()
    : uiThread_(std::this_thread::get_id()), timers_(std::make_unique<TimerClock>(now_)) {}

HeadlessWindowSystem::~HeadlessWindowSystem() = default;

void HeadlessWindowSystem::realize(Form& form) {
  for (auto& t : form.timers()) {
    t->attach(timers_.get());
    if (t->enabled()) timers_->changed(*t);
  }
}

void HeadlessWindowSystem::unrealize(Form& form) {
  for (auto& t : form.timers()) {
    timers_->forget(*t);
    t->attach(nullptr);
  }
  std::erase_if(hotKeys, [&](const HotKey& h) { return h.form == &form; });
}

void HeadlessWindowSystem::run() {
  while (!terminated_) {
    if (!runPosted()) advance(1);
  }
}

bool HeadlessWindowSystem::runPosted() {
  std::function<void()> work;
  {
    std::lock_guard lock(mutex_);
    if (queue_.empty()) return false;
    work = std::move(queue_.front());
    queue_.pop_front();
  }
  dispatch(work);
  return true;
}

void HeadlessWindowSystem::processMessages() {
  ++processMessagesCalls;
  std::size_t pending;
  {
    std::lock_guard lock(mutex_);
    pending = queue_.size();
  }
  while (pending-- > 0 && runPosted()) {
  }
}

void HeadlessWindowSystem::runModal(Form& form) {
  if (onModal) onModal(form);
  if (form.modalResult() == ModalResult::None) form.setModalResult(ModalResult::Cancel);
}

void HeadlessWindowSystem::post(std::function<void()> work) {
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(work));
  }
  posted_.notify_all();
}

void HeadlessWindowSystem::invoke(std::function<void()> work) {
  if (onUiThread()) {
    work();
    return;
  }
  auto done = std::make_shared<std::promise<void>>();
  auto result = done->get_future();
  post([work = std::move(work), done] {
    try {
      work();
      done->set_value();
    } catch (...) {
      done->set_exception(std::current_exception());
    }
  });
  result.get();
}

bool HeadlessWindowSystem::drain(unsigned timeoutMs) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (true) {
    while (runPosted()) {
    }
    std::unique_lock lock(mutex_);
    if (!posted_.wait_until(lock, until, [&] { return !queue_.empty(); })) return true;
  }
}

ModalResult HeadlessWindowSystem::messageBox(Form*, const MessageBoxRequest& request) {
  shownBoxes.push_back(request);
  if (onMessageBox) onMessageBox(request);
  if (boxAnswers.empty())
    return request.buttons == MessageButtons::YesNo ? ModalResult::No : ModalResult::OK;
  const auto answer = boxAnswers.front();
  boxAnswers.pop_front();
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

void HeadlessWindowSystem::advance(unsigned ms) {
  const std::uint64_t target = now_ + ms;
  while (true) {
    while (runPosted()) {
    }
    std::uint64_t at = 0;
    Timer* t = timers_->next(target, at);
    if (!t) break;
    now_ = at;
    dispatch([t] { t->fire(); });
    timers_->rearm(*t, at);
  }
  now_ = target;
}

}  // namespace hv::ui
