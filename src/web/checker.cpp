#include "web/checker.h"

#include <atomic>
#include <memory>
#include <thread>

namespace hv::web {
namespace {

// Checks started and not yet finished; each thread counts itself out.
std::atomic<int> gRunning{0};

}  // namespace

void TChecker::Start(UpdateCheckContext context) {
  std::unique_ptr<TChecker> checker(new TChecker(std::move(context), CurrentUpdateCheckShares()));
  gRunning.fetch_add(1);
  try {
    std::thread([self = checker.get()] {
      self->Execute();
      delete self;
      gRunning.fetch_sub(1);
    }).detach();
  } catch (...) {
    gRunning.fetch_sub(1);
    throw;
  }
  checker.release();
}

int TChecker::Running() {
  return gRunning.load();
}

void TChecker::Execute() {
  UpdateCheckState& results = *shares_.results;
  ClearCheckDone(results);
  // Nothing may leave a thread; what the check did not expect goes into its
  // own silent log.
  try {
    CheckForUpdate(context_, shares_);
  } catch (const std::exception& e) {
    LogCheckError(results, DescribeUnexpected(e));
  }
}

}  // namespace hv::web
