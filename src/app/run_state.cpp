#include "app/run_state.h"

namespace hv::app {
namespace {

RunState*& current() {
  static RunState* run = new RunState;
  return run;
}

}  // namespace

RunState& Run() {
  return *current();
}

void BeginNewRunForTests() {
  RunState*& run = current();
  run->notice.window.reset();
  delete run;
  run = new RunState;
}

}  // namespace hv::app
