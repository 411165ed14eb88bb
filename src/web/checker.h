#pragma once
// TChecker runs the update check on its own thread; the main window's
// TimerChecker starts it and polls for its end.
#include "web/update_check.h"

namespace hv::web {

class TChecker {
 public:
  // Starts the thread at once; it frees itself when done and nobody waits
  // for it. It takes this run's shares with it, and keeps the context's
  // platform objects alive through its platformOwner; without one, they
  // must outlive the thread.
  static void Start(UpdateCheckContext context);
  // Threads started and not yet finished.
  static int Running();

 private:
  TChecker(UpdateCheckContext context, UpdateCheckShares shares)
      : context_(std::move(context)), shares_(std::move(shares)) {}
  void Execute();
  UpdateCheckContext context_;
  UpdateCheckShares shares_;
};

}  // namespace hv::web
