#include "kernel/pixel_format.h"

#include <climits>

uint32_t PixelOffsetBytes(int32_t bitsPerPixel, int32_t x) {
  const uint32_t ux = static_cast<uint32_t>(x);
  if (bitsPerPixel == 12) return ux + (ux >> 1);
  if (bitsPerPixel < 8) return static_cast<uint32_t>((uint64_t{ux} * bitsPerPixel) >> 3);
  return ux * static_cast<uint32_t>(bitsPerPixel / 8);
}

uint32_t RowPayloadBytes(int32_t bitsPerPixel, int32_t width) {
  return static_cast<uint32_t>((uint64_t(width) * bitsPerPixel + 7) / 8);
}

int32_t PaddedRowBytes(int32_t bitsPerPixel, int32_t width) {
  const uint64_t bytes = ((uint64_t(width) * bitsPerPixel + 31) / 32) * 4;
  return bytes > INT32_MAX ? -1 : static_cast<int32_t>(bytes);
}

int32_t StorableRowBytes(int32_t bitsPerPixel, int32_t width, int32_t height) {
  if (width <= 0 || height <= 0 || !IsSupportedDepth(bitsPerPixel)) return -1;
  const int32_t stride = PaddedRowBytes(bitsPerPixel, width);
  if (stride < 0 || uint64_t(stride) * uint64_t(height) > 0x7FFFFFFFu) return -1;
  return stride;
}

bool IsSupportedDepth(int32_t bits) {
  return (bits >= 1 && bits <= 8) || bits == 12 || bits == 16 || bits == 24 || bits == 32 || bits == 48 ||
         bits == 64;
}

uint64_t LoadPixel(const uint8_t* row, int32_t bits, int32_t x) {
  if (bits < 8) {
    const uint64_t bit = uint64_t(x) * bits;
    const uint8_t* p = row + (bit >> 3);
    const uint32_t window = (uint32_t{p[0]} << 8) | ((bit & 7) + bits > 8 ? p[1] : 0);
    return (window >> (16 - (bit & 7) - bits)) & ((1u << bits) - 1);
  }
  const uint8_t* p = row + PixelOffsetBytes(bits, x);
  if (bits == 12) {
    const uint32_t word = p[0] | (uint32_t{p[1]} << 8);
    return (x & 1) ? (word >> 4) & 0xFFF : word & 0xFFF;
  }
  uint64_t value = 0;
  for (int32_t i = bits / 8 - 1; i >= 0; --i) value = (value << 8) | p[i];
  return value;
}

void StorePixel(uint8_t* row, int32_t bits, int32_t x, uint64_t value) {
  if (bits < 8) {
    const uint64_t bit = uint64_t(x) * bits;
    uint8_t* p = row + (bit >> 3);
    const uint32_t shift = 16 - (bit & 7) - bits;
    const uint32_t mask = ((1u << bits) - 1) << shift;
    const bool straddles = (bit & 7) + bits > 8;
    uint32_t window = (uint32_t{p[0]} << 8) | (straddles ? p[1] : 0);
    window = (window & ~mask) | ((static_cast<uint32_t>(value) << shift) & mask);
    p[0] = static_cast<uint8_t>(window >> 8);
    if (straddles) p[1] = static_cast<uint8_t>(window);
    return;
  }
  uint8_t* p = row + PixelOffsetBytes(bits, x);
  if (bits == 12) {
    const uint32_t v = static_cast<uint32_t>(value) & 0xFFF;
    if (x & 1) {
      p[0] = static_cast<uint8_t>((p[0] & 0x0F) | ((v & 0x0F) << 4));
      p[1] = static_cast<uint8_t>(v >> 4);
    } else {
      p[0] = static_cast<uint8_t>(v);
      p[1] = static_cast<uint8_t>((p[1] & 0xF0) | (v >> 8));
    }
    return;
  }
  for (int32_t i = 0; i < bits / 8; ++i, value >>= 8) p[i] = static_cast<uint8_t>(value);
}

namespace {
bool BlueFirst(int32_t order) { return order == 1 || order == 5; }

uint32_t Grey(uint32_t r, uint32_t g, uint32_t b) { return (2 * r + 5 * g + b + 4) >> 3; }

uint64_t NearestPaletteIndex(const BitmapRecord& bitmap, uint32_t r, uint32_t g, uint32_t b) {
  const int32_t count = bitmap.Palette ? bitmap.ColorCount : 0;
  if (count <= 0) {  // no palette: a grey ramp of the bitmap's depth
    const uint32_t levels = (1u << bitmap.BitsPerPixel) - 1;
    return (Grey(r, g, b) * levels + 127) / 255;
  }
  uint64_t best = 0;
  uint32_t bestDistance = UINT32_MAX;
  for (int32_t i = 0; i < count; ++i) {
    const RGBQUAD& e = bitmap.Palette[i];
    const int32_t dr = int32_t(r) - e.rgbRed, dg = int32_t(g) - e.rgbGreen, db = int32_t(b) - e.rgbBlue;
    const uint32_t distance = uint32_t(dr * dr + dg * dg + db * db);
    if (distance < bestDistance) {
      bestDistance = distance;
      best = uint64_t(i);
    }
  }
  return best;
}
}  // namespace

uint64_t PixelValueForColor(const BitmapRecord& bitmap, COLORREF colour) {
  const uint32_t r = colour & 0xFF, g = (colour >> 8) & 0xFF, b = (colour >> 16) & 0xFF;
  const int32_t bits = bitmap.BitsPerPixel;
  const bool blueFirst = BlueFirst(bitmap.Order);
  if (bits <= 8) {
    if ((colour >> 24) == 0x01) return colour & ((1u << bits) - 1);  // a palette index, as given
    return NearestPaletteIndex(bitmap, r, g, b);
  }
  if (bits == 12) return Grey(r, g, b) * 4095 / 255;
  if (bits == 16) {
    if (bitmap.Order == 2) return Grey(r, g, b) * 257;
    const uint64_t low = blueFirst ? b : r, high = blueFirst ? r : b;
    return (low >> 3) | (uint64_t(g >> 3) << 5) | ((high >> 3) << 10);
  }
  const uint64_t first = blueFirst ? b : r, last = blueFirst ? r : b;
  if (bits == 24 || bits == 32) return first | (uint64_t(g) << 8) | (last << 16);
  // 48 and 64 bits: 16-bit channels.
  return first * 257 | (uint64_t(g * 257) << 16) | ((last * 257) << 32);
}
