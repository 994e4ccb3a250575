// Row fetchers, pixel byte offsets, 1-bit expansion and deep grey unpacked to bytes (as painted
// on palette devices; unpacking to 24 bits is checked pixel by pixel by the paint model sweep).
#include <gtest/gtest.h>

#include <numeric>

#include "paint/paint_model.h"
#include "paint/paint_mono.h"
#include "paint/row_kernels.h"

namespace {
using RowFetch = KernelLeakTest;
using Bytes = std::vector<uint8_t>;

// A 5 x 4 24-bit bitmap whose byte at (row, offset) is row * 16 + offset; rows padded to 16 bytes.
void MakeNumbered(TestBitmap& b) {
  Bytes data(16 * 4);
  std::iota(data.begin(), data.end(), uint8_t(0));
  ASSERT_EQ(KrnAllocateBitmap(b.get(), 164, KRN_MEMORY_ROWS, 5, 4, 24, 0, nullptr, 1, data.data(), 64), 1);
}

Bytes Numbers(int row, int from, int count) {
  Bytes v(count);
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

Bytes Unpack(int bits, const BitmapRecord& bitmap, const Bytes& src, int x0, int x1, size_t outBytes) {
  Bytes out(outBytes, 0xA5);
  const UnpackRowFn fn = SelectUnpackRow(bits, 8);
  EXPECT_NE(fn, nullptr);
  if (fn) fn(out.data(), src.data(), &bitmap, x0, x1);
  return out;
}
}  // namespace

TEST(PixelByteOffset, EveryDepth) {
  const std::pair<int, uint32_t> cases[] = {{1, 1},   {2, 3},    {3, 4},   {4, 6},   {5, 8},   {6, 9},
                                            {7, 11},  {8, 13},   {12, 19}, {16, 26}, {24, 39}, {32, 52},
                                            {48, 78}, {64, 104}, {10, 13}, {0, 13}};
  for (auto [bits, offset] : cases) EXPECT_EQ(PixelByteOffset(bits, 13), offset) << bits;
  EXPECT_EQ(PixelByteOffset(12, 1), 1u);  // the odd pixel's word starts one byte on
  EXPECT_EQ(PixelByteOffset(64, 0x10000000), 0x80000000u);
}

TEST(FetchBandRow, ClampsTheRowIntoTheBand) {
  DescribedBitmap bitmap(24, 0);
  bitmap.Record.BytesPerLine = 16;
  Bytes band(48);
  std::iota(band.begin(), band.end(), uint8_t(0));
  const BandFetchContext context{band.data(), 5, 3};
  const std::pair<int, int> rows[] = {{4, 0}, {-9, 0}, {5, 0}, {6, 1}, {7, 2}, {8, 2}, {100, 2}};
  for (auto [row, index] : rows) {
    Bytes out(7, 0xEE), want = Numbers(index, 6, 6);
    want.push_back(0xEE);
    ASSERT_EQ(FetchBandRow(&bitmap.Record, out.data(), row, 2, 6, &context), 1);
    EXPECT_EQ(out, want) << row;
  }
  bitmap.Record.BitsPerPixel = 1;  // column 13 of a 1-bit row is in byte 1
  uint8_t out = 0;
  ASSERT_EQ(FetchBandRow(&bitmap.Record, &out, 6, 13, 1, &context), 1);
  EXPECT_EQ(out, 17);
  EXPECT_EQ(FetchBandRow(&bitmap.Record, &out, 6, 13, 1, nullptr), -13);
  const BandFetchContext empty{band.data(), 5, 0};
  EXPECT_EQ(FetchBandRow(&bitmap.Record, &out, 6, 13, 1, &empty), -13);
}

TEST_F(RowFetch, BitmapRowsMoveByTheOffsetsClampAndAreCutAtTheRowsEnd) {
  TestBitmap b;
  MakeNumbered(b);
  BitmapFetchContext context{b.get(), 1, 2, nullptr, nullptr, 0};
  Bytes out(20, 0xEE);
  auto fetched = [&](int32_t row, int32_t column, uint32_t bytes) {
    EXPECT_EQ(FetchBitmapRow(b.get(), out.data(), row, column, bytes, &context), 1);
    return Bytes(out.begin(), out.begin() + bytes);
  };
  EXPECT_EQ(fetched(1, 1, 6), Numbers(3, 6, 6));    // row 3, column 2
  EXPECT_EQ(fetched(50, -7, 6), Numbers(3, 0, 6));  // last row, column 0
  context.RowOffset = -5;
  EXPECT_EQ(fetched(1, 9, 3), Numbers(0, 12, 3));  // row 0, column 4
  EXPECT_EQ(FetchBitmapRow(b.get(), out.data(), 0, 0, 3, nullptr), -13);
  context = BitmapFetchContext{b.get(), 0, 0, nullptr, nullptr, 0};
  std::fill(out.begin(), out.end(), 0xEE);
  EXPECT_EQ(fetched(2, 4, 5), (Bytes{44, 45, 46, 47, 0xEE}));  // 16 - 12 = 4 bytes
  b->Flags &= ~QS_FLAG_STORAGE;                                // the kernel delivers nothing: a short read
  EXPECT_EQ(FetchBitmapRow(b.get(), out.data(), 0, 0, 4, &context), -7);
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
  EXPECT_EQ(std::vector<int64_t>({log.Row, log.Column, log.Bytes}), std::vector<int64_t>({3, 4, 4}));
  EXPECT_EQ(out[3], 0xB3);
  log.Result = -55;
  EXPECT_EQ(FetchBitmapRow(&work.Record, out, 0, 0, 3, &context), -55);
}

TEST_F(RowFetch, BitShiftMovesTheWholeBufferLeft) {
  TestBitmap b;
  const Bytes data = {0b10110011, 0b01011100, 0b11110000, 0};
  ASSERT_EQ(KrnAllocateBitmap(b.get(), 164, KRN_MEMORY_ONE_BLOCK, 24, 1, 1, 0, nullptr, 1, data.data(), 4), 1);
  const BitmapFetchContext context{b.get(), 0, 0, nullptr, nullptr, 3};
  Bytes out(3);
  ASSERT_EQ(FetchBitmapRow(b.get(), out.data(), 0, 0, 3, &context), 1);
  EXPECT_EQ(out, (Bytes{0b10011010, 0b11100111, 0b10000000}));  // the last byte shifted alone
}

TEST(ExpandMonoRow, OneByteOfZeroOr255PerBitFromAnyFirstBit) {
  const uint8_t row[] = {0xA5, 0x3C, 0xF0, 0x81};
  for (int invert = 0; invert < 2; ++invert)
    for (int x = 0; x < 12; ++x)
      for (int n = 0; n <= 32 - x; ++n) {
        Bytes out(40, 0x77);
        ExpandMonoRow(out.data(), row, x, n, invert);
        for (int i = 0; i < n; ++i)
          ASSERT_EQ(out[i], (pixel_model::Get(row, 1, x + i) ^ invert) ? 255 : 0)
              << "x " << x << " n " << n << " i " << i;
        ASSERT_EQ(out[n], 0x77) << "nothing past n";
      }
}

TEST(RowUnpackers, DeepGreyBecomesBytesThroughItsWindowOrItsTable) {
  DescribedBitmap grey12(12, 2);
  const Bytes src = {0x21, 0x43, 0x65, 0x87, 0xA9, 0xCB};  // 0x321, 0x654, 0x987, 0xCBA
  // The full 12-bit window is read at its top 8 bits; the odd pixel is the high bits of its word.
  EXPECT_EQ(Unpack(12, grey12.Record, src, 1, 4, 4), (Bytes{0x65, 0x98, 0xCB, 0xA5}));
  // A 4-bit window (bits 4..7) is spread over 0..255: v x 255 / 15.
  grey12.Record.WindowLowBit = 4, grey12.Record.WindowHighBit = 7;
  EXPECT_EQ(Unpack(12, grey12.Record, src, 0, 4, 4), (Bytes{0x22, 0x55, 0x88, 0xBB}));
  DescribedBitmap grey16(16, 2);  // through a window-level table: the colour's low byte
  std::vector<uint32_t> lut(65536);
  for (uint32_t i = 0; i < lut.size(); ++i) lut[i] = 0x00102030u + i * 0x01000000u;
  lut[0x1234] = 0x00ABCDEF;
  grey16.UseWindowLut(lut);
  EXPECT_EQ(Unpack(16, grey16.Record, {0x34, 0x12, 0x00, 0x00}, 0, 2, 3), (Bytes{0xEF, 0x30, 0xA5}));
  const std::pair<int, int> none[] = {{1, 4}, {4, 4}, {8, 8}, {24, 24}, {0, 0}};
  for (auto [bits, out] : none) EXPECT_EQ(SelectUnpackRow(bits, out), nullptr) << bits << " to " << out;
}
