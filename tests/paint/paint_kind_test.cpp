// The paint kind for every row of the selection table at every device depth class, and the
// palettes that go with painted rows.
#include <gtest/gtest.h>

#include <cstring>

#include "paint/fixed_palettes.h"
#include "paint/paint_model.h"
#include "paint/paint_palette.h"
#include "paint/paint_path.h"
#include "paint/row_kernels.h"

namespace {
enum Colours { kNone, kGreyUp, kGreyDown, kColour, kFixed16, kFixed332 };

// A described bitmap with a full palette of the given kind.
struct KindBitmap : DescribedBitmap {
  std::vector<RGBQUAD> Entries;
  KindBitmap(int32_t bits, int32_t order, Colours colours) : DescribedBitmap(bits, order) {
    if (colours == kNone || bits > 8) return;
    const int n = 1 << bits;
    for (int i = 0; i < n; ++i) {
      const auto up = uint8_t(i * 255 / (n - 1)), down = uint8_t(255 - up);
      Entries.push_back(colours == kGreyUp     ? RGBQUAD{up, up, up, 0}
                        : colours == kGreyDown ? RGBQUAD{down, down, down, 0}
                        : colours == kFixed16  ? FixedPalette16[i % 16]
                        : colours == kFixed332 ? FixedPalette332[i]
                                               : RGBQUAD{uint8_t(i * 7), up, down, 0});
    }
    Record.Palette = Entries.data();
    Record.ColorCount = n;
  }
};

struct KindCase {
  int32_t Bits, Order;
  Colours Palette;
  uint32_t Mode;
  std::array<int32_t, 4> Kinds;  // at device depth classes 1, 4, 8, 24
};

constexpr uint32_t F = 0x08, W = 0x80, G = 0x10, S = 0x40;

// Expected kinds worked from the selection rules, row by row.
const KindCase kCases[] = {
    // 1 bit: dither only with F and W on exactly 8 bits; grey levels (0x10) on deeper devices;
    // the 1-bit scaled path (0x40) for grey palettes.
    {1, 0, kGreyUp, 0x0C, {0, 0, 0, 0}}, {1, 0, kGreyUp, F | W, {0, 0, 2, 0}},
    {1, 0, kColour, F | W, {0, 0, 2, 0}}, {1, 0, kGreyUp, G | F, {0, 3, 3, 3}},
    {1, 0, kGreyDown, G | F, {0, 4, 4, 4}}, {1, 0, kGreyDown, G, {0, 4, 4, 4}},
    {1, 0, kColour, G | F, {0, 0, 0, 0}}, {1, 0, kColour, G | F | W, {0, 2, 2, 0}},
    {1, 0, kGreyUp, S | F, {5, 5, 5, 5}}, {1, 0, kGreyDown, S, {6, 6, 6, 6}},
    {1, 0, kColour, S | F | W, {2, 2, 2, 0}}, {1, 0, kColour, S | F, {0, 0, 0, 0}},
    {1, 0, kGreyUp, G | S | F, {5, 3, 3, 3}},
    {1, 0, kColour, G | S | F | W, {2, 2, 2, 0}},  // 0x40 answers where 0x10 does not (1 bit)
    // 2, 3, 5, 6, 7 bits: converted; dithered below 8 bits with F, up to 8 bits with F and W.
    {2, 0, kColour, 0, {1, 1, 1, 1}}, {3, 0, kColour, F, {2, 2, 1, 1}},
    {5, 0, kColour, F | W, {2, 2, 2, 1}}, {6, 0, kGreyUp, F, {2, 2, 1, 1}},
    {7, 0, kColour, F | W, {2, 2, 2, 1}},
    // 4 bits: native unless F; on 4-bit devices the 16 fixed colours stay native.
    {4, 0, kColour, 0x04, {0, 0, 0, 0}}, {4, 0, kColour, F, {2, 2, 0, 0}},
    {4, 0, kFixed16, F, {2, 0, 0, 0}}, {4, 0, kColour, F | W, {2, 2, 2, 0}},
    {4, 0, kFixed16, F | W, {2, 0, 2, 0}},
    // 8 bits: native unless F; dithered below 8 bits; on 8 bits with W unless already 3-3-2.
    {8, 0, kColour, 0x04, {0, 0, 0, 0}}, {8, 0, kColour, F, {2, 2, 0, 0}},
    {8, 0, kColour, F | W, {2, 2, 2, 0}}, {8, 0, kFixed332, F | W, {2, 2, 0, 0}},
    // 12 and 16 bits: converted; dithered below 8 bits, and on 8 bits with W or when not grey.
    {12, 2, kNone, 0, {1, 1, 1, 1}}, {12, 2, kNone, F, {2, 2, 1, 1}},
    {12, 2, kNone, F | W, {2, 2, 2, 1}}, {16, 2, kNone, F, {2, 2, 1, 1}},
    {16, 0, kNone, F, {2, 2, 2, 1}}, {16, 1, kNone, 0x0C, {2, 2, 2, 1}},
    // 24 bits: dithered up to 8 bits with F; otherwise converted only for Order 5.
    {24, 0, kNone, 0x0C, {2, 2, 2, 0}}, {24, 5, kNone, 0x0C, {2, 2, 2, 1}},
    {24, 5, kNone, 0x04, {1, 1, 1, 1}}, {24, 1, kNone, 0, {0, 0, 0, 0}},
    // 32, 48, 64 bits: converted; dithered up to 8 bits with F.
    {32, 0, kNone, 0x0C, {2, 2, 2, 1}}, {48, 1, kNone, 0, {1, 1, 1, 1}},
    {64, 0, kNone, F | W, {2, 2, 2, 1}},
    // Any other depth: native.
    {9, 0, kNone, 0xFF, {0, 0, 0, 0}}, {0, 0, kNone, 0x0C, {0, 0, 0, 0}}};
}  // namespace

