// A slow, plain model of the dither kernels, written from the algorithm text: one function per
// method, reading one source pixel at a time. The oracle the kernel family is checked against.
#pragma once
#include <cstdint>
#include <vector>

#include "qsrecords.h"

struct RefArgs {
  const BitmapRecord* Bitmap;
  const uint8_t* Src;
  int X0, X1, Column, Row;
  const RGBQUAD* Palette;
  uint32_t Mode;  // DisplayMode bits 0x20 and 0x100 matter
};

// Destination rows of 1, 4 or 8 bits.
void RefDiffuse(int dstBits, const RefArgs& args, uint8_t* dst, std::vector<int32_t>& errors);
void RefOrdered(int dstBits, const RefArgs& args, uint8_t* dst);
