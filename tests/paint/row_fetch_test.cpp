// Row fetchers and pixel byte offsets.
#include <gtest/gtest.h>

#include <numeric>

#include "common/kernel_fixture.h"
#include "paint/row_kernels.h"
#include "paint_test_support.h"

namespace {
using RowFetch = KernelLeakTest;

// A 5 x 4 24-bit bitmap whose byte at (row, offset) is row * 16 + offset; rows padded to 16 bytes.
void MakeNumbered(TestBitmap& b) {
  std::vector<uint8_t> data(16 * 4);
  for (int y = 0; y < 4; ++y)
    for (int i = 0; i < 16; ++i) data[y * 16 + i] = uint8_t(y * 16 + i);
  ASSERT_EQ(KrnAllocateBitmap(b.get(), 164, KRN_MEMORY_ROWS, 5, 4, 24, 0, nullptr, 1, data.data(),
                              uint32_t(data.size())),
            1);
}

std::vector<uint8_t> Numbers(int row, int from, int count) {
  std::vector<uint8_t> v(count);
  std::iota(v.begin(), v.end(), uint8_t(row * 16 + from));
  return v;
}

struct CallbackLog {
  const BitmapRecord* Bitmap = nullptr;
  int32_t Row = -1, Column = -1;
  uint32_t Bytes = 0;
  int32_t Result = 1;
};

int32_t QSAPI LoggingCallback(const BitmapRecord* bitmap, void* buffer, int32_t row, int32_t column, uint32_t bytes,
                              void* user) {
  auto& log = *static_cast<CallbackLog*>(user);
  log.Bitmap = bitmap, log.Row = row, log.Column = column, log.Bytes = bytes;
  std::fill_n(static_cast<uint8_t*>(buffer), bytes, uint8_t(0xB3));
  return log.Result;
}
}  // namespace

TEST(PixelByteOffset, EveryDepth) {
  const std::pair<int, uint32_t> cases[] = {{1, 1},   {2, 3},   {3, 4},   {4, 6},   {5, 8},   {6, 9},   {7, 11},
                                            {8, 13},  {12, 19}, {16, 26}, {24, 39}, {32, 52}, {48, 78}, {64, 104},
                                            {10, 13}, {0, 13}};
  for (auto [bits, offset] : cases) EXPECT_EQ(PixelByteOffset(bits, 13), offset) << bits;
  EXPECT_EQ(PixelByteOffset(12, 1), 1u);  // the odd pixel's word starts one byte on
  EXPECT_EQ(PixelByteOffset(64, 0x10000000), 0x80000000u);
}

TEST(FetchBandRow, ClampsTheRowIntoTheBand) {
  DescribedBitmap bitmap(24, 0);
  bitmap.Record.BytesPerLine = 16;
  std::vector<uint8_t> band(48);
  std::iota(band.begin(), band.end(), uint8_t(0));
  const BandFetchContext context{band.data(), 5, 3};
  const std::pair<int, int> rows[] = {{4, 0}, {-9, 0}, {5, 0}, {6, 1}, {7, 2}, {8, 2}, {100, 2}};
  for (auto [row, index] : rows) {
    std::vector<uint8_t> out(7, 0xEE);
    ASSERT_EQ(FetchBandRow(&bitmap.Record, out.data(), row, 2, 6, &context), 1);
    EXPECT_EQ(out, (std::vector<uint8_t>{uint8_t(index * 16 + 6), uint8_t(index * 16 + 7), uint8_t(index * 16 + 8),
                                         uint8_t(index * 16 + 9), uint8_t(index * 16 + 10), uint8_t(index * 16 + 11),
                                         0xEE}))
        << row;
  }
  bitmap.Record.BitsPerPixel = 1;  // column 13 of a 1-bit row is in byte 1
  uint8_t out = 0;
  ASSERT_EQ(FetchBandRow(&bitmap.Record, &out, 6, 13, 1, &context), 1);
  EXPECT_EQ(out, 17);
  EXPECT_EQ(FetchBandRow(&bitmap.Record, &out, 6, 13, 1, nullptr), -13);
  const BandFetchContext empty{band.data(), 5, 0};
  EXPECT_EQ(FetchBandRow(&bitmap.Record, &out, 6, 13, 1, &empty), -13);
}

