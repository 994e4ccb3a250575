// A plain reference model of a paint, for tests: which picture pixel each destination pixel
// shows, where that pixel is stored for each orientation, and the colour the device shows for it.
// Written from the paint rules directly, one pixel at a time.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

#include "common/kernel_fixture.h"
#include "kernel/pixel_model.h"
#include "qskrn.h"

namespace paint_model {
// Stored pixel of picture pixel (px, py) for orientation code o (TIFF's Orientation tag); pw, ph
// are the picture's width and height.
inline void StoredOf(int o, int pw, int ph, int px, int py, int& sx, int& sy) {
  switch (o) {
    case 1: sx = px; sy = py; break;
    case 2: sx = pw - 1 - px; sy = py; break;
    case 3: sx = pw - 1 - px; sy = ph - 1 - py; break;
    case 4: sx = px; sy = ph - 1 - py; break;
    case 5: sx = py; sy = px; break;
    case 6: sx = py; sy = pw - 1 - px; break;
    case 7: sx = ph - 1 - py; sy = pw - 1 - px; break;
    default: sx = ph - 1 - py; sy = px; break;
  }
}

inline int PictureW(const BitmapRecord& b) { return b.Orientation >= 5 ? b.Height : b.Width; }
inline int PictureH(const BitmapRecord& b) { return b.Orientation >= 5 ? b.Width : b.Height; }

// A rectangle in stored pixels as the picture sees it.
inline RECT PictureRect(const BitmapRecord& b, const RECT& stored) {
  const int pw = PictureW(b), ph = PictureH(b);
  int minX = INT_MAX, minY = INT_MAX, maxX = INT_MIN, maxY = INT_MIN;
  for (int py = 0; py < ph; ++py) {
    for (int px = 0; px < pw; ++px) {
      int sx, sy;
      StoredOf(b.Orientation, pw, ph, px, py, sx, sy);
      if (sx < stored.left || sx >= stored.right || sy < stored.top || sy >= stored.bottom) continue;
      minX = std::min(minX, px), maxX = std::max(maxX, px), minY = std::min(minY, py), maxY = std::max(maxY, py);
    }
  }
  return RECT{minX, minY, maxX + 1, maxY + 1};
}

inline int64_t FloorDiv(int64_t a, int64_t b) { return a / b; }  // a >= 0 here

// The source pixel (picture frame) that destination pixel (x, y) shows: the left edge and the
// bottom edge anchor the stepping.
struct Mapping {
  RECT Dst, Src;  // destination top-down; source in the picture frame
  int64_t Px(int x) const {
    return Src.left + FloorDiv((int64_t(x) - Dst.left) * (Src.right - Src.left), Dst.right - Dst.left);
  }
  int64_t Py(int y) const {
    return Src.bottom - 1 - FloorDiv((int64_t(Dst.bottom) - 1 - y) * (Src.bottom - Src.top), Dst.bottom - Dst.top);
  }
};

inline uint32_t Rgb(int r, int g, int b) { return uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b); }
inline int R(uint32_t c) { return int(c >> 16 & 255); }
inline int G(uint32_t c) { return int(c >> 8 & 255); }
inline int B(uint32_t c) { return int(c & 255); }

inline uint32_t Toned(const BitmapRecord& b, int r, int g, int bl) {
  if (!(b.Flags & QS_FLAG_PAINT_LUT)) return Rgb(r, g, bl);
  return Rgb(b.PaintLUT[r], b.PaintLUT[g], b.PaintLUT[bl]);
}

inline int Widen5(uint64_t v) { return int((v << 3) | (v >> 2)) & 255; }

// Grey windowing of a 12 or 16-bit grey pixel: the top `target` bits of the window.
inline uint32_t Windowed(const BitmapRecord& b, uint64_t pixel, int target, uint32_t& mask) {
  const int low = b.WindowLowBit, high = b.WindowHighBit;
  const int n = std::min(high - low + 1, target);
  mask = (1u << n) - 1;
  return uint32_t(pixel >> (high + 1 - n)) & mask;
}

