// Row and buffer pixel services against a model that moves whole pixel values (each pixel random,
// so a misplaced one shows): flips, quarter turns, horizontal stepping, channel reordering; and the
// window of significant bits of deep grey pixels.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "kernel/pixel_model.h"
#include "qskrn.h"

using pixel_model::Get;

namespace {
struct Buffer {
  int Bits, Stride;
  std::vector<uint8_t> Bytes;
  Buffer(int bits, int width, int rows)
      : Bits(bits), Stride((width * bits + 31) / 32 * 4), Bytes(size_t(Stride) * rows) {}
  uint64_t At(int x, int y) const { return Get(Bytes.data() + size_t(y) * Stride, Bits, x); }
};

Buffer Random(int bits, int width, int rows, std::mt19937& rng) {
  Buffer b(bits, width, rows);
  for (int y = 0; y < rows; ++y)
    for (int x = 0; x < width; ++x)
      pixel_model::Put(b.Bytes.data() + size_t(y) * b.Stride, bits, x, uint64_t(rng()) << 32 | rng());
  return b;
}
}  // namespace

TEST(FlipBuffer, ReversesRowsAndMirrorsPixelsInPlaceOrIntoACopy) {
  std::mt19937 rng(7);
  for (int bits : pixel_model::kDepths) {
    for (unsigned how = 0; how < 4; ++how) {
      const Buffer in = Random(bits, 13, 5, rng);
      Buffer copy(bits, 13, 5), inPlace = in;
      ASSERT_EQ(KrnFlipBuffer(in.Bytes.data(), copy.Bytes.data(), bits, 13, 5, in.Stride, how), 1);
      ASSERT_EQ(KrnFlipBuffer(inPlace.Bytes.data(), inPlace.Bytes.data(), bits, 13, 5, in.Stride, how), 1);
      for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 13; ++x) {
          const uint64_t want = in.At(how & 2 ? 12 - x : x, how & 1 ? 4 - y : y);
          ASSERT_TRUE(copy.At(x, y) == want && inPlace.At(x, y) == want)
              << "bits " << bits << " how " << how << " at " << x << "," << y;
        }
    }
  }
  std::vector<uint8_t> b(64);
  EXPECT_EQ(KrnFlipBuffer(b.data(), b.data(), 8, 10, 2, 8, 1), -13);  // stride shorter than a row
  EXPECT_EQ(KrnFlipBuffer(b.data(), b.data(), 8, 4, 2, 4, 4), -13);   // unknown flag
}

TEST(RotateBuffer, TurnsAQuarterEitherWay) {
  std::mt19937 rng(11);
  const int w = 37, h = 9;  // more than one tile across, odd sizes
  for (int bits : pixel_model::kDepths) {
    const Buffer in = Random(bits, w, h, rng);
    Buffer cw(bits, h, w), ccw(bits, h, w), back(bits, w, h);
    ASSERT_EQ(KrnRotateBuffer(in.Bytes.data(), cw.Bytes.data(), bits, w, h, in.Stride, cw.Stride, 1), 1);
    ASSERT_EQ(KrnRotateBuffer(in.Bytes.data(), ccw.Bytes.data(), bits, w, h, in.Stride, ccw.Stride, 0), 1);
    ASSERT_EQ(KrnRotateBuffer(cw.Bytes.data(), back.Bytes.data(), bits, h, w, cw.Stride, back.Stride, 0), 1);
    for (int r = 0; r < w; ++r)
      for (int c = 0; c < h; ++c) {
        ASSERT_EQ(cw.At(c, r), in.At(r, h - 1 - c)) << "clockwise, bits " << bits;
        ASSERT_EQ(ccw.At(c, r), in.At(w - 1 - r, c)) << "counterclockwise, bits " << bits;
        ASSERT_EQ(back.At(r, c), in.At(r, c)) << "turned back, bits " << bits;
      }
  }
  std::vector<uint8_t> b(64), d(64);
  EXPECT_EQ(KrnRotateBuffer(b.data(), b.data(), 8, 4, 4, 4, 4, 1), -13);  // same buffer
  EXPECT_EQ(KrnRotateBuffer(b.data(), d.data(), 8, 4, 4, 4, 4, 2), -13);  // no such direction
  EXPECT_EQ(KrnRotateBuffer(b.data(), d.data(), 8, 8, 4, 8, 2, 1), -13);  // dest rows too short
}

TEST(ConvertRow, PicksTheSteppedPixelsAtEveryDepth) {
  std::mt19937 rng(20240601);
  for (int bits : pixel_model::kDepths) {
    for (int trial = 0; trial < 60; ++trial) {
      const int width = 1 + int(rng() % 90), count = 1 + int(rng() % 70), d = 1 + int(rng() % 50);
      const int q = int(rng() % 3);
      const int r = int(rng() % (d + 1));  // r = d is the exact-enlargement form
      const int start = int(rng() % d), dir = rng() % 2 ? 1 : -1;
      const int64_t span = int64_t(count - 1) * q + (start + int64_t(count - 1) * r) / d;
      if (span >= width) continue;
      const int first = dir > 0 ? int(rng() % (width - span)) : int(span + rng() % (width - span));
      std::vector<uint8_t> in(size_t(width) * bits / 8 + 16), out(size_t(count) * 8 + 8, 0xEE);
      for (auto& b : in) b = uint8_t(rng());
      ASSERT_EQ(KrnConvertRow(in.data(), out.data(), bits, first, count, dir, q, r, d, start), 1);
      for (int i = 0; i < count; ++i) {
        const int64_t x = first + dir * (int64_t(i) * q + (start + int64_t(i) * r) / d);
        ASSERT_EQ(Get(out.data(), bits, i), Get(in.data(), bits, int(x)))
            << "bits " << bits << " trial " << trial << " pixel " << i << " from " << x;
      }
      if (bits < 8 && count * bits % 8 != 0) {
        EXPECT_EQ(out[size_t(count) * bits / 8] & (0xFF >> (count * bits % 8)), 0) << "unused bits of the last byte";
      }
    }
  }
}

