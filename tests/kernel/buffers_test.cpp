// Flips and quarter turns of row buffers at every depth, against a model that moves whole pixel
// values: each pixel of a buffer gets a distinct value, so any misplaced pixel shows.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "kernel/pixel_model.h"
#include "qskrn.h"

namespace {
const int kDepths[] = {1, 2, 3, 4, 5, 6, 7, 8, 12, 16, 24, 32, 48, 64};

int Stride(int bits, int width) { return ((width * bits + 31) / 32) * 4; }

struct Buffer {
  int Bits, Width, Rows, Stride;
  std::vector<uint8_t> Bytes;
  Buffer(int bits, int width, int rows) : Bits(bits), Width(width), Rows(rows), Stride(::Stride(bits, width)) {
    Bytes.assign(size_t(Stride) * rows, 0);
  }
  uint64_t At(int x, int y) const { return pixel_model::Get(Bytes.data() + size_t(y) * Stride, Bits, x); }
  void Set(int x, int y, uint64_t v) { pixel_model::Put(Bytes.data() + size_t(y) * Stride, Bits, x, v); }
};

Buffer Numbered(int bits, int width, int rows, std::mt19937& rng) {
  Buffer b(bits, width, rows);
  const uint64_t mask = bits >= 64 ? ~0ull : (1ull << bits) - 1;
  for (int y = 0; y < rows; ++y)
    for (int x = 0; x < width; ++x) b.Set(x, y, (uint64_t(rng()) << 32 | rng()) & mask);
  return b;
}
}  // namespace

TEST(FlipBuffer, ReversesRowsAndMirrorsPixelsInPlaceOrIntoACopy) {
  std::mt19937 rng(7);
  for (int bits : kDepths) {
    for (unsigned how = 0; how < 4; ++how) {
      const Buffer in = Numbered(bits, 13, 5, rng);
      Buffer copy(bits, 13, 5), inPlace = in;
      ASSERT_EQ(KrnFlipBuffer(in.Bytes.data(), copy.Bytes.data(), bits, 13, 5, in.Stride, how), 1);
      ASSERT_EQ(KrnFlipBuffer(inPlace.Bytes.data(), inPlace.Bytes.data(), bits, 13, 5, in.Stride, how), 1);
      for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 13; ++x) {
          const uint64_t want = in.At(how & 2 ? 12 - x : x, how & 1 ? 4 - y : y);
          ASSERT_EQ(copy.At(x, y), want) << "bits " << bits << " how " << how << " at " << x << "," << y;
          ASSERT_EQ(inPlace.At(x, y), want) << "in place, bits " << bits << " how " << how;
        }
      }
    }
  }
  std::vector<uint8_t> b(64);
  EXPECT_EQ(KrnFlipBuffer(b.data(), b.data(), 8, 10, 2, 8, 1), -13);  // stride shorter than a row
  EXPECT_EQ(KrnFlipBuffer(b.data(), b.data(), 8, 4, 2, 4, 4), -13);   // unknown flag
}

TEST(RotateBuffer, TurnsAQuarterEitherWay) {
  std::mt19937 rng(11);
  for (int bits : kDepths) {
    const int w = 37, h = 9;  // more than one tile across, odd sizes
    const Buffer in = Numbered(bits, w, h, rng);
    Buffer cw(bits, h, w), ccw(bits, h, w);
    ASSERT_EQ(KrnRotateBuffer(in.Bytes.data(), cw.Bytes.data(), bits, w, h, in.Stride, cw.Stride, 1), 1);
    ASSERT_EQ(KrnRotateBuffer(in.Bytes.data(), ccw.Bytes.data(), bits, w, h, in.Stride, ccw.Stride, 0), 1);
    for (int r = 0; r < w; ++r) {
      for (int c = 0; c < h; ++c) {
        ASSERT_EQ(cw.At(c, r), in.At(r, h - 1 - c)) << "clockwise, bits " << bits;
        ASSERT_EQ(ccw.At(c, r), in.At(w - 1 - r, c)) << "counterclockwise, bits " << bits;
      }
    }
    Buffer back(bits, w, h);
    ASSERT_EQ(KrnRotateBuffer(cw.Bytes.data(), back.Bytes.data(), bits, h, w, cw.Stride, back.Stride, 0), 1);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) ASSERT_EQ(back.At(x, y), in.At(x, y)) << "turned back, bits " << bits;
  }
  std::vector<uint8_t> b(64), d(64);
  EXPECT_EQ(KrnRotateBuffer(b.data(), b.data(), 8, 4, 4, 4, 4, 1), -13);  // same buffer
  EXPECT_EQ(KrnRotateBuffer(b.data(), d.data(), 8, 4, 4, 4, 4, 2), -13);  // no such direction
  EXPECT_EQ(KrnRotateBuffer(b.data(), d.data(), 8, 8, 4, 8, 2, 1), -13);  // dest rows too short
}
