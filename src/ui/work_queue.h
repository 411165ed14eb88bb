#pragma once
// Work handed to the user-interface thread. Any thread queues work; the UI
// thread runs it when woken. invoke() blocks its caller until the work ran
// there, and passes the work's failure back to that caller. Once closed, the
// queue drops new work and fails every invoke that is still waiting, so a
// worker never waits for a UI thread that has gone. Free of <windows.h> (the
// wake-up is a callback), so the native tests run it too.
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>

#include "base/error.h"

namespace hv::ui {

class WorkQueue {
 public:
  // wake runs on the queuing thread after each item is queued; it must not
  // block or queue work itself.
  explicit WorkQueue(std::function<void()> wake);
  WorkQueue(const WorkQueue&) = delete;
  WorkQueue& operator=(const WorkQueue&) = delete;
  ~WorkQueue();

  void post(std::function<void()> work);
  // Blocks until runPending() ran work; rethrows what work threw, or an
  // hv::Error when the queue closed first.
  void invoke(std::function<void()> work);

  // UI thread: runs the items queued so far, posted ones through dispatch
  // (so their failures reach the error report), invoked ones directly.
  // Returns how many ran.
  std::size_t runPending(const std::function<void(const std::function<void()>&)>& dispatch);

  void close();
  bool closed() const;
  // Items queued and not yet taken.
  std::size_t pending() const;

 private:
  struct Item {
    std::function<void()> work;
    std::shared_ptr<std::promise<void>> done;  // set for invoke()
  };
  bool push(Item item);

  std::function<void()> wake_;
  mutable std::mutex mutex_;
  std::deque<Item> items_;
  bool closed_ = false;
};

inline WorkQueue::WorkQueue(std::function<void()> wake) : wake_(std::move(wake)) {}

inline WorkQueue::~WorkQueue() {
  close();
}

inline bool WorkQueue::push(Item item) {
  {
    std::lock_guard lock(mutex_);
    if (closed_) return false;
    items_.push_back(std::move(item));
    // Under the lock: once close() returned, no wake-up can reach an owner
    // that is being torn down.
    if (wake_) wake_();
  }
  return true;
}

inline void WorkQueue::post(std::function<void()> work) {
  push({std::move(work), nullptr});
}

inline void WorkQueue::invoke(std::function<void()> work) {
  auto done = std::make_shared<std::promise<void>>();
  auto result = done->get_future();
  if (!push({std::move(work), done}))
    throw Error(L"The user interface has closed; the work could not run.");
  result.get();
}

inline std::size_t WorkQueue::runPending(
    const std::function<void(const std::function<void()>&)>& dispatch) {
  std::size_t pending;
  {
    std::lock_guard lock(mutex_);
    pending = items_.size();
  }
  std::size_t ran = 0;
  // One item at a time, so work that lets messages run (and so comes back
  // here) takes the next item instead of running one twice.
  while (ran < pending) {
    Item item;
    {
      std::lock_guard lock(mutex_);
      if (items_.empty()) break;
      item = std::move(items_.front());
      items_.pop_front();
    }
    ++ran;
    if (!item.done) {
      dispatch(item.work);
      continue;
    }
    try {
      item.work();
      item.done->set_value();
    } catch (...) {
      item.done->set_exception(std::current_exception());
    }
  }
  return ran;
}

inline void WorkQueue::close() {
  std::deque<Item> dropped;
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
    dropped.swap(items_);
  }
  for (auto& item : dropped)
    if (item.done)
      item.done->set_exception(std::make_exception_ptr(
          Error(L"The user interface has closed; the work could not run.")));
}

inline std::size_t WorkQueue::pending() const {
  std::lock_guard lock(mutex_);
  return items_.size();
}

inline bool WorkQueue::closed() const {
  std::lock_guard lock(mutex_);
  return closed_;
}

}  // namespace hv::ui
