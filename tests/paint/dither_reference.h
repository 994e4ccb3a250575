// A slow, plain model of the dither kernels, written straight from the algorithm text: one
// function per method and destination depth, reading one source pixel at a time. It is the
// oracle the kernel family is checked against.
#pragma once
#include <cstdint>
#include <vector>

#include "qsrecords.h"

struct RefRgb {
  int r, g, b;
};

// Source pixel x of a row as red, green, blue (palette sources through `palette`).
RefRgb RefReadPixel(const BitmapRecord& bitmap, const uint8_t* row, int x, const RGBQUAD* palette);

// Destination pixel i of a packed row (1, 4 or 8 bits) and its store (masking in its own bits).
int RefGetPixel(const uint8_t* row, int bits, int i);
void RefPutPixel(uint8_t* row, int bits, int i, int value);

struct RefArgs {
  const BitmapRecord* Bitmap;
  const uint8_t* Src;
  int X0, X1;
  int Column, Row;
  const RGBQUAD* Palette;
  uint32_t Mode;  // DisplayMode bits 0x20 and 0x100 matter
};

void RefDiffuse(int dstBits, const RefArgs& args, uint8_t* dst, std::vector<int32_t>& errors);
void RefOrdered(int dstBits, const RefArgs& args, uint8_t* dst);
