#include "frame/thread_state.h"

namespace {
struct ThreadExitWatch {
  bool Armed = false;
  ~ThreadExitWatch() {
    if (Armed) ReleaseThreadDisplayState(false);
  }
};
thread_local ThreadExitWatch tWatch;
}  // namespace

void WatchThreadExit() { tWatch.Armed = true; }
