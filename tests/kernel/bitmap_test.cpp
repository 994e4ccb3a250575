// Bitmap lifetime, rows and fills at every depth, orientation and memory kind, deep copies,
// nested pixel access, and palettes.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "common/kernel_fixture.h"
#include "kernel/pixel_model.h"
#include "paint/fixed_palettes.h"

using KernelBitmap = KernelLeakTest;

TEST_F(KernelBitmap, NewRecordsHaveNeutralToneAndAGreyPalette) {
  TestBitmap b;
  ASSERT_EQ(KrnInitBitmap(b.get(), 164, 10, 3, 4), 1);
  EXPECT_EQ(b->BytesPerLine, 8);
  EXPECT_EQ(b->Flags & QS_FLAG_STORAGE, 0u);
  EXPECT_EQ(std::vector<int32_t>({b->PaintIntensity, b->PaintContrast, int32_t(b->PaintGamma), b->ColorCount}),
            std::vector<int32_t>({0, 0, 100, 16}));
  ASSERT_NE(b->PaintLUT, nullptr);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(b->PaintLUT[i], i);
  EXPECT_EQ(KrnIsGrayscale(b.get()), 1);
  ASSERT_EQ(KrnAllocBitmapStorage(b.get(), KRN_MEMORY_ONE_BLOCK), 1);
  EXPECT_EQ(b->Flags & (QS_FLAG_STORAGE | QS_FLAG_ONE_BLOCK), QS_FLAG_STORAGE | QS_FLAG_ONE_BLOCK);
  BitmapRecord untouched{};
  EXPECT_EQ(KrnInitBitmap(&untouched, 163, 10, 3, 4), -789);
  EXPECT_EQ(KrnInitBitmap(&untouched, 164, 0, 3, 4), -13);
  EXPECT_EQ(KrnInitBitmap(&untouched, 164, 10, 3, 9), -13);
  EXPECT_EQ(untouched.StructSize, 0u);
}

TEST_F(KernelBitmap, RowsRoundTripAtEveryDepthOrientationAndMemoryKind) {
  std::mt19937 rng(3);
  for (int32_t kind : {KRN_MEMORY_ONE_BLOCK, KRN_MEMORY_ROWS}) {
    for (int32_t bits : pixel_model::kDepths) {
      for (int32_t orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(testing::Message() << "kind " << kind << " bits " << bits << " orientation " << orientation);
        TestBitmap b;
        ASSERT_EQ(KrnAllocateBitmap(b.get(), 164, kind, 13, 5, bits, 1, nullptr, orientation, nullptr, 0), 1);
        const uint32_t stride = uint32_t(b->BytesPerLine);
        EXPECT_EQ(stride, uint32_t((13 * bits + 31) / 32 * 4));
        const auto picture = RandomBytes(rng, stride * 5);
        for (int32_t y = 0; y < 5; ++y)
          ASSERT_EQ(KrnPutBitmapRow(b.get(), picture.data() + y * stride, y, 0, stride), int32_t(stride));
        std::vector<uint8_t> row(stride + 8, 0xEE);
        for (int32_t y = 0; y < 5; ++y) {
          ASSERT_EQ(KrnGetBitmapRow(b.get(), row.data(), y, 0, stride + 8), int32_t(stride)) << "cut at row end";
          ASSERT_EQ(std::memcmp(row.data(), picture.data() + y * stride, stride), 0);
          EXPECT_EQ(row[stride], 0xEE);
        }
        // From a later column: the bytes from that pixel's byte on.
        const uint32_t offset = bits == 12 ? 9 : uint32_t(6 * bits / 8), expected = std::min(4u, stride - offset);
        ASSERT_EQ(KrnGetBitmapRow(b.get(), row.data(), 2, 6, 4), int32_t(expected));
        EXPECT_EQ(std::memcmp(row.data(), picture.data() + 2 * stride + offset, expected), 0);
        EXPECT_TRUE(kind != KRN_MEMORY_ONE_BLOCK || std::memcmp(b->Bits, picture.data(), picture.size()) == 0);
      }
    }
  }
  TestBitmap empty;
  uint8_t byte;
  EXPECT_EQ(KrnGetBitmapRow(empty.get(), &byte, 0, 0, 1), -2);
}

TEST_F(KernelBitmap, FillStoresTheColourInEachFormat) {
  const struct {
    int32_t bits, order;
    uint32_t colour;
    std::vector<uint8_t> firstBytes;
  } cases[] = {
      {24, 1, 0x3264C8, {50, 100, 200}},     {24, 0, 0x3264C8, {200, 100, 50}},  {32, 1, 0x3264C8, {50, 100, 200, 0}},
      {16, 1, 0x3264C8, {0x86, 0x65}},  // 6 | 12 << 5 | 25 << 10
      {48, 1, 0x3264C8, {50, 50, 100, 100, 200, 200}},
      {8, 0, 0x3264C8, {117, 117, 117}},  // nearest entry of the grey ramp
      {1, 0, 0xFFFFFF, {0xFF, 0xE0, 0}},  // only the 11 pixels of the row
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bits);
    TestBitmap b;  // rows apart and bottom-up: the fill walks every row of either
    ASSERT_EQ(KrnAllocateBitmap(b.get(), 164, KRN_MEMORY_ROWS, 11, 2, c.bits, c.order, nullptr, 4, nullptr, 0), 1);
    ASSERT_EQ(KrnFillBitmap(b.get(), c.colour), 1);
    std::vector<uint8_t> row(size_t(b->BytesPerLine));
    ASSERT_GT(KrnGetBitmapRow(b.get(), row.data(), 1, 0, uint32_t(row.size())), 0);
    row.resize(c.firstBytes.size());
    EXPECT_EQ(row, c.firstBytes);
  }
}

