// Bitmap lifetime, rows and fills at every depth, orientation and memory kind, and the
// all-or-nothing behaviour of the allocating services under injected allocation failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "common/kernel_fixture.h"
#include "frame/result_codes.h"

namespace {
constexpr int32_t kDepths[] = {1, 2, 3, 4, 5, 6, 7, 8, 12, 16, 24, 32, 48, 64};

std::vector<uint8_t> RandomBytes(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<uint8_t> bytes(n);
  for (auto& b : bytes) b = static_cast<uint8_t>(rng());
  return bytes;
}

bool SameRecord(const BitmapRecord& a, const BitmapRecord& b) { return std::memcmp(&a, &b, sizeof a) == 0; }
}  // namespace

using KernelBitmap = KernelLeakTest;

TEST_F(KernelBitmap, NewRecordsHaveNeutralToneAndAGreyPalette) {
  TestBitmap b;
  ASSERT_EQ(KrnInitBitmap(b.get(), 164, 10, 3, 4), 1);
  EXPECT_EQ(b->StructSize, 164u);
  EXPECT_EQ(b->BytesPerLine, 8);
  EXPECT_EQ(b->Flags & QS_FLAG_STORAGE, 0u);
  EXPECT_EQ(b->PaintIntensity, 0);
  EXPECT_EQ(b->PaintContrast, 0);
  EXPECT_EQ(b->PaintGamma, 100);
  ASSERT_NE(b->PaintLUT, nullptr);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(b->PaintLUT[i], i);
  ASSERT_EQ(b->ColorCount, 16);
  EXPECT_EQ(b->Palette[15].rgbRed, 255);
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
  for (int32_t kind : {KRN_MEMORY_ONE_BLOCK, KRN_MEMORY_ROWS}) {
    for (int32_t bits : kDepths) {
      for (int32_t orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(testing::Message() << "kind " << kind << " bits " << bits << " orientation " << orientation);
        TestBitmap b;
        ASSERT_EQ(KrnAllocateBitmap(b.get(), 164, kind, 13, 5, bits, 1, nullptr, orientation, nullptr, 0), 1);
        EXPECT_EQ(b->Orientation, orientation);
        const uint32_t stride = uint32_t(b->BytesPerLine);
        EXPECT_EQ(stride % 4, 0u);
        EXPECT_GE(stride * 8, uint32_t(13 * bits));
        const auto picture = RandomBytes(stride * 5, uint32_t(bits * 100 + orientation));
        for (int32_t y = 0; y < 5; ++y)
          ASSERT_EQ(KrnPutBitmapRow(b.get(), picture.data() + y * stride, y, 0, stride), int32_t(stride));
        std::vector<uint8_t> row(stride + 8, 0xEE);
        for (int32_t y = 0; y < 5; ++y) {
          ASSERT_EQ(KrnGetBitmapRow(b.get(), row.data(), y, 0, stride + 8), int32_t(stride)) << "cut at row end";
          ASSERT_EQ(std::memcmp(row.data(), picture.data() + y * stride, stride), 0);
          EXPECT_EQ(row[stride], 0xEE);
        }
        // From a later column: the bytes from that pixel's byte on.
        const int32_t column = 6;
        const uint32_t offset = bits == 12 ? 9 : uint32_t(column * bits / 8);
        const uint32_t expected = std::min(4u, stride - offset);
        ASSERT_EQ(KrnGetBitmapRow(b.get(), row.data(), 2, column, 4), int32_t(expected));
        EXPECT_EQ(std::memcmp(row.data(), picture.data() + 2 * stride + offset, expected), 0);
        if (kind == KRN_MEMORY_ONE_BLOCK) {
          EXPECT_EQ(std::memcmp(b->Bits, picture.data(), picture.size()), 0) << "rows are one block";
        }
      }
    }
  }
  TestBitmap empty;
  uint8_t byte;
  EXPECT_EQ(KrnGetBitmapRow(empty.get(), &byte, 0, 0, 1), -2);
}

