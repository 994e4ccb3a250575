#include "dither_reference.h"

#include "paint/dither_matrices.h"
#include "paint/fixed_palettes.h"
#include "qskrn.h"

namespace {
int Clamp(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

// Bit by bit, most significant first.
unsigned PackedValue(const uint8_t* row, int bits, int x) {
  unsigned v = 0;
  for (int k = 0; k < bits; ++k) {
    const long bit = long(x) * bits + k;
    v = (v << 1) | ((row[bit / 8] >> (7 - bit % 8)) & 1);
  }
  return v;
}

// Deep grey: windowed, then the window-level colour, or the value widened to a byte.
RefRgb Grey(const BitmapRecord& bitmap, unsigned pixel) {
  int32_t n = 0, shift = 0;
  uint32_t mask = 0;
  KrnGetGrayWindow(bitmap.BitsPerPixel, bitmap.LUT ? bitmap.BitsPerPixel : 8, bitmap.WindowLowBit,
                   bitmap.WindowHighBit, &n, &mask, &shift);
  unsigned v = (pixel >> shift) & mask;
  if (bitmap.LUT) {
    if (v >= unsigned(bitmap.LUTLength)) v = bitmap.LUTLength - 1;
    const uint32_t c = bitmap.LUT[v];
    return {int((c >> 16) & 255), int((c >> 8) & 255), int(c & 255)};
  }
  if (n < 8) v = v << (8 - n);
  v &= 255;
  return {int(v), int(v), int(v)};
}

int Widen(unsigned v) { return int((v << 3) | (v >> 2)); }

RefRgb InOrder(const BitmapRecord& bitmap, int first, int second, int third) {
  if (bitmap.Order == 1 || bitmap.Order == 5) return {third, second, first};
  return {first, second, third};
}

int Gray(int r, int g, int b) { return (2 * r + 5 * g + b + 4) >> 3; }

int Channel(const RGBQUAD& q, int c) { return c == 0 ? q.rgbRed : (c == 1 ? q.rgbGreen : q.rgbBlue); }

// The 8-bit index of three toned channels.
int Index8(int r, int g, int b, bool cube) {
  if (cube) return 36 * (r / 51) + 6 * (g / 51) + b / 51;
  return (r & 0xE0) | ((g & 0xE0) >> 3) | (b >> 6);
}
}  // namespace

RefRgb RefReadPixel(const BitmapRecord& bitmap, const uint8_t* row, int x, const RGBQUAD* palette) {
  const int bits = bitmap.BitsPerPixel;
  if (bits <= 8) {
    const RGBQUAD& e = palette[PackedValue(row, bits, x)];
    return {e.rgbRed, e.rgbGreen, e.rgbBlue};
  }
  if (bits == 12) {
    const int offset = x + x / 2;
    const unsigned word = row[offset] | (row[offset + 1] << 8);
    return Grey(bitmap, x % 2 ? word >> 4 : word & 0xFFF);
  }
  if (bits == 16) {
    const unsigned word = row[2 * x] | (row[2 * x + 1] << 8);
    if (bitmap.Order == 2) return Grey(bitmap, word);
    return InOrder(bitmap, Widen(word & 31), Widen((word >> 5) & 31), Widen((word >> 10) & 31));
  }
  const uint8_t* p = row + long(x) * (bits / 8);
  if (bits == 24 || bits == 32) return InOrder(bitmap, p[0], p[1], p[2]);
  return InOrder(bitmap, p[1], p[3], p[5]);
}

int RefGetPixel(const uint8_t* row, int bits, int i) {
  if (bits == 8) return row[i];
  if (bits == 4) return i % 2 ? row[i / 2] & 15 : row[i / 2] >> 4;
  return (row[i / 8] >> (7 - i % 8)) & 1;
}

void RefPutPixel(uint8_t* row, int bits, int i, int value) {
  if (bits == 8) {
    row[i] = uint8_t(value);
  } else if (bits == 4) {
    row[i / 2] = i % 2 ? uint8_t((row[i / 2] & 0xF0) | value) : uint8_t((row[i / 2] & 0x0F) | (value << 4));
  } else {
    const int bit = 7 - i % 8;
    row[i / 8] = uint8_t((row[i / 8] & ~(1 << bit)) | (value << bit));
  }
}

void RefDiffuse(int dstBits, const RefArgs& a, uint8_t* dst, std::vector<int32_t>& E) {
  const BitmapRecord& bitmap = *a.Bitmap;
  const uint8_t* lut = bitmap.PaintLUT;
  const bool cube = (a.Mode & 0x100) != 0;
  if (a.X0 >= a.X1) return;
  int e[3] = {E[3 * a.X0], E[3 * a.X0 + 1], E[3 * a.X0 + 2]};
  for (int x = a.X0; x < a.X1; ++x) {
    const RefRgb s = RefReadPixel(bitmap, a.Src, x, a.Palette);
    const int in[3] = {s.r, s.g, s.b};
    int c[3];
    for (int k = 0; k < 3; ++k) c[k] = Clamp(in[k] + e[k] / 16);
    int index = 0;
    int compared[3];
    RGBQUAD p{};
    if (dstBits == 1) {
      index = lut[Gray(c[0], c[1], c[2])] >> 7;
      p = FixedPalette2[index];
      for (int k = 0; k < 3; ++k) compared[k] = c[k];
    } else {
      for (int k = 0; k < 3; ++k) compared[k] = lut[c[k]];
      if (dstBits == 4) {
        index = (compared[0] >> 7) + 2 * (compared[1] >> 7) + 4 * (compared[2] >> 7);
        if (index != 0) index += 8;
        p = FixedPalette16[index];
      } else {
        index = Index8(compared[0], compared[1], compared[2], cube);
        p = cube ? FixedPaletteCube[index] : FixedPalette332[index];
      }
    }
    RefPutPixel(dst, dstBits, x - a.X0, index);
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
  const BitmapRecord& bitmap = *a.Bitmap;
  const uint8_t* lut = bitmap.PaintLUT;
  const bool cube = (a.Mode & 0x100) != 0;
  const bool cluster = (a.Mode & 0x20) != 0;
  for (int x = a.X0; x < a.X1; ++x) {
    const int column = a.Column + (x - a.X0);
    const RefRgb s = RefReadPixel(bitmap, a.Src, x, a.Palette);
    int index = 0;
    if (dstBits == 1) {
      const int t = (cluster ? ClusterMatrix : BayerMatrix)[a.Row & 7][column & 7];
      index = lut[Gray(s.r, s.g, s.b)] > t ? 1 : 0;
    } else if (dstBits == 4) {
      const int t = BayerMatrix[a.Row & 7][column & 7];
      index = (lut[s.r] > t) + 2 * (lut[s.g] > t) + 4 * (lut[s.b] > t);
      if (index != 0) index += 8;
    } else {
      const int t = BayerMatrix[a.Row & 7][column & 7];
      const int d = cube ? t / 6 - 21 : (t >> 3) - 16;
      index = Index8(lut[Clamp(s.r + d)], lut[Clamp(s.g + d)], lut[Clamp(s.b + d)], cube);
    }
    RefPutPixel(dst, dstBits, x - a.X0, index);
  }
}
