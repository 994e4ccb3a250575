// Colours of a bitmap record as a viewer sees them, read through the kernel's row access, for
// comparing conversions with the pictures they came from.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "qskrn.h"

using Rgb = std::array<uint8_t, 3>;  // red, green, blue

// A channel coded by a contiguous mask, widened to 8 bits with rounding.
inline uint8_t MaskChannel(uint32_t v, uint32_t mask) {
  int shift = 0;
  while (!((mask >> shift) & 1)) ++shift;
  const uint32_t max = mask >> shift;
  return uint8_t((uint64_t((v & mask) >> shift) * 255 + max / 2) / max);
}

// The colour at (x, y) of the upright picture of a record of orientation 1 or 4: palette
// entries up to 8 bits, 5-5-5 at 16, blue first at 24 and 32 bits unless Order is 0.
inline Rgb RecordColorAt(BitmapRecord* b, int32_t x, int32_t y) {
  const int32_t row = b->Orientation == 4 ? b->Height - 1 - y : y;
  std::vector<uint8_t> line(size_t(b->BytesPerLine));
  EXPECT_GT(KrnGetBitmapRow(b, line.data(), row, 0, uint32_t(line.size())), 0);
  const int32_t bits = b->BitsPerPixel;
  if (bits <= 8) {
    const uint32_t index = (line[size_t(x * bits / 8)] >> (8 - bits - x * bits % 8)) & ((1u << bits) - 1);
    const RGBQUAD& e = b->Palette[index];
    return {e.rgbRed, e.rgbGreen, e.rgbBlue};
  }
  const uint8_t* p = &line[size_t(x * (bits / 8))];
  if (bits == 16) {
    const uint32_t v = p[0] | (p[1] << 8);
    return {MaskChannel(v, 0x7C00), MaskChannel(v, 0x3E0), MaskChannel(v, 0x1F)};
  }
  return b->Order == 0 ? Rgb{p[0], p[1], p[2]} : Rgb{p[2], p[1], p[0]};
}