TEST_F(KernelBitmap, FillStoresTheColourInEachFormat) {
  struct Case {
    int32_t bits, order;
    std::vector<uint8_t> firstPixelBytes;  // for colour RGB(200, 100, 50)
  };
  const Case cases[] = {
      {24, 1, {50, 100, 200}},           {24, 0, {200, 100, 50}},
      {32, 1, {50, 100, 200, 0}},        {16, 1, {0x86, 0x65}},  // 5-5-5 blue low: 6 | 12 << 5 | 25 << 10
      {48, 1, {50, 50, 100, 100, 200, 200}}, {8, 0, {117}},  // nearest entry of the grey ramp
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bits);
    TestBitmap b;
    ASSERT_EQ(KrnAllocateBitmap(b.get(), 164, 1, 3, 2, c.bits, c.order, nullptr, 1, nullptr, 0), 1);
    ASSERT_EQ(KrnFillBitmap(b.get(), 0x003264C8), 1);  // RGB(200, 100, 50)
    std::vector<uint8_t> row(size_t(b->BytesPerLine));
    ASSERT_GT(KrnGetBitmapRow(b.get(), row.data(), 1, 0, uint32_t(row.size())), 0);
    if (c.bits == 8) {
      EXPECT_EQ(row[0], 117);
      EXPECT_EQ(row[2], 117);
    } else {
      EXPECT_EQ(std::vector<uint8_t>(row.begin(), row.begin() + long(c.firstPixelBytes.size())), c.firstPixelBytes);
    }
  }
  TestBitmap mono;
  ASSERT_EQ(KrnAllocateBitmap(mono.get(), 164, 2, 11, 2, 1, 0, nullptr, 4, nullptr, 0), 1);
  ASSERT_EQ(KrnFillBitmap(mono.get(), 0xFFFFFF), 1);
  uint8_t bytes[4] = {};
  ASSERT_EQ(KrnGetBitmapRow(mono.get(), bytes, 0, 0, 4), 4);
  EXPECT_EQ(bytes[0], 0xFF);
  EXPECT_EQ(bytes[1], 0xE0) << "only the 11 pixels of the row";
}

TEST_F(KernelBitmap, CopyIsDeepAndFailuresLeaveTheDestinationAlone) {
  TestBitmap source;
  const auto pixels = RandomBytes(12 * 7, 7);
  ASSERT_EQ(KrnAllocateBitmap(source.get(), 164, KRN_MEMORY_ROWS, 11, 7, 8, 0, nullptr, 6, pixels.data(),
                              uint32_t(pixels.size())),
            1);
  source->PaintLUT[10] = 99;

  BitmapRecord destination;
  std::memset(&destination, 0xAB, sizeof destination);
  const BitmapRecord pattern = destination;
  ForEachAllocationFailure([&] { return KrnCopyBitmap(&destination, source.get(), 164); },
                           [&](int32_t result, int32_t nth) {
                             EXPECT_EQ(result, -1) << "allocation " << nth;
                             EXPECT_TRUE(SameRecord(destination, pattern)) << "allocation " << nth;
                           });
  // The walk's last run succeeded.
  ASSERT_EQ(destination.StructSize, 164u);
  EXPECT_NE(destination.Bits, source->Bits);
  EXPECT_NE(destination.Palette, source->Palette);
  EXPECT_EQ(destination.PaintLUT[10], 99);
  EXPECT_EQ(destination.Orientation, 6);
  std::vector<uint8_t> a(12), b(12);
  for (int32_t y = 0; y < 7; ++y) {
    KrnGetBitmapRow(source.get(), a.data(), y, 0, 12);
    KrnGetBitmapRow(&destination, b.data(), y, 0, 12);
    EXPECT_EQ(a, b);
  }
  EXPECT_EQ(KrnCopyBitmap(&destination, source.get(), 165), -789);
  KrnFreeBitmap(&destination);
}

TEST_F(KernelBitmap, AllocationFailuresLeaveTheRecordAsItWas) {
  for (int32_t kind : {KRN_MEMORY_ONE_BLOCK, KRN_MEMORY_ROWS}) {
    BitmapRecord record;
    std::memset(&record, 0x37, sizeof record);
    const BitmapRecord pattern = record;
    ForEachAllocationFailure(
        [&] { return KrnAllocateBitmap(&record, 164, kind, 40, 6, 4, 0, nullptr, 1, nullptr, 0); },
        [&](int32_t result, int32_t nth) {
          EXPECT_EQ(result, -1) << "allocation " << nth;
          EXPECT_TRUE(SameRecord(record, pattern)) << "allocation " << nth;
        });
    EXPECT_EQ(record.Width, 40);
    KrnFreeBitmap(&record);
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
