// A plain model of how one pixel value sits in a row at each depth, for tests: packed depths of
// 1 to 7 bits fill bytes from the most significant bit; 12 bits keep the even pixel in the low
// 12 bits of the little-endian word at byte 3x/2 and the odd pixel in the high 12 bits of the
// word one byte further; wider pixels are little-endian bytes.
#pragma once
#include <cstdint>

namespace pixel_model {
inline uint64_t Get(const uint8_t* row, int bits, int x) {
  if (bits == 12) {
    const uint8_t* p = row + size_t(x) * 3 / 2;
    const unsigned word = p[0] | p[1] << 8;
    return x % 2 ? word >> 4 : word & 0xFFF;
  }
  if (bits < 8) {
    uint64_t v = 0;
    for (int b = 0; b < bits; ++b) {
      const size_t bit = size_t(x) * bits + b;
      v = v << 1 | ((row[bit / 8] >> (7 - bit % 8)) & 1);
    }
    return v;
  }
  uint64_t v = 0;
  for (int i = bits / 8 - 1; i >= 0; --i) v = v << 8 | row[size_t(x) * (bits / 8) + i];
  return v;
}

inline void Put(uint8_t* row, int bits, int x, uint64_t v) {
  if (bits == 12) {
    uint8_t* p = row + size_t(x) * 3 / 2;
    if (x % 2) {
      p[0] = uint8_t((p[0] & 0x0F) | (v & 0xF) << 4);
      p[1] = uint8_t(v >> 4);
    } else {
      p[0] = uint8_t(v);
      p[1] = uint8_t((p[1] & 0xF0) | (v >> 8 & 0xF));
    }
    return;
  }
  if (bits < 8) {
    for (int b = 0; b < bits; ++b) {
      const size_t bit = size_t(x) * bits + b;
      const int on = int(v >> (bits - 1 - b)) & 1;
      row[bit / 8] = uint8_t((row[bit / 8] & ~(0x80 >> bit % 8)) | on << (7 - bit % 8));
    }
    return;
  }
  for (int i = 0; i < bits / 8; ++i) row[size_t(x) * (bits / 8) + i] = uint8_t(v >> (8 * i));
}
}  // namespace pixel_model
