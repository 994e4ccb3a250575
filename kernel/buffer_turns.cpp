// Flipping and quarter-turning a buffer of rows, at any depth. Buffers are taken as they lie in
// memory: the first row on top, pixels left to right; rows start `stride` bytes apart.
#include <algorithm>
#include <cstring>

#include "frame/result_codes.h"
#include "kernel/pixel_format.h"
#include "qskrn.h"

namespace {
bool ValidBuffer(const void* buffer, int32_t bits, int32_t width, int32_t rows, int32_t stride) {
  return buffer != nullptr && IsSupportedDepth(bits) && width > 0 && rows > 0 && stride > 0 &&
         uint32_t(stride) >= RowPayloadBytes(bits, width);
}

template <int Bytes>
void MirrorBytes(uint8_t* row, int32_t width) {
  uint8_t* a = row;
  uint8_t* b = row + size_t(width - 1) * Bytes;
  for (; a < b; a += Bytes, b -= Bytes) {
    uint8_t t[Bytes];
    std::memcpy(t, a, Bytes);
    std::memcpy(a, b, Bytes);
    std::memcpy(b, t, Bytes);
  }
}

void MirrorRow(uint8_t* row, int32_t bits, int32_t width) {
  switch (bits) {
    case 8: MirrorBytes<1>(row, width); return;
    case 16: MirrorBytes<2>(row, width); return;
    case 24: MirrorBytes<3>(row, width); return;
    case 32: MirrorBytes<4>(row, width); return;
    case 48: MirrorBytes<6>(row, width); return;
    case 64: MirrorBytes<8>(row, width); return;
    default: break;
  }
  for (int32_t i = 0, j = width - 1; i < j; ++i, --j) {
    const uint64_t a = LoadPixel(row, bits, i), b = LoadPixel(row, bits, j);
    StorePixel(row, bits, i, b);
    StorePixel(row, bits, j, a);
  }
}

// Quarter turn of byte-sized pixels, in tiles so that both buffers are walked in cache-sized
// pieces. dest(r, c) = source(rows - 1 - c, r) clockwise, source(c, width - 1 - r) otherwise.
template <int Bytes>
void TurnBytes(const uint8_t* source, uint8_t* dest, int32_t width, int32_t rows, int32_t sourceStride,
               int32_t destStride, bool clockwise) {
  constexpr int32_t kTile = 32;
  for (int32_t r0 = 0; r0 < width; r0 += kTile) {
    const int32_t r1 = r0 + kTile < width ? r0 + kTile : width;
    for (int32_t c0 = 0; c0 < rows; c0 += kTile) {
      const int32_t c1 = c0 + kTile < rows ? c0 + kTile : rows;
      for (int32_t r = r0; r < r1; ++r) {
        uint8_t* out = dest + size_t(r) * size_t(destStride) + size_t(c0) * Bytes;
        const int32_t sx = clockwise ? r : width - 1 - r;
        for (int32_t c = c0; c < c1; ++c, out += Bytes) {
          const int32_t sy = clockwise ? rows - 1 - c : c;
          std::memcpy(out, source + size_t(sy) * size_t(sourceStride) + size_t(sx) * Bytes, Bytes);
        }
      }
    }
  }
}

void TurnPacked(const uint8_t* source, uint8_t* dest, int32_t bits, int32_t width, int32_t rows,
                int32_t sourceStride, int32_t destStride, bool clockwise) {
  for (int32_t r = 0; r < width; ++r) {
    uint8_t* out = dest + size_t(r) * size_t(destStride);
    const int32_t sx = clockwise ? r : width - 1 - r;
    for (int32_t c = 0; c < rows; ++c) {
      const int32_t sy = clockwise ? rows - 1 - c : c;
      StorePixel(out, bits, c, LoadPixel(source + size_t(sy) * size_t(sourceStride), bits, sx));
    }
  }
}
}  // namespace

// how: bit 0x1 reverses the order of the rows, bit 0x2 mirrors the pixels of each row.
// source and dest may be the same buffer. Pixels past `width` in a row's last byte are kept.
int32_t QSAPI KrnFlipBuffer(const void* source, void* dest, int32_t bitsPerPixel, int32_t width, int32_t rows,
                            int32_t stride, uint32_t how) {
  if (!ValidBuffer(source, bitsPerPixel, width, rows, stride) || dest == nullptr || (how & ~3u) != 0)
    return kResultBadArgument;
  const auto* s = static_cast<const uint8_t*>(source);
  auto* d = static_cast<uint8_t*>(dest);
  const size_t bytes = size_t(stride);
  if (how & 1) {
    if (s == d) {
      for (int32_t i = 0, j = rows - 1; i < j; ++i, --j)
        std::swap_ranges(d + size_t(i) * bytes, d + size_t(i + 1) * bytes, d + size_t(j) * bytes);
    } else {
      for (int32_t i = 0; i < rows; ++i) std::memcpy(d + size_t(i) * bytes, s + size_t(rows - 1 - i) * bytes, bytes);
    }
  } else if (s != d) {
    std::memcpy(d, s, bytes * size_t(rows));
  }
  if (how & 2)
    for (int32_t i = 0; i < rows; ++i) MirrorRow(d + size_t(i) * bytes, bitsPerPixel, width);
  return kResultOk;
}

// Turns `rows` rows of `width` pixels a quarter turn into dest, which then holds `width` rows
// of `rows` pixels, destStride bytes apart. direction 1 turns clockwise, 0 counterclockwise.
// source and dest must not overlap.
int32_t QSAPI KrnRotateBuffer(const void* source, void* dest, int32_t bitsPerPixel, int32_t width, int32_t rows,
                              int32_t sourceStride, int32_t destStride, int32_t direction) {
  if (!ValidBuffer(source, bitsPerPixel, width, rows, sourceStride) ||
      !ValidBuffer(dest, bitsPerPixel, rows, width, destStride) || (direction != 0 && direction != 1) ||
      source == dest)
    return kResultBadArgument;
  const auto* s = static_cast<const uint8_t*>(source);
  auto* d = static_cast<uint8_t*>(dest);
  const bool cw = direction == 1;
  switch (bitsPerPixel) {
    case 8: TurnBytes<1>(s, d, width, rows, sourceStride, destStride, cw); break;
    case 16: TurnBytes<2>(s, d, width, rows, sourceStride, destStride, cw); break;
    case 24: TurnBytes<3>(s, d, width, rows, sourceStride, destStride, cw); break;
    case 32: TurnBytes<4>(s, d, width, rows, sourceStride, destStride, cw); break;
    case 48: TurnBytes<6>(s, d, width, rows, sourceStride, destStride, cw); break;
    case 64: TurnBytes<8>(s, d, width, rows, sourceStride, destStride, cw); break;
    default: TurnPacked(s, d, bitsPerPixel, width, rows, sourceStride, destStride, cw); break;
  }
  return kResultOk;
}