TEST(ConvertRow, RefusesWalksOutsideItsRules) {
  std::vector<uint8_t> in(64), out(64);
  auto convert = [&](int bits, int first, int dir, int r, int d, int start) {
    return KrnConvertRow(in.data(), out.data(), bits, first, 4, dir, 1, r, d, start);
  };
  EXPECT_EQ(convert(9, 0, 1, 0, 1, 0), -13);   // no such depth
  EXPECT_EQ(convert(8, 0, 0, 0, 1, 0), -13);   // no direction
  EXPECT_EQ(convert(8, 0, 1, 3, 2, 0), -13);   // remainder above the denominator
  EXPECT_EQ(convert(8, 0, 1, 0, 2, 2), -13);   // start not below the denominator
  EXPECT_EQ(convert(8, 2, -1, 0, 1, 0), -13);  // would pass pixel 0
  EXPECT_EQ(convert(8, 3, -1, 0, 1, 0), 1);    // ends exactly on pixel 0
  EXPECT_EQ(KrnConvertRow(nullptr, out.data(), 8, 0, 1, 1, 1, 0, 1, 0), -13);
}

TEST(ConvertRowFormat, ExchangesOuterChannelsBetweenColourOrders) {
  const struct {
    int32_t pixels, bits, from, to;
    std::vector<uint8_t> in, out;
  } cases[] = {
      {2, 24, 0, 1, {1, 2, 3, 4, 5, 6}, {3, 2, 1, 6, 5, 4}},
      {2, 24, 5, 1, {1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 6}},  // both store blue first
      {1, 32, 1, 0, {1, 2, 3, 4}, {3, 2, 1, 4}},
      {1, 48, 0, 1, {1, 2, 3, 4, 5, 6}, {5, 6, 3, 4, 1, 2}},
      {1, 16, 0, 1, {0x1F, 0x80}, {0x00, 0xFC}},  // 5-5-5: bits 0-4 and 10-14 exchange, the top bit stays
      {2, 16, 2, 1, {1, 2, 3, 4}, {1, 2, 3, 4}},  // grey
  };
  for (auto c : cases) {
    ASSERT_EQ(KrnConvertRowFormat(c.in.data(), c.pixels, c.bits, c.bits, c.from, c.to, nullptr, 0), 1);
    EXPECT_EQ(c.in, c.out) << c.bits << " bits, order " << c.from << " to " << c.to;
  }
  std::vector<uint8_t> row(8);
  EXPECT_EQ(KrnConvertRowFormat(row.data(), 2, 24, 32, 0, 1, nullptr, 0), -13);
  EXPECT_EQ(KrnConvertRowFormat(nullptr, 2, 24, 24, 0, 1, nullptr, 0), -13);
}

TEST(KernelGrayWindow, KeepsTheTopTargetBitsOfAWideWindow) {
  // bits, target, low, high -> n, mask, shift
  const std::vector<int64_t> cases[] = {
      {12, 8, 0, 11, 8, 0xFF, 4},    {12, 12, 0, 11, 12, 0xFFF, 0},  // as a byte; whole, for a window table
      {16, 8, 0, 15, 8, 0xFF, 8},    {16, 16, 4, 13, 10, 0x3FF, 4},
      {12, 8, 2, 5, 4, 0xF, 2},      {12, 8, 3, 10, 8, 0xFF, 3},  // a narrow window keeps all its bits
      {12, 8, -4, 40, 8, 0xFF, 4},   {16, 8, 9, 3, 8, 0xFF, 8},   // cut to the pixel; high below low: all
      {16, 0, 0, 15, 16, 0xFFFF, 0},                              // a target outside 1..depth: the depth
  };
  int32_t n = -1, shift = -1;
  uint32_t mask = 0;
  for (const auto& c : cases) {
    ASSERT_EQ(KrnGetGrayWindow(int32_t(c[0]), int32_t(c[1]), int32_t(c[2]), int32_t(c[3]), &n, &mask, &shift), 1);
    EXPECT_EQ(std::vector<int64_t>({n, mask, shift}), std::vector<int64_t>(c.begin() + 4, c.end()))
        << c[0] << " " << c[2] << ".." << c[3];
  }
  EXPECT_EQ(KrnGetGrayWindow(8, 8, 0, 7, &n, &mask, &shift), -13);
  EXPECT_EQ(KrnGetGrayWindow(24, 8, 0, 7, &n, &mask, &shift), -13);
  EXPECT_EQ(KrnGetGrayWindow(12, 8, 0, 11, nullptr, &mask, &shift), -13);
  EXPECT_EQ(KrnGetGrayWindow(12, 8, 0, 11, &n, nullptr, &shift), -13);
  EXPECT_EQ(KrnGetGrayWindow(12, 8, 0, 11, &n, &mask, nullptr), -13);
}