TEST(PaintKind, EveryRowOfTheSelectionTableAtEveryDepth) {
  const int32_t depths[4] = {1, 4, 8, 24};
  for (const KindCase& c : kCases) {
    KindBitmap bitmap(c.Bits, c.Order, c.Palette);
    for (int d = 0; d < 4; ++d)
      EXPECT_EQ(SelectPaintKind(&bitmap.Record, c.Mode, depths[d]), c.Kinds[d])
          << "bits " << c.Bits << " order " << c.Order << " palette " << int(c.Palette) << " mode 0x" << std::hex
          << c.Mode << std::dec << " depth " << depths[d];
  }
}

TEST(PaintKind, DeepGreyThroughAColourWindowLevelTableDithersOnEightBits) {
  for (bool grey : {true, false}) {
    DescribedBitmap bitmap(16, 2);
    std::vector<uint32_t> lut(65536);
    for (uint32_t i = 0; i < lut.size(); ++i) lut[i] = (i >> 8) * 0x010101u;
    if (!grey) lut[1234] = 0x00FF0000;
    bitmap.UseWindowLut(lut);
    EXPECT_EQ(SelectPaintKind(&bitmap.Record, F, 8), grey ? 1 : 2);
    EXPECT_EQ(IsGrayHighDepth(&bitmap.Record), grey);
  }
}

TEST(PaintKind, GrayHighDepthRestoresTheFieldsItBorrows) {
  DescribedBitmap bitmap(12, 2);
  EXPECT_TRUE(IsGrayHighDepth(&bitmap.Record));  // no window-level table
  std::vector<uint32_t> colour(4096, 0x00102030);
  bitmap.UseWindowLut(colour);
  bitmap.Record.LowBit = 1, bitmap.Record.HighBit = 9;
  bitmap.Record.WindowLowBit = 2, bitmap.Record.WindowHighBit = 10;
  const BitmapRecord before = bitmap.Record;
  EXPECT_FALSE(IsGrayHighDepth(&bitmap.Record));
  EXPECT_EQ(std::memcmp(&before, &bitmap.Record, sizeof before), 0);
  bitmap.Record.Flags |= QS_FLAG_WINDOW_LUT;  // already applied: asked as it stands
  EXPECT_FALSE(IsGrayHighDepth(&bitmap.Record));
  EXPECT_EQ(bitmap.Record.Flags & QS_FLAG_WINDOW_LUT, QS_FLAG_WINDOW_LUT);
  bitmap.Record.Order = 0;
  EXPECT_FALSE(IsGrayHighDepth(&bitmap.Record));
}