TEST_F(RowFetch, BitmapRowsMoveByTheOffsetsAndClampToTheBitmap) {
  TestBitmap b;
  MakeNumbered(b);
  BitmapFetchContext context{b.get(), 1, 2, nullptr, nullptr, 0};
  std::vector<uint8_t> out(6, 0xEE);
  ASSERT_EQ(FetchBitmapRow(b.get(), out.data(), 1, 1, 6, &context), 1);  // row 3, column 2
  EXPECT_EQ(out, Numbers(3, 6, 6));
  ASSERT_EQ(FetchBitmapRow(b.get(), out.data(), 50, -7, 6, &context), 1);  // last row, column 0
  EXPECT_EQ(out, Numbers(3, 0, 6));
  context.RowOffset = -5;
  ASSERT_EQ(FetchBitmapRow(b.get(), out.data(), 1, 9, 3, &context), 1);  // row 0, column 4
  EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + 3), Numbers(0, 12, 3));
  EXPECT_EQ(FetchBitmapRow(b.get(), out.data(), 0, 0, 3, nullptr), -13);
}

TEST_F(RowFetch, ByteCountIsCutAtTheRowsEnd) {
  TestBitmap b;
  MakeNumbered(b);
  const BitmapFetchContext context{b.get(), 0, 0, nullptr, nullptr, 0};
  std::vector<uint8_t> out(20, 0xEE);
  ASSERT_EQ(FetchBitmapRow(b.get(), out.data(), 2, 4, 20, &context), 1);  // 16 - 12 = 4 bytes
  EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + 4), Numbers(2, 12, 4));
  EXPECT_EQ(out[4], 0xEE);
}

TEST_F(RowFetch, ShortReadFromTheKernelIsMinusSeven) {
  TestBitmap b;
  MakeNumbered(b);
  b->Flags &= ~QS_FLAG_STORAGE;  // the kernel delivers nothing
  const BitmapFetchContext context{b.get(), 0, 0, nullptr, nullptr, 0};
  uint8_t out[4];
  EXPECT_EQ(FetchBitmapRow(b.get(), out, 0, 0, 4, &context), -7);
  b->Flags |= QS_FLAG_STORAGE;
}

TEST_F(RowFetch, CallbackGetsTheClampedRequestAndItsResultIsReturned) {
  TestBitmap b;
  MakeNumbered(b);
  DescribedBitmap work(24, 0);  // the record the fetcher is called for, e.g. a resampling work record
  CallbackLog log;
  const BitmapFetchContext context{b.get(), 1, 1, LoggingCallback, &log, 0};
  uint8_t out[20] = {};
  EXPECT_EQ(FetchBitmapRow(&work.Record, out, 7, 3, 20, &context), 1);
  EXPECT_EQ(log.Bitmap, b.get());
  EXPECT_EQ(log.Row, 3);
  EXPECT_EQ(log.Column, 4);
  EXPECT_EQ(log.Bytes, 4u);
  EXPECT_EQ(out[3], 0xB3);
  log.Result = -55;
  EXPECT_EQ(FetchBitmapRow(&work.Record, out, 0, 0, 3, &context), -55);
}

TEST_F(RowFetch, BitShiftMovesTheWholeBufferLeft) {
  TestBitmap b;
  const std::vector<uint8_t> data = {0b10110011, 0b01011100, 0b11110000, 0};
  ASSERT_EQ(KrnAllocateBitmap(b.get(), 164, KRN_MEMORY_ONE_BLOCK, 24, 1, 1, 0, nullptr, 1, data.data(), 4), 1);
  const BitmapFetchContext context{b.get(), 0, 0, nullptr, nullptr, 3};
  uint8_t out[3] = {};
  ASSERT_EQ(FetchBitmapRow(b.get(), out, 0, 0, 3, &context), 1);
  EXPECT_EQ(out[0], 0b10011010);
  EXPECT_EQ(out[1], 0b11100111);
  EXPECT_EQ(out[2], 0b10000000);  // the last byte is shifted alone
}
