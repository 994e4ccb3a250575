// Horizontal row stepping and channel reordering against a plain per-pixel model.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "kernel/pixel_model.h"
#include "qskrn.h"

namespace {
const int kDepths[] = {1, 2, 3, 4, 5, 6, 7, 8, 12, 16, 24, 32, 48, 64};

uint64_t Get(const std::vector<uint8_t>& row, int bits, int x) { return pixel_model::Get(row.data(), bits, x); }

std::vector<uint8_t> RandomRow(std::mt19937& rng, int bits, int width) {
  std::vector<uint8_t> row(size_t(width) * bits / 8 + 16);
  for (auto& b : row) b = uint8_t(rng());
  return row;
}

int32_t Convert(const std::vector<uint8_t>& in, std::vector<uint8_t>& out, int bits, int first, int count, int dir,
                int q, int r, int d, int start) {
  return KrnConvertRow(in.data(), out.data(), bits, first, count, dir, q, r, d, start);
}
}  // namespace

TEST(ConvertRow, PicksTheSteppedPixelsAtEveryDepth) {
  std::mt19937 rng(20240601);
  for (int bits : kDepths) {
    for (int trial = 0; trial < 60; ++trial) {
      const int width = 1 + int(rng() % 90);
      const int count = 1 + int(rng() % 70);
      const int d = 1 + int(rng() % 50);
      const int q = int(rng() % 3);
      const int r = int(rng() % (d + 1));  // r = d is the exact-enlargement form
      const int start = int(rng() % d);
      const int dir = rng() % 2 ? 1 : -1;
      const int64_t span = int64_t(count - 1) * q + (start + int64_t(count - 1) * r) / d;
      if (span >= width) continue;
      const int first = dir > 0 ? int(rng() % (width - span)) : int(span + rng() % (width - span));
      const auto in = RandomRow(rng, bits, width);
      std::vector<uint8_t> out(size_t(count) * 8 + 8, 0xEE);
      ASSERT_EQ(Convert(in, out, bits, first, count, dir, q, r, d, start), 1);
      for (int i = 0; i < count; ++i) {
        const int64_t x = first + dir * (int64_t(i) * q + (start + int64_t(i) * r) / d);
        ASSERT_EQ(Get(out, bits, i), Get(in, bits, int(x)))
            << "bits " << bits << " trial " << trial << " pixel " << i << " from " << x;
      }
      if (bits < 8 && count * bits % 8 != 0) {
        const int used = count * bits % 8;
        EXPECT_EQ(out[size_t(count) * bits / 8] & (0xFF >> used), 0) << "unused bits of the last byte";
      }
    }
  }
}

TEST(ConvertRow, RefusesWalksOutsideItsRules) {
  std::vector<uint8_t> in(64), out(64);
  EXPECT_EQ(Convert(in, out, 9, 0, 4, 1, 1, 0, 1, 0), -13);    // no such depth
  EXPECT_EQ(Convert(in, out, 8, 0, 4, 0, 1, 0, 1, 0), -13);    // no direction
  EXPECT_EQ(Convert(in, out, 8, 0, 4, 1, 1, 3, 2, 0), -13);    // remainder above the denominator
  EXPECT_EQ(Convert(in, out, 8, 0, 4, 1, 1, 0, 2, 2), -13);    // start not below the denominator
  EXPECT_EQ(Convert(in, out, 8, 2, 4, -1, 1, 0, 1, 0), -13);   // would pass pixel 0
  EXPECT_EQ(Convert(in, out, 8, 3, 4, -1, 1, 0, 1, 0), 1);     // ends exactly on pixel 0
  EXPECT_EQ(KrnConvertRow(nullptr, out.data(), 8, 0, 1, 1, 1, 0, 1, 0), -13);
}

TEST(ConvertRowFormat, ExchangesOuterChannelsBetweenColourOrders) {
  std::vector<uint8_t> row24 = {1, 2, 3, 4, 5, 6};
  ASSERT_EQ(KrnConvertRowFormat(row24.data(), 2, 24, 24, 0, 1, nullptr, 0), 1);
  EXPECT_EQ(row24, (std::vector<uint8_t>{3, 2, 1, 6, 5, 4}));
  // Orders 5 and 1 both store blue first: nothing to exchange.
  ASSERT_EQ(KrnConvertRowFormat(row24.data(), 2, 24, 24, 5, 1, nullptr, 0), 1);
  EXPECT_EQ(row24, (std::vector<uint8_t>{3, 2, 1, 6, 5, 4}));

  std::vector<uint8_t> row32 = {1, 2, 3, 4};
  ASSERT_EQ(KrnConvertRowFormat(row32.data(), 1, 32, 32, 1, 0, nullptr, 0), 1);
  EXPECT_EQ(row32, (std::vector<uint8_t>{3, 2, 1, 4}));

  std::vector<uint8_t> row48 = {1, 2, 3, 4, 5, 6};
  ASSERT_EQ(KrnConvertRowFormat(row48.data(), 1, 48, 48, 0, 1, nullptr, 0), 1);
  EXPECT_EQ(row48, (std::vector<uint8_t>{5, 6, 3, 4, 1, 2}));

  // 5-5-5: bits 0-4 and 10-14 exchange, green and the top bit stay.
  std::vector<uint8_t> row16 = {0x1F, 0x80};  // 0x801F
  ASSERT_EQ(KrnConvertRowFormat(row16.data(), 1, 16, 16, 0, 1, nullptr, 0), 1);
  EXPECT_EQ(row16[0] | row16[1] << 8, 0xFC00);

  std::vector<uint8_t> grey = {1, 2, 3, 4};
  ASSERT_EQ(KrnConvertRowFormat(grey.data(), 2, 16, 16, 2, 1, nullptr, 0), 1);
  EXPECT_EQ(grey, (std::vector<uint8_t>{1, 2, 3, 4}));

  EXPECT_EQ(KrnConvertRowFormat(row24.data(), 2, 24, 32, 0, 1, nullptr, 0), -13);
  EXPECT_EQ(KrnConvertRowFormat(nullptr, 2, 24, 24, 0, 1, nullptr, 0), -13);
}
