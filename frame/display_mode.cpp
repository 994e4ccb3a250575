#include "frame/thread_state.h"
#include "qsdisp.h"

uint32_t QSAPI Q_SetDisplayMode(uint32_t mask, uint32_t value) {
  ThreadDisplayState* state = GetThreadDisplayState();
  const uint32_t old = state->DisplayMode;
  state->DisplayMode = (old & ~mask) | (mask & value);
  // Turning palette-index painting on (whatever the mask) restores the index table.
  if ((old & kModePaletteIndices) == 0 && (value & kModePaletteIndices) != 0) FillIdentityColorTable(*state);
  return old;
}

uint32_t QSAPI Q_GetDisplayMode(void) { return GetThreadDisplayState()->DisplayMode; }
