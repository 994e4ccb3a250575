#include "frame/thread_state.h"

#include <cstring>

#include "frame/library_globals.h"
#include "qskrn.h"

namespace {
// Zero at load: a thread that falls back to it paints with mode 0 and an empty header.
ThreadDisplayState gFallbackState;
}  // namespace

ThreadDisplayState* FallbackDisplayState() { return &gFallbackState; }

void FillIdentityColorTable(ThreadDisplayState& state) {
  for (uint16_t i = 0; i < 256; ++i) state.Dib.ColorTable.Indices[i] = i;
}

int32_t CreateThreadDisplayState(bool newSlot) {
  LibraryGlobals& globals = Globals();
  if (newSlot || globals.SlotIndex == -1) {
    globals.SlotIndex = KrnTlsAlloc();
    if (globals.SlotIndex == -1) return 0;
  }
  auto* state = static_cast<ThreadDisplayState*>(KrnMemAllocEx(sizeof(ThreadDisplayState), 1));
  if (state == nullptr) return 0;
  KrnTlsSetValue(globals.SlotIndex, state);
  WatchThreadExit(state);
  state->Dib.Header.biSize = sizeof(BITMAPINFOHEADER);
  state->Dib.Header.biPlanes = 1;
  state->Dib.Header.biCompression = 0;
  FillIdentityColorTable(*state);
  state->DisplayMode = kDefaultDisplayMode;
  return 1;
}

ThreadDisplayState* GetThreadDisplayState() {
  const int32_t slot = Globals().SlotIndex;
  if (slot != -1) {
    if (auto* state = static_cast<ThreadDisplayState*>(KrnTlsGetValue(slot))) return state;
  }
  if (CreateThreadDisplayState(false)) {
    if (auto* state = static_cast<ThreadDisplayState*>(KrnTlsGetValue(Globals().SlotIndex))) return state;
  }
  return &gFallbackState;
}

void ReleaseThreadDisplayState(bool processDetach) {
  LibraryGlobals& globals = Globals();
  if (globals.SlotIndex == -1) return;
  // At a process detach the calling thread's block is freed too, so that an unload leaves no
  // block behind.
  if (void* state = KrnTlsGetValue(globals.SlotIndex)) {
    KrnTlsSetValue(globals.SlotIndex, nullptr);
    ForgetThreadExit();
    KrnMemFree(state);
  }
  if (!processDetach) return;
  StopWatchingThreadExits();
  KrnTlsFree(globals.SlotIndex);
  globals.SlotIndex = -1;
}
