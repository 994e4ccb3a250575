// The paint kind for every row of the selection table, at every device depth class.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "paint/fixed_palettes.h"
#include "paint/paint_path.h"
#include "paint_test_support.h"

namespace {
enum class Colours { kNone, kGreyUp, kGreyDown, kColour, kFixed16, kFixed332 };

// A described bitmap with a full palette of the given kind.
struct KindBitmap : DescribedBitmap {
  std::vector<RGBQUAD> Entries;
  KindBitmap(int32_t bits, int32_t order, Colours colours) : DescribedBitmap(bits, order) {
    if (colours == Colours::kNone || bits > 8) return;
    const int n = 1 << bits;
    Entries.resize(n);
    for (int i = 0; i < n; ++i) {
      const auto level = uint8_t(i * 255 / (n - 1));
      switch (colours) {
        case Colours::kGreyUp: Entries[i] = {level, level, level, 0}; break;
        case Colours::kGreyDown: Entries[i] = {uint8_t(255 - level), uint8_t(255 - level), uint8_t(255 - level), 0}; break;
        case Colours::kFixed16: Entries[i] = FixedPalette16[i % 16]; break;
        case Colours::kFixed332: Entries[i] = FixedPalette332[i]; break;
        default: Entries[i] = {uint8_t(i * 7), uint8_t(level), uint8_t(255 - level), 0}; break;
      }
    }
    Record.Palette = Entries.data();
    Record.ColorCount = n;
  }
};

struct KindCase {
  int32_t Bits;
  int32_t Order;
  Colours Palette;
  uint32_t Mode;
  std::array<int32_t, 4> Kinds;  // at device depth classes 1, 4, 8, 24
};

constexpr uint32_t F = 0x08, W = 0x80, G = 0x10, S = 0x40;

// Expected kinds worked from the selection rules, row by row.
const KindCase kCases[] = {
    // 1 bit: dither only with F and W on exactly 8 bits; grey levels (0x10) on deeper devices;
    // the 1-bit scaled path (0x40) for grey palettes.
    {1, 0, Colours::kGreyUp, 0x0C, {0, 0, 0, 0}},
    {1, 0, Colours::kGreyUp, F | W, {0, 0, 2, 0}},
    {1, 0, Colours::kColour, F | W, {0, 0, 2, 0}},
    {1, 0, Colours::kGreyUp, G | F, {0, 3, 3, 3}},
    {1, 0, Colours::kGreyDown, G | F, {0, 4, 4, 4}},
    {1, 0, Colours::kGreyDown, G, {0, 4, 4, 4}},
    {1, 0, Colours::kColour, G | F, {0, 0, 0, 0}},
    {1, 0, Colours::kColour, G | F | W, {0, 2, 2, 0}},
    {1, 0, Colours::kGreyUp, S | F, {5, 5, 5, 5}},
    {1, 0, Colours::kGreyDown, S, {6, 6, 6, 6}},
    {1, 0, Colours::kColour, S | F | W, {2, 2, 2, 0}},
    {1, 0, Colours::kColour, S | F, {0, 0, 0, 0}},
    {1, 0, Colours::kGreyUp, G | S | F, {5, 3, 3, 3}},
    {1, 0, Colours::kColour, G | S | F | W, {2, 2, 2, 0}},  // 0x40 answers where 0x10 does not (1 bit)
    // 2, 3, 5, 6, 7 bits: converted; dithered below 8 bits with F, up to 8 bits with F and W.
    {2, 0, Colours::kColour, 0, {1, 1, 1, 1}},
    {3, 0, Colours::kColour, F, {2, 2, 1, 1}},
    {5, 0, Colours::kColour, F | W, {2, 2, 2, 1}},
    {6, 0, Colours::kGreyUp, F, {2, 2, 1, 1}},
    {7, 0, Colours::kColour, F | W, {2, 2, 2, 1}},
    // 4 bits: native unless F; on 4-bit devices the 16 fixed colours stay native.
    {4, 0, Colours::kColour, 0x04, {0, 0, 0, 0}},
    {4, 0, Colours::kColour, F, {2, 2, 0, 0}},
    {4, 0, Colours::kFixed16, F, {2, 0, 0, 0}},
    {4, 0, Colours::kColour, F | W, {2, 2, 2, 0}},
    {4, 0, Colours::kFixed16, F | W, {2, 0, 2, 0}},
    // 8 bits: native unless F; dithered below 8 bits; on 8 bits with W unless already 3-3-2.
    {8, 0, Colours::kColour, 0x04, {0, 0, 0, 0}},
    {8, 0, Colours::kColour, F, {2, 2, 0, 0}},
    {8, 0, Colours::kColour, F | W, {2, 2, 2, 0}},
    {8, 0, Colours::kFixed332, F | W, {2, 2, 0, 0}},
    // 12 and 16 bits: converted; dithered below 8 bits, and on 8 bits with W or when not grey.
    {12, 2, Colours::kNone, 0, {1, 1, 1, 1}},
    {12, 2, Colours::kNone, F, {2, 2, 1, 1}},
    {12, 2, Colours::kNone, F | W, {2, 2, 2, 1}},
    {16, 2, Colours::kNone, F, {2, 2, 1, 1}},
    {16, 0, Colours::kNone, F, {2, 2, 2, 1}},
    {16, 1, Colours::kNone, 0x0C, {2, 2, 2, 1}},
    // 24 bits: dithered up to 8 bits with F; otherwise converted only for Order 5.
    {24, 0, Colours::kNone, 0x0C, {2, 2, 2, 0}},
    {24, 5, Colours::kNone, 0x0C, {2, 2, 2, 1}},
    {24, 5, Colours::kNone, 0x04, {1, 1, 1, 1}},
    {24, 1, Colours::kNone, 0, {0, 0, 0, 0}},
    // 32, 48, 64 bits: converted; dithered up to 8 bits with F.
    {32, 0, Colours::kNone, 0x0C, {2, 2, 2, 1}},
    {48, 1, Colours::kNone, 0, {1, 1, 1, 1}},
    {64, 0, Colours::kNone, F | W, {2, 2, 2, 1}},
    // Any other depth: native.
    {9, 0, Colours::kNone, 0xFF, {0, 0, 0, 0}},
    {0, 0, Colours::kNone, 0x0C, {0, 0, 0, 0}},
};
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
  const std::pair<int, int> cases[] = {{0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 4}, {7, 4},
                                       {8, 8}, {15, 8}, {16, 24}, {24, 24}, {32, 24}};
  for (auto [bits, depth] : cases) EXPECT_EQ(DeviceDepthClass(bits), depth) << bits;
}
