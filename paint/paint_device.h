// Where the bands of a paint go. The paint paths are platform-free: they hand each finished band,
// a device-independent bitmap, to the device through this table. The Windows build wraps a device
// context (StretchDIBits); tests may wrap an image in memory.
#pragma once
#include <cstdint>

#include "qsrecords.h"

struct PaintDevice;

// Sends pixels (sourceX, 0) .. (sourceX + width, height) of the bitmap `bits`, described by
// `info` (a BITMAPINFOHEADER followed by its colour table), to (x, y) at the same size.
// usage: 0 RGB colours, 1 palette indices. Returns 1, or -1 when the device refuses the band.
typedef int32_t (*SendBandFn)(const PaintDevice& device, const BITMAPINFOHEADER* info, const void* bits,
                              int32_t x, int32_t y, int32_t width, int32_t height, int32_t sourceX,
                              uint32_t usage);

// The whole-bitmap transfer: the device stretches `source` (DIB coordinates, rows counted from
// the top of the picture) of the bitmap onto `dest`, showing only `clip`. Returns 1 or -1.
typedef int32_t (*StretchWholeFn)(const PaintDevice& device, const BITMAPINFOHEADER* info, const void* bits,
                                  const RECT& dest, const RECT& source, const RECT& clip, uint32_t usage);

struct PaintDevice {
  void* Handle;                 // the device context on Windows
  uint32_t Rop;                 // raster operation for every band
  bool RasterPrinter;           // bands use the thread's printer copy of the band header
  SendBandFn SendBand;
  StretchWholeFn StretchWhole;  // null: the device offers no whole-bitmap transfer
};

// Rows of the bitmap already in memory (laid out with BytesPerLine), given instead of the
// bitmap's own rows; Rows null means the bitmap's own.
struct PaintRowBand {
  const uint8_t* Rows;
  int32_t FirstRow;
  int32_t RowCount;
};
