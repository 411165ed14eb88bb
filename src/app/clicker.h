#pragma once
// TClicker: the thread of the start-up press. It runs one query away from
// the user-interface thread and hands its one result back through the
// window system's queue; it never waits for that thread. Its owner waits
// for it when it goes, which the query's own deadline bounds, and a result
// that arrives after the owner went is dropped.
#include <functional>
#include <memory>
#include <thread>

#include "ui/window_system.h"

namespace hv::app {

template <class Result>
class TClicker {
 public:
  explicit TClicker(ui::WindowSystem& windows) : windows_(windows) {}
  TClicker(const TClicker&) = delete;
  TClicker& operator=(const TClicker&) = delete;
  ~TClicker() { wait(); }

  // work runs on the new thread; done runs later on the UI thread with its
  // result. The previous run must have handed its result over already.
  void start(std::function<Result()> work, std::function<void(const Result&)> done) {
    wait();
    thread_ = std::thread([this, work = std::move(work), done = std::move(done),
                           alive = std::weak_ptr<const bool>(alive_)] {
      Result result = work();
      windows_.post([result = std::move(result), done, alive] {
        if (!alive.expired()) done(result);
      });
    });
  }

 private:
  void wait() {
    if (thread_.joinable()) thread_.join();
  }

  ui::WindowSystem& windows_;
  // Gone with the owner; the posted result checks it on the UI thread.
  std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
  std::thread thread_;
};

}  // namespace hv::app
