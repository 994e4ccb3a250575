// Plain models for tests: where a pixel value sits in a row at each depth, and where each
// orientation stores a picture pixel.
#pragma once
#include <cstddef>
#include <cstdint>

namespace pixel_model {
inline constexpr int kDepths[] = {1, 2, 3, 4, 5, 6, 7, 8, 12, 16, 24, 32, 48, 64};

// Stored pixel (sx, sy) of picture pixel (px, py) for orientation code o; pw, ph: picture size.
inline void StoredOf(int o, int pw, int ph, int px, int py, int& sx, int& sy) {
  const int rx = o == 2 || o == 3 || o == 6 || o == 7 ? pw - 1 - px : px;
  const int ry = o == 3 || o == 4 || o == 7 || o == 8 ? ph - 1 - py : py;
  sx = o >= 5 ? ry : rx;
  sy = o >= 5 ? rx : ry;
}

// Bit b of pixel x is bit x * bits + b of the row. Packed depths (1 to 7) count from the top of
// each byte, the pixel's top bit first; wider pixels, 12 bits included, are little-endian.
inline int BitOf(int bits, int x, int b, size_t& byte) {
  const size_t bit = size_t(x) * bits + b;
  byte = bit / 8;
  return bits < 8 ? 7 - int(bit % 8) : int(bit % 8);
}

inline uint64_t Get(const uint8_t* row, int bits, int x) {
  uint64_t v = 0;
  for (int b = 0; b < bits; ++b) {
    size_t byte;
    const int shift = BitOf(bits, x, b, byte);
    v |= uint64_t(row[byte] >> shift & 1) << (bits < 8 ? bits - 1 - b : b);
  }
  return v;
}

inline void Put(uint8_t* row, int bits, int x, uint64_t v) {
  for (int b = 0; b < bits; ++b) {
    size_t byte;
    const int shift = BitOf(bits, x, b, byte);
    const int on = int(v >> (bits < 8 ? bits - 1 - b : b)) & 1;
    row[byte] = uint8_t((row[byte] & ~(1 << shift)) | on << shift);
  }
}
}  // namespace pixel_model
