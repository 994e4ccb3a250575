// The magic wand and the border fill against a breadth-first flood fill over the model's pixel
// colours, the 4-connected stops, seeds at the edges, a fill wider than the first stack, the
// checks, and every allocation failing in turn.
#include <gtest/gtest.h>

#include <deque>

#include "qsdisp.h"
#include "tests/region/color_model.h"

namespace {
using MagicWandTest = KernelLeakTest;

constexpr uint32_t kReplace = 1;

struct Tolerance {
  Rgb3 Lower, Upper;
};

// The pixels 4-connected to the seed whose channels lie within the tolerances of the seed's
// (and, with a border, share no channel with it).
Mask FloodModel(const ColorBitmap& b, const std::vector<Rgb3>& colours, int32_t sx, int32_t sy, Tolerance t,
                const Rgb3* border) {
  const int32_t w = b.Record.Width, h = b.Record.Height, top = b.Maximum();
  const Rgb3 seed = colours[size_t(sy) * w + sx];
  if (b.Record.Order == 2) {  // grey data: the smallest channel of each tolerance
    const int32_t lo = std::min({t.Lower.R, t.Lower.G, t.Lower.B}), hi = std::min({t.Upper.R, t.Upper.G, t.Upper.B});
    t = {{lo, lo, lo}, {hi, hi, hi}};
  }
  auto within = [&](int32_t v, int32_t s, int32_t down, int32_t up) {
    return std::max(0, s - down) <= v && v <= std::min(top, s + up);
  };
  auto open = [&](int32_t x, int32_t y) {
    const Rgb3 c = colours[size_t(y) * w + x];
    if (!within(c.R, seed.R, t.Lower.R, t.Upper.R) || !within(c.G, seed.G, t.Lower.G, t.Upper.G) ||
        !within(c.B, seed.B, t.Lower.B, t.Upper.B))
      return false;
    return border == nullptr || (c.R != border->R && c.G != border->G && c.B != border->B);
  };
  Mask m;
  if (!open(sx, sy)) return m;
  std::deque<std::pair<int32_t, int32_t>> queue{{sx, sy}};
  m.Set(sx, sy);
  while (!queue.empty()) {
    const auto [x, y] = queue.front();
    queue.pop_front();
    const int32_t nx[] = {x - 1, x + 1, x, x}, ny[] = {y, y, y - 1, y + 1};
    for (int k = 0; k < 4; ++k) {
      if (nx[k] < 0 || ny[k] < 0 || nx[k] >= w || ny[k] >= h || m.Get(nx[k], ny[k]) || !open(nx[k], ny[k])) continue;
      m.Set(nx[k], ny[k]);
      queue.push_back({nx[k], ny[k]});
    }
  }
  return m;
}

TEST_F(MagicWandTest, FillsMatchAFloodFillOnEveryFormat) {
  std::mt19937 rng(23);
  for (const ColorFormat& f : kColorFormats) {
    ColorBitmap b(f, 45, 33, rng(), 4);
    const std::vector<Rgb3> colours = b.Colours();
    const int32_t top = b.Maximum();
    for (int trial = 0; trial < 10; ++trial) {
      const int32_t x = int32_t(rng() % 45), y = trial == 0 ? 0 : int32_t(rng() % 33);
      auto tol = [&] { return trial % 3 == 0 ? 0 : int32_t(rng() % (top / 2 + 1)); };
      Tolerance t{{tol(), tol(), tol()}, {tol(), tol(), tol()}};
      if (b.Gray16()) t = {{t.Lower.R, t.Lower.R, t.Lower.R}, {t.Upper.R, t.Upper.R, t.Upper.R}};
      const bool withBorder = trial % 2 == 1;
      const Rgb3 border = colours[rng() % colours.size()];
      const uint32_t lower = ColorArgument(b, t.Lower), upper = ColorArgument(b, t.Upper);
      const int32_t result = withBorder
                                 ? Q_SetBitmapRgnBorder(b.get(), x, y, ColorArgument(b, border), lower, upper, kReplace)
                                 : Q_SetBitmapRgnMagicWand(b.get(), x, y, lower, upper, kReplace);
      ASSERT_EQ(result, 1);
      const Mask expected = FloodModel(b, colours, x, y, t, withBorder ? &border : nullptr);
      EXPECT_EQ(RegionDiff(b.Record, expected), "") << f.Name << " trial " << trial << " seed " << x << "," << y;
    }
  }
}

// Grey with a vertical line, a diagonal of single pixels and a pure red pixel.
struct Picture : ColorBitmap {
  Picture() : ColorBitmap(ColorFormat{24, 1, "24"}, 20, 12, 1, 1) {
    std::vector<uint8_t> row(size_t(Record.BytesPerLine));
    for (int32_t y = 0; y < 12; ++y) {
      for (int32_t x = 0; x < 20; ++x) Put(row, x, 90, 90, 90);
      Put(row, 10, 200, 200, 200);  // the line at column 10
      if (y <= 8) Put(row, 11 + y, 200, 200, 200);  // a diagonal from (11, 0) to (19, 8)
      if (y == 5) Put(row, 3, 255, 0, 0);
      KrnPutBitmapRow(&Record, row.data(), y, 0, uint32_t(row.size()));
    }
  }
  static void Put(std::vector<uint8_t>& row, int32_t x, uint8_t r, uint8_t g, uint8_t b) {
    row[size_t(x) * 3] = b, row[size_t(x) * 3 + 1] = g, row[size_t(x) * 3 + 2] = r;
  }
};

TEST_F(MagicWandTest, StopsAtLinesAndBordersAndRespectsTheEdges) {
  Picture p;
  Mask leftOfLine;
  leftOfLine.FillRect(RECT{0, 0, 10, 12});
  // Zero tolerances: the grey left of the line, the red pixel excluded.
  ASSERT_EQ(Q_SetBitmapRgnMagicWand(p.get(), 2, 7, 0, 0, kReplace), 1);
  Mask expected = leftOfLine;
  expected.Set(3, 5, false);
  EXPECT_EQ(RegionDiff(p.Record, expected), "");
  // Any darker grey may join, but the line of lighter grey is out of reach, and so is the
  // red pixel, whose red is too light and whose green and blue too dark for these tolerances.
  ASSERT_EQ(Q_SetBitmapRgnMagicWand(p.get(), 0, 0, 0x606060, 0x606060, kReplace), 1);
  EXPECT_EQ(RegionDiff(p.Record, expected), "");
  ASSERT_EQ(Q_SetBitmapRgnMagicWand(p.get(), 0, 11, 0xFFFFFF, 0xFFFFFF, kReplace), 1);  // bottom row seed
  uint32_t area = 0;
  Q_GetBitmapRgnArea(p.get(), &area);
  EXPECT_EQ(area, 240u);
  // Pixels that touch only at corners do not let the fill through.
  ASSERT_EQ(Q_SetBitmapRgnMagicWand(p.get(), 19, 0, 0, 0, kReplace), 1);
  Mask corner;
  for (int32_t y = 0; y < 8; ++y)
    for (int32_t x = 12 + y; x < 20; ++x) corner.Set(x, y);
  EXPECT_EQ(RegionDiff(p.Record, corner), "");
  // A black border stops at the red pixel, whose green and blue are zero.
  ASSERT_EQ(Q_SetBitmapRgnBorder(p.get(), 0, 0, 0x000000, 0xFFFFFF, 0xFFFFFF, kReplace), 1);
  Mask noRed;
  noRed.FillRect(RECT{0, 0, 20, 12});
  noRed.Set(3, 5, false);
  EXPECT_EQ(RegionDiff(p.Record, noRed), "");
  // A one-colour bitmap with zero tolerances: all of it, from a seed in the top row.
  ColorBitmap plain(ColorFormat{8, 0, "8"}, 17, 9, 4, 1);
  ASSERT_EQ(Q_SetBitmapRgnMagicWand(plain.get(), 16, 0, 0, 0, kReplace), 1);
  Mask all;
  all.FillRect(RECT{0, 0, 17, 9});
  EXPECT_EQ(RegionDiff(plain.Record, all), "");
}

TEST_F(MagicWandTest, ChecksComeInOrderAndLeaveTheRegion) {
  Picture p;
  const RECT r{1, 1, 4, 4};
  ASSERT_EQ(Q_SetBitmapRgnRect(p.get(), nullptr, &r, kReplace), 1);
  const std::vector<int32_t> before = RegionSnapshot(p->Region);
  using Call = int32_t (*)(BitmapRecord*, int32_t, int32_t);
  const Call calls[] = {
      [](BitmapRecord* b, int32_t x, int32_t y) { return Q_SetBitmapRgnMagicWand(b, x, y, 0, 0, kReplace); },
      [](BitmapRecord* b, int32_t x, int32_t y) { return Q_SetBitmapRgnBorder(b, x, y, 0, 0, 0, kReplace); },
  };
  for (Call call : calls) {
    EXPECT_EQ(call(nullptr, 0, 0), -814);
    p->StructSize = 100;
    EXPECT_EQ(call(p.get(), -1, 0), -789);
    p->StructSize = QS_RECORD_SIZE;
    const uint32_t flags = p->Flags;
    p->Flags = (flags | QS_FLAG_NO_SCAN) & ~QS_FLAG_STORAGE;  // storage is tested before the scan lock
    EXPECT_EQ(call(p.get(), -1, 0), -2);
    p->Flags = flags | QS_FLAG_NO_SCAN;
    EXPECT_EQ(call(p.get(), -1, 0), -1360);
    p->Flags = flags;
    for (const POINT seed : {POINT{-1, 0}, POINT{0, -1}, POINT{20, 0}, POINT{0, 12}}) EXPECT_EQ(call(p.get(), seed.x, seed.y), -13);
    EXPECT_EQ(RegionSnapshot(p->Region), before);
  }
}

// A full row over a comb of single-pixel teeth leaves one pending run per tooth: 40000 of them,
// more than the stack holds at first.
struct Comb : ColorBitmap {
  static constexpr int32_t kWidth = 80000;
  Comb() : ColorBitmap(ColorFormat{8, 0, "8"}, kWidth, 3, 2, 1) {
    std::vector<uint8_t> row(size_t(Record.BytesPerLine), 0);
    KrnPutBitmapRow(&Record, row.data(), 0, 0, uint32_t(row.size()));
    for (int32_t x = 1; x < kWidth; x += 2) row[size_t(x)] = 1;
    KrnPutBitmapRow(&Record, row.data(), 1, 0, uint32_t(row.size()));
    KrnPutBitmapRow(&Record, row.data(), 2, 0, uint32_t(row.size()));
    RGBQUAD two[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    KrnSetBitmapColors(&Record, 0, 2, two);
  }
};

TEST_F(MagicWandTest, AFillWiderThanTheFirstStackGrowsIt) {
  Comb c;
  ASSERT_EQ(Q_SetBitmapRgnMagicWand(c.get(), 0, 0, 0, 0, kReplace), 1);
  uint32_t area = 0;
  ASSERT_EQ(Q_GetBitmapRgnArea(c.get(), &area), 1);
  EXPECT_EQ(area, uint32_t(Comb::kWidth + 2 * Comb::kWidth / 2));
  uint32_t count = 0;
  std::vector<int32_t> segments(2 * Comb::kWidth);
  ASSERT_EQ(Q_GetBitmapClipSegments(c.get(), 2, segments.data(), &count), 1);
  EXPECT_EQ(count, uint32_t(Comb::kWidth));  // one segment (two values) per tooth
}

TEST_F(MagicWandTest, EveryAllocationFailureLeavesTheRegionAndLeaksNothing) {
  Comb c;
  const RECT r{5, 0, 900, 2};
  auto reset = [&] { ASSERT_EQ(Q_SetBitmapRgnRect(c.get(), nullptr, &r, kReplace), 1); };
  for (int which = 0; which < 2; ++which) {
    auto attempt = [&] {
      return which == 0 ? Q_SetBitmapRgnMagicWand(c.get(), 3, 0, 0, 0, 4)
                        : Q_SetBitmapRgnBorder(c.get(), 3, 0, 0x808080, 0, 0, 4);
    };
    reset();
    ASSERT_EQ(attempt(), 1);
    const std::vector<int32_t> done = RegionSnapshot(c->Region);
    reset();
    const std::vector<int32_t> before = RegionSnapshot(c->Region);
    int32_t live = 0;
    const int32_t used = ForEachAllocationFailure(
        [&] {
          live = KrnTestLiveBlocks();
          return attempt();
        },
        [&](int32_t result, int32_t nth) {
          if (result == 1) {  // only a failed trim of the finished record may pass unnoticed
            EXPECT_EQ(RegionSnapshot(c->Region), done) << which << ", allocation " << nth;
          } else {
            EXPECT_EQ(result, -1) << which << ", allocation " << nth;
            EXPECT_EQ(RegionSnapshot(c->Region), before) << which << ", allocation " << nth;
            EXPECT_EQ(KrnTestLiveBlocks(), live) << which << ", allocation " << nth;
          }
          reset();
        });
    EXPECT_GE(used, 6);  // row buffers, two planes, the stack and its growth, the region
  }
}

}  // namespace
