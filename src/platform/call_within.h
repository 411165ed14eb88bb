#pragma once
// A blocking call that its caller gives up on at a deadline. The call runs on
// a thread of its own; past the deadline the caller goes on with a failure
// and the thread is left to end by itself, which it may do much later when
// the platform call it waits in is not bounded. So the work must own all it
// touches, and its result is then dropped.
#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

#include "base/error.h"

namespace hv::platform {

// Returns what work returned, or throws what it threw, when it ends before
// deadline; otherwise throws late.
template <class Result>
Result CallWithin(std::chrono::steady_clock::time_point deadline, std::function<Result()> work,
                  const Error& late) {
  struct Outcome {
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    std::optional<Result> result;
    std::exception_ptr failure;
  };
  const auto outcome = std::make_shared<Outcome>();
  try {
    std::thread([outcome, work = std::move(work)] {
      std::optional<Result> result;
      std::exception_ptr failure;
      try {
        result.emplace(work());
      } catch (...) {
        failure = std::current_exception();
      }
      const std::lock_guard lock(outcome->mutex);
      outcome->result = std::move(result);
      outcome->failure = failure;
      outcome->done = true;
      outcome->ended.notify_all();
    }).detach();
  } catch (const std::system_error&) {
    throw Error(L"No thread could be started for the exchange");
  }
  std::unique_lock lock(outcome->mutex);
  if (!outcome->ended.wait_until(lock, deadline, [&] { return outcome->done; })) throw late;
  if (outcome->failure) std::rethrow_exception(outcome->failure);
  return std::move(*outcome->result);
}

}  // namespace hv::platform
