#include "frame/thread_state.h"

// The DLL's entry routine sees every thread detach.
void WatchThreadExit(ThreadDisplayState*) {}
void ForgetThreadExit() {}

void StopWatchingThreadExits() {}
