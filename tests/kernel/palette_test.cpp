#include <gtest/gtest.h>

#include "common/kernel_fixture.h"
#include "paint/fixed_palettes.h"

using KernelPalette = KernelLeakTest;

TEST_F(KernelPalette, GreyRampsAreRecognisedBothWays) {
  TestBitmap b;
  ASSERT_EQ(KrnAllocateBitmap(b.get(), 164, 1, 4, 4, 2, 0, nullptr, 1, nullptr, 0), 1);
  EXPECT_EQ(KrnIsGrayscale(b.get()), 1);
  RGBQUAD reversed[4];
  for (int i = 0; i < 4; ++i) {
    const auto v = uint8_t(255 - i * 85);
    reversed[i] = RGBQUAD{v, v, v, 0};
  }
  EXPECT_EQ(KrnSetBitmapColors(b.get(), 0, 4, reversed), 4);
  EXPECT_EQ(KrnIsGrayscale(b.get()), 2);
  reversed[1].rgbRed = 1;
  KrnSetBitmapColors(b.get(), 1, 1, &reversed[1]);
  EXPECT_EQ(KrnIsGrayscale(b.get()), 0);

  TestBitmap grey16;
  ASSERT_EQ(KrnAllocateBitmap(grey16.get(), 164, 1, 4, 4, 16, 2, nullptr, 1, nullptr, 0), 1);
  EXPECT_EQ(KrnIsGrayscale(grey16.get()), 1);
}

TEST_F(KernelPalette, ReadsAreCutToThePaletteAndComparisonsUseColourBytes) {
  TestBitmap b;
  ASSERT_EQ(KrnAllocateBitmap(b.get(), 164, 1, 4, 4, 4, 0, FixedPalette16.data(), 1, nullptr, 0), 1);
  RGBQUAD buffer[16];
  EXPECT_EQ(KrnGetBitmapPalette(b.get(), 10, 16, buffer), 6);
  EXPECT_EQ(buffer[5].rgbRed, 255);
  EXPECT_EQ(KrnGetBitmapPalette(b.get(), 16, 1, buffer), 0);
  EXPECT_NE(KrnComparePalette(b.get(), FixedPalette16.data(), 16), 0);
  EXPECT_EQ(KrnComparePalette(b.get(), FixedPalette332.data(), 16), 0);
  EXPECT_EQ(KrnComparePalette(b.get(), FixedPalette16.data(), 17), 0) << "more entries than the palette holds";
}

TEST_F(KernelPalette, FixedPalettesAreCopiesOfTheSharedTables) {
  for (int32_t bits : {1, 4, 8}) {
    RGBQUAD* table = KrnGetFixedPalette(bits);
    ASSERT_NE(table, nullptr);
    const RGBQUAD* expected = bits == 1 ? FixedPalette2.data() : bits == 4 ? FixedPalette16.data() : FixedPalette332.data();
    for (int i = 0; i < (1 << bits); ++i) {
      EXPECT_EQ(table[i].rgbRed, expected[i].rgbRed);
      EXPECT_EQ(table[i].rgbBlue, expected[i].rgbBlue);
    }
    KrnFree(table);
  }
  EXPECT_EQ(KrnGetFixedPalette(24), nullptr);
  EXPECT_EQ(KrnGetFixedPalette(2), nullptr);
}
