#include <pthread.h>

#include "frame/thread_state.h"
#include "qskrn.h"

// A pthread key whose destructor runs as each watched thread ends and frees the thread's block.
// The key holds the block itself: by the time its destructor runs, the kernel's own slot may
// already read empty. (A thread_local object would pin the shared library in memory, so that
// unloading it would never run its detach step.)
namespace {
pthread_key_t gExitKey;
bool gKeyMade = false;
pthread_mutex_t gKeyLock = PTHREAD_MUTEX_INITIALIZER;

void OnThreadExit(void* state) { KrnMemFree(state); }
}  // namespace

void WatchThreadExit(ThreadDisplayState* state) {
  pthread_mutex_lock(&gKeyLock);
  if (!gKeyMade) gKeyMade = pthread_key_create(&gExitKey, OnThreadExit) == 0;
  const bool ready = gKeyMade;
  pthread_mutex_unlock(&gKeyLock);
  if (ready) pthread_setspecific(gExitKey, state);
}

void ForgetThreadExit() {
  if (gKeyMade) pthread_setspecific(gExitKey, nullptr);
}

void StopWatchingThreadExits() {
  pthread_mutex_lock(&gKeyLock);
  if (gKeyMade) pthread_key_delete(gExitKey);
  gKeyMade = false;
  pthread_mutex_unlock(&gKeyLock);
}