TEST_F(KernelBitmap, CopyIsDeep) {
  TestBitmap source, copy;
  std::mt19937 rng(7);
  const auto pixels = RandomBytes(rng, 12 * 7);
  ASSERT_EQ(KrnAllocateBitmap(source.get(), 164, KRN_MEMORY_ROWS, 11, 7, 8, 0, nullptr, 6, pixels.data(),
                              uint32_t(pixels.size())),
            1);
  source->PaintLUT[10] = 99;
  EXPECT_EQ(KrnCopyBitmap(copy.get(), source.get(), 165), -789);
  ASSERT_EQ(KrnCopyBitmap(copy.get(), source.get(), 164), 1);
  EXPECT_TRUE(copy->Bits != source->Bits && copy->Palette != source->Palette && copy->PaintLUT != source->PaintLUT);
  EXPECT_TRUE(copy->PaintLUT[10] == 99 && copy->Orientation == 6);
  std::vector<uint8_t> row(12);
  for (int32_t y = 0; y < 7; ++y) {
    KrnGetBitmapRow(copy.get(), row.data(), y, 0, 12);
    EXPECT_TRUE(std::equal(row.begin(), row.end(), pixels.begin() + 12 * y)) << y;
  }
}

TEST_F(KernelBitmap, PixelAccessNestsAndChecksItsToken) {
  TestBitmap b;
  ASSERT_EQ(KrnAllocateBitmap(b.get(), 164, 1, 4, 4, 24, 1, nullptr, 1, nullptr, 0), 1);
  const uint32_t outer = KrnBeginBitmapAccess(b.get());
  const uint32_t inner = KrnBeginBitmapAccess(b.get());
  EXPECT_NE(outer, inner);
  EXPECT_EQ(KrnReleaseBitmapAccess(b.get(), outer), -13) << "released out of order";
  EXPECT_EQ(KrnReleaseBitmapAccess(b.get(), inner), 1);
  EXPECT_EQ(KrnReleaseBitmapAccess(b.get(), outer), 1);
}

TEST_F(KernelBitmap, GreyRampsAreRecognisedBothWaysAndReadsAndComparisonsUseColourBytes) {
  TestBitmap b, grey16, fixed;
  ASSERT_EQ(KrnAllocateBitmap(b.get(), 164, 1, 4, 4, 2, 0, nullptr, 1, nullptr, 0), 1);
  ASSERT_EQ(KrnAllocateBitmap(grey16.get(), 164, 1, 4, 4, 16, 2, nullptr, 1, nullptr, 0), 1);
  ASSERT_EQ(KrnAllocateBitmap(fixed.get(), 164, 1, 4, 4, 4, 0, FixedPalette16.data(), 1, nullptr, 0), 1);
  EXPECT_EQ(KrnIsGrayscale(b.get()), 1);
  EXPECT_EQ(KrnIsGrayscale(grey16.get()), 1);
  RGBQUAD reversed[4] = {{255, 255, 255, 0}, {170, 170, 170, 0}, {85, 85, 85, 0}, {0, 0, 0, 0}};
  EXPECT_EQ(KrnSetBitmapColors(b.get(), 0, 4, reversed), 4);
  EXPECT_EQ(KrnIsGrayscale(b.get()), 2);
  reversed[1].rgbRed = 1;
  KrnSetBitmapColors(b.get(), 1, 1, &reversed[1]);
  EXPECT_EQ(KrnIsGrayscale(b.get()), 0);
  RGBQUAD buffer[16];
  EXPECT_EQ(KrnGetBitmapPalette(fixed.get(), 10, 16, buffer), 6);
  EXPECT_EQ(buffer[5].rgbRed, 255);
  EXPECT_EQ(KrnGetBitmapPalette(fixed.get(), 16, 1, buffer), 0);
  EXPECT_NE(KrnComparePalette(fixed.get(), FixedPalette16.data(), 16), 0);
  EXPECT_EQ(KrnComparePalette(fixed.get(), FixedPalette332.data(), 16), 0);
  EXPECT_EQ(KrnComparePalette(fixed.get(), FixedPalette16.data(), 17), 0) << "more entries than the palette holds";
}

TEST_F(KernelBitmap, FixedPalettesAreCopiesOfTheSharedTables) {
  const std::pair<int, const RGBQUAD*> tables[] = {
      {1, FixedPalette2.data()}, {4, FixedPalette16.data()}, {8, FixedPalette332.data()}};
  for (auto [bits, table] : tables) {
    RGBQUAD* copy = KrnGetFixedPalette(bits);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(std::memcmp(copy, table, sizeof(RGBQUAD) << bits), 0) << bits;
    KrnFree(copy);
  }
  EXPECT_EQ(KrnGetFixedPalette(24), nullptr);
  EXPECT_EQ(KrnGetFixedPalette(2), nullptr);
}
