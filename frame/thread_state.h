// The per-thread display state: the display-mode word and a scratch bitmap header with its
// colour table, which every paint of the thread fills in. One block per thread, made on first use.
#pragma once
#include <cstddef>
#include <cstdint>

#include "qsrecords.h"

inline constexpr uint32_t kDefaultDisplayMode = 0x0C;
inline constexpr uint32_t kModePaletteIndices = 0x04;

// A DIB header followed by its 256-entry colour table. At creation the table holds the 16-bit
// palette indices 0..255 (the palette-index form); a paint may write colour quads over it.
struct DibHeaderWithTable {
  BITMAPINFOHEADER Header;
  union {
    RGBQUAD Quads[256];
    uint16_t Indices[512];
  } ColorTable;
};

struct ThreadDisplayState {
  uint32_t Unused0;
  DibHeaderWithTable Dib;         // DibHeader and ColorTable
  DibHeaderWithTable PrinterDib;  // copy used when painting to a raster printer
  uint32_t DisplayMode;
  uint8_t Unused2136[16];
};

static_assert(sizeof(BITMAPINFOHEADER) == 40);
static_assert(offsetof(ThreadDisplayState, Dib) == 4);
static_assert(offsetof(ThreadDisplayState, Dib.ColorTable) == 44);
static_assert(offsetof(ThreadDisplayState, PrinterDib) == 1068);
static_assert(offsetof(ThreadDisplayState, DisplayMode) == 2132);
static_assert(sizeof(ThreadDisplayState) == 2152);

// The calling thread's block, made on demand; the shared fallback block when it cannot be made.
ThreadDisplayState* GetThreadDisplayState();
// 1 on success, 0 when the slot or the block cannot be allocated.
int32_t CreateThreadDisplayState(bool newSlot);
void ReleaseThreadDisplayState(bool processDetach);
// Fills the colour table with the palette indices 0..255.
void FillIdentityColorTable(ThreadDisplayState& state);
// The block every thread without its own block shares.
ThreadDisplayState* FallbackDisplayState();
// Arranges for the calling thread's block to be released when the thread ends, where the
// platform has no thread-detach notification of its own.
void WatchThreadExit(ThreadDisplayState* state);
// The calling thread's block was freed already: nothing to do at its exit.
void ForgetThreadExit();
// Stops the thread-exit watch before the library goes away.
void StopWatchingThreadExits();