TEST(PaintKind, DeviceDepthClasses) {
  const std::pair<int, int> cases[] = {{0, 1}, {3, 1}, {4, 4}, {7, 4}, {8, 8}, {15, 8}, {16, 24}, {32, 24}};
  for (auto [bits, depth] : cases) EXPECT_EQ(DeviceDepthClass(bits), depth) << bits;
}

namespace {
bool SameRgb(const RGBQUAD& a, int r, int g, int b) { return a.rgbRed == r && a.rgbGreen == g && a.rgbBlue == b; }

// An 8-bit bitmap with 20 colours and an inverting tone table.
struct TonedBitmap : DescribedBitmap {
  std::vector<RGBQUAD> Entries;
  TonedBitmap() : DescribedBitmap(8, 0) {
    for (int i = 0; i < 20; ++i) Entries.push_back(RGBQUAD{uint8_t(i), uint8_t(2 * i), uint8_t(3 * i), uint8_t(9)});
    Record.Palette = Entries.data(), Record.ColorCount = 20;
    for (int i = 0; i < 256; ++i) Tone[i] = uint8_t(255 - i);
    Record.Flags |= QS_FLAG_PAINT_LUT;
  }
};
}  // namespace

TEST(PaintPalettes, CubeTableHoldsTheCube) {
  for (int i = 0; i < 256; ++i) {
    const int cube = i < 216 ? 51 : 0;
    ASSERT_TRUE(SameRgb(FixedPaletteCube[i], cube * (i / 36), cube * ((i / 6) % 6), cube * (i % 6))) << i;
  }
}

TEST(PaintPalettes, TonedPaletteAndGreyRampGoThroughTheToneTable) {
  TonedBitmap bitmap;
  RGBQUAD out[256] = {};
  EXPECT_EQ(GetTonedBitmapPalette(&bitmap.Record, 18, 10, out), 2);  // only two entries from 18 on
  EXPECT_TRUE(SameRgb(out[0], 255 - 54, 255 - 36, 255 - 18));
  EXPECT_EQ(out[0].rgbReserved, 9);  // as read
  EXPECT_EQ(GetTonedBitmapPalette(&bitmap.Record, 25, 4, out), 0);
  for (int bits : {0, 4, 1}) {  // 0 means 8 bits
    FillGrayPaintRamp(&bitmap.Record, bits, out);
    const int n = 1 << (bits ? bits : 8);
    for (int i = 0; i < n; ++i) {
      const int v = 255 - 255 * i / (n - 1);
      ASSERT_TRUE(SameRgb(out[i], v, v, v)) << bits << ": " << i;
    }
  }
  EXPECT_EQ(out[1].rgbReserved, 0);
  bitmap.Record.Flags &= ~QS_FLAG_PAINT_LUT;
  EXPECT_EQ(GetTonedBitmapPalette(&bitmap.Record, 0, 256, out), 20);
  EXPECT_TRUE(SameRgb(out[19], 57, 38, 19));
}

TEST(PaintPalettes, RowPaletteIsTheFixedTableForDitheredRowsAndTheBitmapsOwnOtherwise) {
  TonedBitmap bitmap;
  const struct {
    int32_t bits;
    uint32_t flags;
    const RGBQUAD* table;
  } dithered[] = {{1, 0, FixedPalette2.data()},
                  {4, kRowPaletteCube, FixedPalette16.data()},  // the cube is for 8 bits only
                  {8, 0, FixedPalette332.data()},
                  {8, kRowPaletteCube, FixedPaletteCube.data()}};
  RGBQUAD out[256];
  int32_t count = 0;
  for (const auto& c : dithered) {
    GetRowPalette(&bitmap.Record, kPaintDither, c.bits, &count, out, c.flags);
    ASSERT_EQ(count, 1 << c.bits);
    EXPECT_EQ(std::memcmp(out, c.table, sizeof(RGBQUAD) << c.bits), 0) << c.bits << " bits, flags " << c.flags;
  }
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
