// Fixed palettes, the toned bitmap palette, the grey ramp and the palette of a painted row.
#include <gtest/gtest.h>

#include <cstring>

#include "common/kernel_fixture.h"
#include "paint/fixed_palettes.h"
#include "paint/paint_palette.h"
#include "paint/paint_path.h"
#include "paint/row_kernels.h"
#include "paint_test_support.h"

namespace {
using PaintPalettes = KernelLeakTest;

bool SameRgb(const RGBQUAD& a, int r, int g, int b) { return a.rgbRed == r && a.rgbGreen == g && a.rgbBlue == b; }

// An 8-bit bitmap with 20 colours and an inverting tone table.
struct TonedBitmap : DescribedBitmap {
  std::vector<RGBQUAD> Entries;
  TonedBitmap() : DescribedBitmap(8, 0) {
    for (int i = 0; i < 20; ++i) Entries.push_back(RGBQUAD{uint8_t(i), uint8_t(2 * i), uint8_t(3 * i), uint8_t(9)});
    Record.Palette = Entries.data();
    Record.ColorCount = 20;
    for (int i = 0; i < 256; ++i) Tone[i] = uint8_t(255 - i);
    Record.Flags |= QS_FLAG_PAINT_LUT;
  }
};
}  // namespace

TEST_F(PaintPalettes, FixedTablesHoldTheListedColours) {
  const int blue[4] = {0, 85, 170, 255}, level[8] = {0, 36, 73, 109, 146, 182, 219, 255};
  for (int i = 0; i < 256; ++i) {
    ASSERT_TRUE(SameRgb(FixedPalette332[i], level[i >> 5], level[(i >> 2) & 7], blue[i & 3])) << i;
    const int cube = i < 216 ? 51 : 0;
    ASSERT_TRUE(SameRgb(FixedPaletteCube[i], cube * (i / 36), cube * ((i / 6) % 6), cube * (i % 6))) << i;
    ASSERT_EQ(FixedPalette332[i].rgbReserved | FixedPaletteCube[i].rgbReserved, 0);
  }
  const int sixteen[16][3] = {{0, 0, 0},     {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                              {0, 0, 128},   {128, 0, 128}, {0, 128, 128}, {128, 128, 128},
                              {192, 192, 192}, {255, 0, 0}, {0, 255, 0},   {255, 255, 0},
                              {0, 0, 255},   {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
  for (int i = 0; i < 16; ++i) EXPECT_TRUE(SameRgb(FixedPalette16[i], sixteen[i][0], sixteen[i][1], sixteen[i][2])) << i;
  EXPECT_TRUE(SameRgb(FixedPalette2[0], 0, 0, 0));
  EXPECT_TRUE(SameRgb(FixedPalette2[1], 255, 255, 255));
}

TEST_F(PaintPalettes, KernelHandsOutTheSameFixedTables) {
  const std::pair<int, const RGBQUAD*> tables[] = {
      {1, FixedPalette2.data()}, {4, FixedPalette16.data()}, {8, FixedPalette332.data()}};
  for (auto [bits, table] : tables) {
    RGBQUAD* copy = KrnGetFixedPalette(bits);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(std::memcmp(copy, table, sizeof(RGBQUAD) << bits), 0) << bits;
    KrnFree(copy);
  }
  EXPECT_EQ(KrnGetFixedPalette(24), nullptr);
}

TEST_F(PaintPalettes, TonedPaletteFollowsTheFlag) {
  TonedBitmap bitmap;
  RGBQUAD out[32] = {};
  EXPECT_EQ(GetTonedBitmapPalette(&bitmap.Record, 18, 10, out), 2);  // only two entries from 18 on
  EXPECT_TRUE(SameRgb(out[0], 255 - 54, 255 - 36, 255 - 18));
  EXPECT_EQ(out[0].rgbReserved, 9);  // as read
  bitmap.Record.Flags &= ~QS_FLAG_PAINT_LUT;
  EXPECT_EQ(GetTonedBitmapPalette(&bitmap.Record, 0, 256, out), 20);
  EXPECT_TRUE(SameRgb(out[19], 57, 38, 19));
  EXPECT_EQ(GetTonedBitmapPalette(&bitmap.Record, 25, 4, out), 0);
}

TEST_F(PaintPalettes, GreyRampGoesThroughTheToneTable) {
  TonedBitmap bitmap;
  RGBQUAD ramp[256];
  FillGrayPaintRamp(&bitmap.Record, 0, ramp);  // 0 means 8 bits
  for (int i = 0; i < 256; ++i) ASSERT_TRUE(SameRgb(ramp[i], 255 - i, 255 - i, 255 - i)) << i;
  FillGrayPaintRamp(&bitmap.Record, 4, ramp);
  for (int i = 0; i < 16; ++i) ASSERT_TRUE(SameRgb(ramp[i], 255 - 17 * i, 255 - 17 * i, 255 - 17 * i)) << i;
  FillGrayPaintRamp(&bitmap.Record, 1, ramp);
  EXPECT_TRUE(SameRgb(ramp[0], 255, 255, 255));
  EXPECT_TRUE(SameRgb(ramp[1], 0, 0, 0));
  EXPECT_EQ(ramp[1].rgbReserved, 0);
}

TEST_F(PaintPalettes, RowPaletteOfADitheredRowIsTheFixedTable) {
  TonedBitmap bitmap;
  RGBQUAD out[256];
  int32_t count = 0;
  GetRowPalette(&bitmap.Record, kPaintDither, 1, &count, out, 0);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(std::memcmp(out, FixedPalette2.data(), 2 * sizeof(RGBQUAD)), 0);
  GetRowPalette(&bitmap.Record, kPaintDither, 4, &count, out, kRowPaletteCube);
  EXPECT_EQ(count, 16);
  EXPECT_EQ(std::memcmp(out, FixedPalette16.data(), 16 * sizeof(RGBQUAD)), 0);
  GetRowPalette(&bitmap.Record, kPaintDither, 8, &count, out, 0);
  EXPECT_EQ(count, 256);
  EXPECT_EQ(std::memcmp(out, FixedPalette332.data(), sizeof out), 0);
  GetRowPalette(&bitmap.Record, kPaintDither, 8, &count, out, kRowPaletteCube);
  EXPECT_EQ(std::memcmp(out, FixedPaletteCube.data(), sizeof out), 0);
}

TEST_F(PaintPalettes, RowPaletteOfOtherRowsIsTheBitmapsOwn) {
  TonedBitmap bitmap;
  RGBQUAD out[256];
  int32_t count = 0;
  GetRowPalette(&bitmap.Record, kPaintConvert, 8, &count, out, 0);
  EXPECT_EQ(count, 20);
  EXPECT_TRUE(SameRgb(out[1], 252, 253, 254));  // through the tone table
  GetRowPalette(&bitmap.Record, kPaintNative, 8, &count, out, kRowPaletteAsStored);
  EXPECT_EQ(count, 20);
  EXPECT_TRUE(SameRgb(out[1], 3, 2, 1));
  bitmap.Record.Palette = nullptr;
  GetRowPalette(&bitmap.Record, kPaintNative, 8, &count, out, 0);
  EXPECT_EQ(count, 256);
  for (int i = 0; i < 256; ++i) ASSERT_TRUE(SameRgb(out[i], i, i, i)) << i;
}
