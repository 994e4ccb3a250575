// Regions by colour, RGB range and HSV range on every pixel format, compared pixel by pixel with
// a model that reads the stored bits itself; the colour argument forms; the checks and their
// order; and every allocation failing in turn.
#include <gtest/gtest.h>

#include "color/hsv.h"
#include "qsdisp.h"
#include "region/rgn_record.h"
#include "tests/region/color_model.h"

namespace {
using ColorRegionTest = KernelLeakTest;

constexpr uint32_t kReplace = 1;

TEST_F(ColorRegionTest, OneColourSelectsItsPixelsOnEveryFormat) {
  for (const ColorFormat& f : kColorFormats) {
    for (uint32_t seed = 1; seed <= 4; ++seed) {
      ColorBitmap b(f, 37, 23, seed);
      const std::vector<Rgb3> colours = b.Colours();
      const Rgb3 wanted = colours[seed * 97 % colours.size()];
      ASSERT_EQ(Q_SetBitmapRgnColor(b.get(), ColorArgument(b, wanted), kReplace), 1) << f.Name;
      // Below 8 bits a colour names one palette entry, the first of that colour.
      int32_t firstEntry = -1;
      for (int32_t i = 0; f.Bits < 8 && i < (1 << f.Bits) && firstEntry < 0; ++i)
        if (Rgb3{b.Palette[i].rgbRed, b.Palette[i].rgbGreen, b.Palette[i].rgbBlue} == wanted) firstEntry = i;
      const Mask expected = MaskWhere(b, colours, [&](const Rgb3& c, int32_t x, int32_t y) {
        if (f.Bits >= 8) return c == wanted;
        std::vector<uint8_t> row(size_t(b->BytesPerLine));
        KrnGetBitmapRow(b.get(), row.data(), y, 0, uint32_t(row.size()));
        return int32_t(pixel_model::Get(row.data(), f.Bits, x)) == firstEntry;
      });
      EXPECT_EQ(RegionDiff(b.Record, expected), "") << f.Name << " seed " << seed;
    }
  }
}

TEST_F(ColorRegionTest, RgbRangesSelectPixelsWithEveryChannelInside) {
  std::mt19937 rng(7);
  for (const ColorFormat& f : kColorFormats) {
    ColorBitmap b(f, 41, 19, rng(), 9);
    const std::vector<Rgb3> colours = b.Colours();
    const int32_t top = b.Maximum();
    for (int trial = 0; trial < 6; ++trial) {
      Rgb3 lo{int32_t(rng() % (top + 1)), int32_t(rng() % (top + 1)), int32_t(rng() % (top + 1))};
      Rgb3 hi{lo.R + int32_t(rng() % (top + 1)), lo.G + int32_t(rng() % (top + 1)), lo.B + int32_t(rng() % (top + 1))};
      hi = {std::min(hi.R, top), std::min(hi.G, top), std::min(hi.B, top)};
      uint32_t lower, upper;
      if (b.Gray16()) {  // grey levels: one range for all three channels
        lo.G = lo.B = lo.R;
        hi.G = hi.B = hi.R;
        lower = 0x04000000u | uint32_t(lo.R), upper = 0x04000000u | uint32_t(hi.R);
      } else {
        lower = ColorRefOf(lo), upper = ColorRefOf(hi);
      }
      ASSERT_EQ(Q_SetBitmapRgnColorRGBRange(b.get(), lower, upper, kReplace), 1);
      const Mask expected = MaskWhere(b, colours, [&](const Rgb3& c, int32_t, int32_t) {
        return lo.R <= c.R && c.R <= hi.R && lo.G <= c.G && c.G <= hi.G && lo.B <= c.B && c.B <= hi.B;
      });
      EXPECT_EQ(RegionDiff(b.Record, expected), "") << f.Name << " trial " << trial;
    }
  }
}

TEST_F(ColorRegionTest, HsvRangesSelectPixelsInsideIncludingHueRangesAcrossZero) {
  std::mt19937 rng(11);
  for (const ColorFormat& f : kColorFormats) {
    ColorBitmap b(f, 29, 31, rng(), 12);
    const std::vector<Rgb3> colours = b.Colours();
    for (int trial = 0; trial < 8; ++trial) {
      const uint32_t lowerHue = rng() % 256, upperHue = trial % 2 ? rng() % 256 : lowerHue / 3;  // often across 0
      const uint32_t lowerS = rng() % 128, upperS = 128 + rng() % 128, lowerV = rng() % 100, upperV = 155 + rng() % 101;
      const uint32_t lower = lowerHue | lowerS << 8 | lowerV << 16, upper = upperHue | upperS << 8 | upperV << 16;
      ASSERT_EQ(Q_SetBitmapRgnColorHSVRange(b.get(), lower, upper, kReplace), 1);
      const Mask expected = MaskWhere(b, colours, [&](const Rgb3& c, int32_t, int32_t) {
        int64_t h, s, v, scale = 1;
        if (b.Gray16()) {  // greys: no hue or saturation, the value at 16 bits
          h = 0, s = 0, v = c.R, scale = 257;
        } else {
          const uint32_t hsv = Q_RGBtoHSV(ColorRefOf(c));
          h = hsv & 0xFF, s = hsv >> 8 & 0xFF, v = hsv >> 16 & 0xFF;
        }
        const bool hue = lowerHue <= upperHue ? lowerHue * scale <= h && h <= upperHue * scale
                                              : h >= lowerHue * scale || h <= upperHue * scale;
        return hue && lowerS * scale <= s && s <= upperS * scale && lowerV * scale <= v && v <= upperV * scale;
      });
      EXPECT_EQ(RegionDiff(b.Record, expected), "") << f.Name << " trial " << trial;
    }
  }
}

TEST_F(ColorRegionTest, ColourArgumentForms) {
  ColorBitmap b(ColorFormat{8, 0, "8-bit"}, 16, 16, 3);
  // Every palette entry gets a colour of its own except 9 and 200, which share one.
  for (int32_t i = 0; i < 256; ++i) b.Palette[size_t(i)] = RGBQUAD{7, uint8_t(255 - i), uint8_t(i), 0};  // red i
  b.Palette[200] = b.Palette[9];
  KrnSetBitmapColors(b.get(), 0, 256, b.Palette.data());
  std::vector<uint8_t> row(size_t(b->BytesPerLine));
  for (int32_t y = 0; y < 16; ++y) {
    for (int32_t x = 0; x < 16; ++x) row[size_t(x)] = uint8_t(y * 16 + x);
    KrnPutBitmapRow(b.get(), row.data(), y, 0, 16);
  }
  auto pixels = [](std::initializer_list<int32_t> indices) {
    Mask m;
    for (int32_t i : indices) m.Set(i % 16, i / 16);
    return m;
  };
  // The 8-bit test compares colours, so both entries of the shared colour count.
  ASSERT_EQ(Q_SetBitmapRgnColor(b.get(), 9 | (255 - 9) << 8 | 7 << 16, kReplace), 1);
  EXPECT_EQ(RegionDiff(b.Record, pixels({9, 200})), "");
  // A palette index selects that index alone.
  ASSERT_EQ(Q_SetBitmapRgnColor(b.get(), 0x01000000u | 200, kReplace), 1);
  EXPECT_EQ(RegionDiff(b.Record, pixels({200})), "");
  // A grey level's top 8 bits off 16-bit grey bitmaps: entry 0x80 is (128, 127, 7), not grey.
  b.Palette[77] = RGBQUAD{0x44, 0x44, 0x44, 0};
  KrnSetBitmapColors(b.get(), 77, 1, &b.Palette[77]);
  ASSERT_EQ(Q_SetBitmapRgnColor(b.get(), 0x04000000u | 0x44FF, kReplace), 1);
  EXPECT_EQ(RegionDiff(b.Record, pixels({77})), "");
  // A colour in no entry: an empty region, still combined.
  ASSERT_EQ(Q_SetBitmapRgnColor(b.get(), 0x00123456u, kReplace), 1);
  ASSERT_TRUE(Q_BitmapHasRgn(b.get()));
  uint32_t area = 99;
  EXPECT_EQ(Q_GetBitmapRgnArea(b.get(), &area), 1);
  EXPECT_EQ(area, 0u);
  // The new region combines under the caller's mode: here, cut to what was there.
  RECT left{0, 0, 8, 16};
  ASSERT_EQ(Q_SetBitmapRgnRect(b.get(), nullptr, &left, kReplace), 1);
  ASSERT_EQ(Q_SetBitmapRgnColorRGBRange(b.get(), 0x000000, 0xFFFF05u | 0x00FF00FFu, 0), 1);  // blue <= 255
  Mask leftHalf;
  leftHalf.FillRect(left);
  EXPECT_EQ(RegionDiff(b.Record, leftHalf), "");
}

TEST_F(ColorRegionTest, ChecksComeInOrderAndLeaveTheRegion) {
  ColorBitmap b(ColorFormat{24, 1, "24"}, 8, 8, 1);
  const RECT r{1, 1, 3, 3};
  ASSERT_EQ(Q_SetBitmapRgnRect(b.get(), nullptr, &r, kReplace), 1);
  const std::vector<int32_t> before = RegionSnapshot(b->Region);
  using Call = int32_t (*)(BitmapRecord*);
  const Call calls[] = {
      [](BitmapRecord* p) { return Q_SetBitmapRgnColor(p, 0, kReplace); },
      [](BitmapRecord* p) { return Q_SetBitmapRgnColorRGBRange(p, 0, 0xFFFFFF, kReplace); },
      [](BitmapRecord* p) { return Q_SetBitmapRgnColorHSVRange(p, 0, 0xFFFFFF, kReplace); },
  };
  for (Call call : calls) {
    EXPECT_EQ(call(nullptr), -814);
    b->StructSize = 100;
    EXPECT_EQ(call(b.get()), -789);
    b->StructSize = QS_RECORD_SIZE;
    const uint32_t flags = b->Flags;
    b->Flags = (flags | QS_FLAG_NO_SCAN) & ~QS_FLAG_STORAGE;  // the scan lock is tested before storage
    EXPECT_EQ(call(b.get()), -1360);
    b->Flags = flags & ~QS_FLAG_STORAGE;
    EXPECT_EQ(call(b.get()), -2);
    b->Flags = flags;
    EXPECT_EQ(RegionSnapshot(b->Region), before);
  }
  EXPECT_EQ(Q_SetBitmapRgnColor(b.get(), 0, 7), -13);  // a mode past the last
  EXPECT_EQ(RegionSnapshot(b->Region), before);
}

// A failed allocation gives -1 and leaves the region; only a failed trim of the finished record
// may pass unnoticed, with the same region as an unhindered run.
TEST_F(ColorRegionTest, EveryAllocationFailureLeavesTheRegionAndLeaksNothing) {
  for (const ColorFormat& f : {kColorFormats[1], kColorFormats[5], kColorFormats[8]}) {
    ColorBitmap b(f, 40, 30, 5);
    const RECT r{2, 2, 30, 20};
    auto reset = [&] { ASSERT_EQ(Q_SetBitmapRgnRect(b.get(), nullptr, &r, kReplace), 1); };
    reset();
    const std::vector<int32_t> before = RegionSnapshot(b->Region);
    const uint32_t mid = ColorArgument(b, b.Colour(5, 5));
    for (int which = 0; which < 3; ++which) {
      auto attempt = [&] {
        if (which == 0) return Q_SetBitmapRgnColor(b.get(), mid, 5);
        if (which == 1) return Q_SetBitmapRgnColorRGBRange(b.get(), 0, mid, 5);
        return Q_SetBitmapRgnColorHSVRange(b.get(), 0x000000, 0xFFFF80, 5);
      };
      ASSERT_EQ(attempt(), 1);
      const std::vector<int32_t> done = RegionSnapshot(b->Region);
      reset();
      int32_t live = 0;
      const int32_t used = ForEachAllocationFailure(
          [&] {
            live = KrnTestLiveBlocks();
            return attempt();
          },
          [&](int32_t result, int32_t nth) {
            const std::string where = std::string(f.Name) + " function " + std::to_string(which) + ", allocation " +
                                      std::to_string(nth);
            if (result == 1) {
              EXPECT_EQ(RegionSnapshot(b->Region), done) << where;
            } else {
              EXPECT_EQ(result, -1) << where;
              EXPECT_EQ(RegionSnapshot(b->Region), before) << where;
              EXPECT_EQ(KrnTestLiveBlocks(), live) << where;
            }
            reset();
          });
      EXPECT_GE(used, 3) << f.Name;
      reset();
    }
  }
}

}  // namespace
