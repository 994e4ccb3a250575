#include "dither_reference.h"

#include <array>

#include "kernel/pixel_model.h"
#include "paint/dither_matrices.h"
#include "paint/fixed_palettes.h"
#include "qskrn.h"

namespace {
using Rgb = std::array<int, 3>;

int Clamp(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }
int Widen(unsigned v) { return int((v << 3) | (v >> 2)); }
int Gray(const Rgb& c) { return (2 * c[0] + 5 * c[1] + c[2] + 4) >> 3; }
int Channel(const RGBQUAD& q, int c) { return c == 0 ? q.rgbRed : (c == 1 ? q.rgbGreen : q.rgbBlue); }

// Deep grey: windowed, then the window-level colour, or the value widened to a byte.
Rgb Grey(const BitmapRecord& bitmap, unsigned pixel) {
  int32_t n = 0, shift = 0;
  uint32_t mask = 0;
  KrnGetGrayWindow(bitmap.BitsPerPixel, bitmap.LUT ? bitmap.BitsPerPixel : 8, bitmap.WindowLowBit, bitmap.WindowHighBit,
                   &n, &mask, &shift);
  unsigned v = (pixel >> shift) & mask;
  if (bitmap.LUT) {
    const uint32_t c = bitmap.LUT[v >= unsigned(bitmap.LUTLength) ? bitmap.LUTLength - 1 : v];
    return {int((c >> 16) & 255), int((c >> 8) & 255), int(c & 255)};
  }
  v = (n < 8 ? v << (8 - n) : v) & 255;
  return {int(v), int(v), int(v)};
}

Rgb InOrder(const BitmapRecord& bitmap, int first, int second, int third) {
  if (bitmap.Order == 1 || bitmap.Order == 5) return {third, second, first};
  return {first, second, third};
}

// Source pixel x of a row as red, green, blue (palette sources through `palette`).
Rgb ReadPixel(const BitmapRecord& bitmap, const uint8_t* row, int x, const RGBQUAD* palette) {
  const int bits = bitmap.BitsPerPixel;
  if (bits <= 16) {
    const auto v = unsigned(pixel_model::Get(row, bits, x));
    if (bits <= 8) return {palette[v].rgbRed, palette[v].rgbGreen, palette[v].rgbBlue};
    if (bits == 12 || bitmap.Order == 2) return Grey(bitmap, v);
    return InOrder(bitmap, Widen(v & 31), Widen((v >> 5) & 31), Widen((v >> 10) & 31));
  }
  const uint8_t* p = row + long(x) * (bits / 8);
  if (bits == 24 || bits == 32) return InOrder(bitmap, p[0], p[1], p[2]);
  return InOrder(bitmap, p[1], p[3], p[5]);
}

// The 8-bit index of three toned channels.
int Index8(int r, int g, int b, bool cube) {
  if (cube) return 36 * (r / 51) + 6 * (g / 51) + b / 51;
  return (r & 0xE0) | ((g & 0xE0) >> 3) | (b >> 6);
}

// The 4-bit index: black, or one of the eight bright colours.
int Index4(int r, int g, int b) {
  const int index = (r >> 7) + 2 * (g >> 7) + 4 * (b >> 7);
  return index ? index + 8 : 0;
}
}  // namespace

void RefDiffuse(int dstBits, const RefArgs& a, uint8_t* dst, std::vector<int32_t>& E) {
  const uint8_t* lut = a.Bitmap->PaintLUT;
  const bool cube = (a.Mode & 0x100) != 0;
  if (a.X0 >= a.X1) return;
  int e[3] = {E[3 * a.X0], E[3 * a.X0 + 1], E[3 * a.X0 + 2]};
  for (int x = a.X0; x < a.X1; ++x) {
    const Rgb s = ReadPixel(*a.Bitmap, a.Src, x, a.Palette);
    Rgb c, compared;
    for (int k = 0; k < 3; ++k) c[k] = Clamp(s[k] + e[k] / 16);
    int index = 0;
    RGBQUAD p{};
    if (dstBits == 1) {
      index = lut[Gray(c)] >> 7;
      p = FixedPalette2[index];
      compared = c;
    } else {
      for (int k = 0; k < 3; ++k) compared[k] = lut[c[k]];
      if (dstBits == 4) {
        index = Index4(compared[0], compared[1], compared[2]);
        p = FixedPalette16[index];
      } else {
        index = Index8(compared[0], compared[1], compared[2], cube);
        p = cube ? FixedPaletteCube[index] : FixedPalette332[index];
      }
    }
    pixel_model::Put(dst, dstBits, x - a.X0, uint64_t(index));
    for (int k = 0; k < 3; ++k) {
      const int err = compared[k] - Channel(p, k);
      if (x < a.X1 - 1) {
        e[k] = E[3 * (x + 1) + k] + 7 * err;
        E[3 * (x + 1) + k] = err;
      }
      if (x == a.X0) {
        E[3 * x + k] = 5 * err;
      } else {
        E[3 * x + k] += 5 * err;
        E[3 * (x - 1) + k] += 3 * err;
      }
    }
  }
}

void RefOrdered(int dstBits, const RefArgs& a, uint8_t* dst) {
  const uint8_t* lut = a.Bitmap->PaintLUT;
  const bool cube = (a.Mode & 0x100) != 0, cluster = (a.Mode & 0x20) != 0;
  for (int x = a.X0; x < a.X1; ++x) {
    const int column = a.Column + (x - a.X0);
    const Rgb s = ReadPixel(*a.Bitmap, a.Src, x, a.Palette);
    const int t = (dstBits == 1 && cluster ? ClusterMatrix : BayerMatrix)[a.Row & 7][column & 7];
    int index = 0;
    if (dstBits == 1) {
      index = lut[Gray(s)] > t ? 1 : 0;
    } else if (dstBits == 4) {
      index = (lut[s[0]] > t) + 2 * (lut[s[1]] > t) + 4 * (lut[s[2]] > t);
      index = index ? index + 8 : 0;
    } else {
      const int d = cube ? t / 6 - 21 : (t >> 3) - 16;
      index = Index8(lut[Clamp(s[0] + d)], lut[Clamp(s[1] + d)], lut[Clamp(s[2] + d)], cube);
    }
    pixel_model::Put(dst, dstBits, x - a.X0, uint64_t(index));
  }
}
