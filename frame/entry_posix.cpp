// The host build's entry routine: the same attach and detach steps run at library load and
// unload; thread exits are seen by the thread state itself (thread_exit_posix.cpp).
#include <cstdio>
#include <cstdlib>

#include "frame/library_state.h"

namespace {
__attribute__((constructor)) void OnLoad() {
  if (!FrameProcessAttach(nullptr)) {
    std::fputs("qsdisp: cannot set up the display state\n", stderr);
    std::abort();
  }
}

__attribute__((destructor)) void OnUnload() {
  FrameProcessDetach();
}
}  // namespace