// The colour a 24-bit device shows for stored pixel (sx, sy), painted natively or converted.
inline uint32_t ShownColour(const BitmapRecord& b, int sx, int sy) {
  std::vector<uint8_t> bytes(size_t(b.BytesPerLine));
  KrnGetBitmapRow(&b, bytes.data(), sy, 0, uint32_t(bytes.size()));
  const uint8_t* row = bytes.data();
  const int bits = b.BitsPerPixel;
  const uint64_t v = pixel_model::Get(row, bits, sx);
  if (bits <= 8) {
    const RGBQUAD& e = b.Palette[v];
    return Toned(b, e.rgbRed, e.rgbGreen, e.rgbBlue);
  }
  if ((bits == 12 || bits == 16) && b.Order == 2) {
    uint32_t mask = 0;
    if (b.LUT != nullptr) {
      const uint32_t level = b.LUT[Windowed(b, v, bits, mask)] & 255;  // shown through a grey ramp
      return Rgb(level, level, level);
    }
    uint32_t level = Windowed(b, v, 8, mask) & 255;
    if (mask < 255) level = level * 255 / mask;
    return Rgb(level, level, level);
  }
  if (bits == 16) return Toned(b, Widen5(v >> 10 & 31), Widen5(v >> 5 & 31), Widen5(v & 31));
  const int step = bits >= 48 ? 2 : 1, at = bits >= 48 ? 1 : 0;
  const uint8_t* p = row + size_t(sx) * (bits / 8);
  return Toned(b, p[2 * step + at], p[step + at], p[at]);
}

// The BayerMatrix of the 8-bit ordered dither and the 3-3-2 palette.
inline const uint8_t kBayer[8][8] = {
    {0, 128, 32, 160, 8, 136, 40, 168},   {192, 64, 224, 96, 200, 72, 232, 104},
    {48, 176, 16, 144, 56, 184, 24, 152}, {236, 112, 208, 80, 244, 120, 216, 88},
    {12, 140, 44, 172, 4, 132, 36, 164},  {204, 76, 232, 108, 196, 68, 228, 100},
    {60, 188, 28, 156, 52, 180, 20, 148}, {248, 124, 220, 92, 240, 116, 212, 84}};

inline int Level(int v, int levels) { return (v * 255 * 2 + levels) / (2 * levels); }
inline uint32_t Palette332(int index) { return Rgb(Level(index >> 5, 7), Level(index >> 2 & 7, 7), Level(index & 3, 3)); }

// Ordered dither of colour c to the 3-3-2 palette with threshold t.
inline uint32_t Ordered332(const BitmapRecord& b, uint32_t c, int t) {
  const int d = (t >> 3) - 16;
  auto ch = [&](int v) { return int(b.PaintLUT[std::clamp(v + d, 0, 255)]); };
  const int r = ch(R(c)), g = ch(G(c)), bl = ch(B(c));
  return Palette332((r & 0xE0) | ((g & 0xE0) >> 3) | (bl >> 6));
}

// A bitmap of random pixels (and a random palette for 8 bits or fewer), in one block.
inline void MakeRandom(TestBitmap& t, int w, int h, int bits, int order, int orientation, uint32_t seed,
                       int memoryKind = KRN_MEMORY_ONE_BLOCK) {
  std::mt19937 rng(seed);
  std::vector<RGBQUAD> palette(256);
  for (auto& e : palette) e = RGBQUAD{uint8_t(rng()), uint8_t(rng()), uint8_t(rng()), 0};
  ASSERT_EQ(KrnAllocateBitmap(t.get(), 164, memoryKind, w, h, bits, order, bits <= 8 ? palette.data() : nullptr,
                              orientation, nullptr, 0),
            1);
  std::vector<uint8_t> row(size_t(t->BytesPerLine));
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) pixel_model::Put(row.data(), bits, x, (uint64_t(rng()) << 32 | rng()));
    KrnPutBitmapRow(t.get(), row.data(), y, 0, uint32_t(row.size()));
  }
}
}  // namespace paint_model
