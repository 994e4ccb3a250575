// Q_PaintDC's argument checks, in their fixed order, its use of the caller's raster operation,
// and the whole-bitmap transfer.
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
