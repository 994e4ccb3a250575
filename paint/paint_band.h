// The band of a paint: up to 262144 bytes of output lines (plus one line), sent to the device
// as one device-independent bitmap through the calling thread's band header. Lines that are
// destination rows are already in bottom-up bitmap order; lines that are destination columns
// are turned into rows before the band is sent.
#pragma once
#include <cstdint>

#include "frame/thread_state.h"
#include "paint/paint_device.h"
#include "paint/paint_geometry.h"

inline constexpr int32_t kBandBytes = 262144;

struct PaintBand {
  const PaintDevice* Device;
  const PaintGeometry* Geometry;
  DibHeaderWithTable* Info;  // the thread's header, or its printer copy
  uint32_t Usage;            // 0 RGB colours, 1 palette indices
  int32_t OutBits;
  int32_t Skip;              // leading pixels of each line that the device skips
  int32_t LineBytes;         // stride of one line
  int32_t Capacity;          // lines per band
  uint8_t* Lines;
  uint8_t* Turned;           // columns turned into rows; only when lines are columns
  int32_t TurnedStride;
  int32_t Held;              // lines in the band now
  int32_t FirstLine;         // paint line index of the band's first line
};

// Row stride of a device-independent bitmap row.
inline int32_t DibStride(int32_t bits, int32_t width) {
  return int32_t(((int64_t(bits) * width + 31) >> 3) & ~int64_t(3));
}

// Chooses the thread's header (its printer copy for raster printers) and fills the colour table
// for output of outBits bits: palette indices with mode bit 0x4; otherwise the grey levels of
// the tone table when greyRamp is set, else the row palette of path kind `pathKind`.
void PrepareBandHeader(PaintBand& band, const PaintDevice& device, const BitmapRecord& bitmap, int32_t pathKind,
                       int32_t outBits, uint32_t mode, bool greyRamp);
// Allocates the band for the geometry's lines at outBits bits, each line starting `skip` pixels
// before its first shown pixel. Returns 1 or -1.
int32_t OpenBand(PaintBand& band, const PaintGeometry& g, int32_t skip);
inline uint8_t* CurrentLine(PaintBand& band) { return band.Lines + size_t(band.Held) * size_t(band.LineBytes); }
// Counts the current line in; sends the band when full. Returns 1 or -1.
int32_t CommitLine(PaintBand& band);
// Sends the lines held (none: nothing happens). Returns 1 or -1.
int32_t FlushBand(PaintBand& band);
void CloseBand(PaintBand& band);
