// Q_PaintDC's argument checks, in their fixed order, and its use of the caller's raster
// operation.
#include <windows.h>

#include <gtest/gtest.h>

#include "paint/paint_expect.h"
#include "qsdisp.h"

using namespace paint_model;

TEST(PaintRequest, ChecksItsArgumentsInOrder) {
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

TEST(PaintRequest, BandsUseTheCallersRasterOperation) {
  const uint32_t previous = Q_SetDisplayMode(0xFFFFFFFF, 0x8);
  TestBitmap bitmap;
  MakeRandom(bitmap, 6, 5, 24, 1, 8, 2);
  DibCanvas canvas(20, 20);
  canvas.Clear(0xFFFFFF);
  canvas.Rop = SRCINVERT;
  const RECT dst{1, 1, 19, 17};  // scaled, several columns per source row
  ASSERT_EQ(canvas.Paint(bitmap.get(), nullptr, nullptr, &dst, nullptr), 1);
  const Mapping m{dst, RECT{0, 0, 5, 6}};
  for (int y = 1; y < 17; ++y) {
    for (int x = 1; x < 19; ++x) {
      int sx, sy;
      StoredOf(8, 5, 6, int(m.Px(x)), int(m.Py(y)), sx, sy);
      ASSERT_EQ(canvas.Pixel(x, y), ~ShownColour(bitmap.Record, sx, sy) & 0xFFFFFF) << x << "," << y;
    }
  }
  Q_SetDisplayMode(0xFFFFFFFF, previous);
}

TEST(PaintRequest, WholeBitmapTransferShowsTheSourcePartUprightInsideTheClip) {
  // DisplayMode 0x2: the device stretches the bitmap's own rows. A picture red above, blue
  // below, stored top-down (1) and bottom-up (4); its upper half painted enlarged is all red.
  const uint32_t previous = Q_SetDisplayMode(0xFFFFFFFF, 0x8 | 0x2);
  for (int orientation : {1, 4}) {
    TestBitmap bitmap;
    ASSERT_EQ(KrnAllocateBitmap(bitmap.get(), 164, KRN_MEMORY_ONE_BLOCK, 8, 8, 32, 1, nullptr, orientation, nullptr,
                                0),
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
    for (int y = 0; y < 40; ++y) {
      for (int x = 0; x < 40; ++x) {
        const bool in = x >= 2 && x < 30 && y >= 3 && y < 25;
        ASSERT_EQ(canvas.Pixel(x, y), in ? 0xFF0000u : kBackground) << x << "," << y << " orientation " << orientation;
      }
    }
  }
  Q_SetDisplayMode(0xFFFFFFFF, previous);
}
