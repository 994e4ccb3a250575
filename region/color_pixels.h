// Pixels as the colour-range regions and the magic wand see them: red, green and blue on the
// bitmap's own scale (0-255, or 0-65535 on 16-bit grey bitmaps), read one row at a time, and the
// colour arguments decoded onto the same scale.
#pragma once
#include <cstdint>

#include "qsrecords.h"

struct Channels {
  int32_t Red, Green, Blue;
  bool operator==(const Channels&) const = default;
};

// Colour argument forms: top byte 0x01 holds a palette index; bit 0x4000000 a 16-bit grey level.
inline constexpr uint32_t kColorIndexTag = 0x01000000u;
inline constexpr uint32_t kColorGray16Flag = 0x04000000u;
inline bool IsIndexColor(uint32_t colour) { return (colour >> 24) == 0x01; }

struct PixelRows {
  const BitmapRecord* Bitmap = nullptr;
  bool Gray16 = false;       // 12 or 16-bit grey compared at 16 bits
  int32_t Maximum = 255;     // the largest channel value
  int32_t IndexBits = 0;     // 1 to 8 for palette bitmaps, else 0
  RGBQUAD Palette[256]{};    // palette bitmaps: the colours, a grey ramp when none is stored
  uint32_t GrayMask = 0;     // 16-bit grey: v = (pixel >> GrayShift) & GrayMask, scaled to 65535
  int32_t GrayShift = 0;
  uint8_t* Raw = nullptr;    // one stored row
  uint32_t RawBytes = 0;
  uint32_t AccessToken = 0;
};

// True for 12 and 16-bit grey bitmaps without a window-level table in force.
bool IsGray16Bitmap(const BitmapRecord& bitmap);

// Settles how the bitmap's pixels are read, takes a row buffer and opens pixel access.
// 1, or -1 when memory runs out (nothing is then held).
int32_t OpenPixelRows(PixelRows& rows, BitmapRecord& bitmap);
void ClosePixelRows(PixelRows& rows);

// Palette bitmaps: the palette index of every pixel of stored row y. Returns a result code.
int32_t ReadIndexRow(PixelRows& rows, int32_t y, uint8_t* indices);
// Every bitmap: the colour of every pixel of stored row y. Returns a result code.
int32_t ReadChannelRow(PixelRows& rows, int32_t y, Channels* out);

// A colour argument on the scale of the bitmap: a 16-bit grey level (its top 8 bits off 16-bit
// grey bitmaps), a palette index (its palette colour; palette bitmaps only, black elsewhere) or
// a COLORREF, widened by 257 on 16-bit grey bitmaps.
Channels DecodeColor(const PixelRows& rows, uint32_t colour);
