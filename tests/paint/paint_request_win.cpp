// Q_PaintDC's argument checks, in their fixed order, its use of the caller's raster operation,
// and the whole-bitmap transfer; Q_PaintDCBuffer's bands and checks.
#include <gtest/gtest.h>
#include <windows.h>

#include "paint/paint_model.h"

using namespace paint_model;
using PaintRequest = PaintTest;

TEST_F(PaintRequest, ChecksItsArgumentsInOrder) {
  TestBitmap bitmap;
  MakeRandom(bitmap, 4, 4, 8, 0, 1, 1);
  HDC dc = CreateCompatibleDC(nullptr);
  const RECT dst{0, 0, 4, 4};
  EXPECT_EQ(Q_PaintDC(dc, nullptr, nullptr, nullptr, &dst, nullptr, SRCCOPY), -2);
  bitmap->StructSize = 163;
  EXPECT_EQ(Q_PaintDC(nullptr, bitmap.get(), nullptr, nullptr, nullptr, nullptr, SRCCOPY), -789);
  bitmap->StructSize = 164;
  EXPECT_EQ(Q_PaintDC(dc, bitmap.get(), nullptr, nullptr, nullptr, nullptr, SRCCOPY), -13);
  EXPECT_EQ(Q_PaintDC(nullptr, bitmap.get(), nullptr, nullptr, &dst, nullptr, SRCCOPY), -13);
  const uint32_t flags = bitmap->Flags;
  bitmap->Flags &= ~QS_FLAG_STORAGE;
  bitmap->StructSize = 165;
  EXPECT_EQ(Q_PaintDC(dc, bitmap.get(), nullptr, nullptr, &dst, nullptr, SRCCOPY), -789) << "size before any field";
  bitmap->StructSize = 164;
  EXPECT_EQ(Q_PaintDC(dc, bitmap.get(), nullptr, nullptr, &dst, nullptr, SRCCOPY), -2);
  bitmap->Flags = flags;
  DeleteDC(dc);
}

TEST_F(PaintRequest, BandsUseTheCallersRasterOperation) {
  TestBitmap bitmap;
  MakeRandom(bitmap, 6, 5, 24, 1, 8, 2);
  DibCanvas canvas(20, 20);
  canvas.Rop = SRCINVERT;  // exclusive or over the background; scaled, several columns per source row
  const ColourFn combined = [&](int, int, int, int, int sx, int sy) {
    return ShownColour(bitmap.Record, sx, sy) ^ kBackground;
  };
  EXPECT_EQ(PaintAndCompare(canvas, bitmap.Record, {.Dst = {1, 1, 19, 17}}, combined), "");
}

TEST_F(PaintRequest, WholeBitmapTransferShowsTheSourcePartUprightInsideTheClip) {
  // DisplayMode 0x2: the device stretches the bitmap's own rows. A picture red above, blue
  // below, stored top-down (1) and bottom-up (4); its upper half painted enlarged is all red.
  Mode(0x8 | 0x2);
  for (int orientation : {1, 4}) {
    TestBitmap bitmap;
    ASSERT_EQ(KrnAllocateBitmap(bitmap.get(), 164, KRN_MEMORY_ONE_BLOCK, 8, 8, 32, 1, nullptr, orientation, nullptr, 0),
              1);
    for (int py = 0; py < 8; ++py) {
      std::vector<uint32_t> row(8, py < 4 ? 0xFF0000u : 0x0000FFu);
      KrnPutBitmapRow(bitmap.get(), row.data(), orientation == 4 ? 7 - py : py, 0, 32);
    }
    DibCanvas canvas(40, 40);
    canvas.Clear(kBackground);
    const RECT src{0, orientation == 4 ? 4 : 0, 8, orientation == 4 ? 8 : 4};  // the picture's upper half, stored
    const RECT dst{0, 0, 32, 32}, clip{2, 3, 30, 25};
    ASSERT_EQ(canvas.Paint(bitmap.get(), &src, nullptr, &dst, &clip), 1);
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 40; ++x) {
        const bool in = x >= 2 && x < 30 && y >= 3 && y < 25;
        ASSERT_EQ(canvas.Pixel(x, y), in ? 0xFF0000u : kBackground) << x << "," << y << " orientation " << orientation;
      }
  }
}

// Q_PaintDCBuffer in a memory DC: bands from the caller's buffers (copied for a negative
// count) give the picture Q_PaintDC gives, leave the buffers as they were, and need no storage.
TEST_F(PaintRequest, BufferedBandsPaintThePictureAndLeaveTheBuffers) {
  for (int orientation : {1, 4, 6}) {
    TestBitmap bitmap;
    MakeRandom(bitmap, 11, 14, 24, 1, orientation, 5);
    const RECT dst{2, 3, 2 + PictureW(bitmap.Record) * 2, 3 + PictureH(bitmap.Record)};
    DibCanvas whole(40, 40), banded(40, 40);
    whole.Clear(kBackground), banded.Clear(kBackground);
    ASSERT_EQ(whole.Paint(bitmap.get(), nullptr, nullptr, &dst, nullptr), 1);
    const uint32_t flags = bitmap->Flags;
    bitmap->Flags &= ~QS_FLAG_STORAGE;  // the record only describes the rows
    for (int32_t first = 0; first < 14; first += 4) {
      const int32_t count = std::min(4, 14 - first);
      std::vector<uint8_t> rows(size_t(bitmap->BytesPerLine) * count);
      for (int32_t i = 0; i < count; ++i) {
        bitmap->Flags = flags;
        KrnGetBitmapRow(bitmap.get(), rows.data() + size_t(i) * bitmap->BytesPerLine, first + i, 0,
                        uint32_t(bitmap->BytesPerLine));
        bitmap->Flags &= ~QS_FLAG_STORAGE;
      }
      const std::vector<uint8_t> kept = rows;
      const int32_t signedCount = first % 8 == 0 ? count : -count;
      ASSERT_EQ(Q_PaintDCBuffer(banded.Dc, bitmap.get(), nullptr, nullptr, &dst, nullptr, SRCCOPY, rows.data(), first,
                                signedCount),
                1);
      EXPECT_EQ(rows, kept);
    }
    GdiFlush();
    bitmap->Flags = flags;
    EXPECT_TRUE(std::equal(whole.Bits, whole.Bits + 1600, banded.Bits)) << "orientation " << orientation;
  }
  TestBitmap bitmap;
  MakeRandom(bitmap, 4, 4, 8, 0, 1, 1);
  uint8_t rows[16] = {};
  const RECT dst{0, 0, 4, 4};
  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_EQ(Q_PaintDCBuffer(dc, nullptr, nullptr, nullptr, &dst, nullptr, SRCCOPY, rows, 0, 4), -2);
  EXPECT_EQ(Q_PaintDCBuffer(dc, bitmap.get(), nullptr, nullptr, &dst, nullptr, SRCCOPY, nullptr, 0, 4), -2);
  bitmap->StructSize = 163;
  EXPECT_EQ(Q_PaintDCBuffer(nullptr, bitmap.get(), nullptr, nullptr, nullptr, nullptr, SRCCOPY, rows, 0, 4), -789);
  bitmap->StructSize = 164;
  EXPECT_EQ(Q_PaintDCBuffer(dc, bitmap.get(), nullptr, nullptr, nullptr, nullptr, SRCCOPY, rows, 0, 4), -13);
  EXPECT_EQ(Q_PaintDCBuffer(nullptr, bitmap.get(), nullptr, nullptr, &dst, nullptr, SRCCOPY, rows, 0, 4), -13);
  DeleteDC(dc);
}
