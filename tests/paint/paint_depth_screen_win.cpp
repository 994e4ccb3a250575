// Painting on screens of depth 8, 16 and 24 (run once per Xvfb depth): the device's depth
// class decides whether a paint dithers to the fixed palette, palette-index bands show the fixed
// palette through the paint palette, and a window on the screen shows the picture.
#include <windows.h>

#include <gtest/gtest.h>

#include "paint/paint_expect.h"
#include "qsdisp.h"

using namespace paint_model;

namespace {
int ScreenDepth() {
  HDC screen = GetDC(nullptr);
  const int depth = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
  ReleaseDC(nullptr, screen);
  return depth;
}

class ScreenPaint : public KernelLeakTest {
 protected:
  void TearDown() override {
    Q_SetDisplayMode(0xFFFFFFFF, 12);
    KernelLeakTest::TearDown();
  }
};
}  // namespace

TEST_F(ScreenPaint, PaletteScreensDitherToTheFixedPaletteOthersPaintColours) {
  Q_SetDisplayMode(0xFFFFFFFF, 0x8 | 0x1);  // dither on palette devices, ordered
  TestBitmap bitmap;
  MakeRandom(bitmap, 10, 10, 24, 1, 1, 55);
  DibCanvas canvas(40, 40);
  canvas.Clear(kBackground);
  const RECT dst{2, 3, 37, 38};
  ASSERT_EQ(canvas.Paint(bitmap.get(), nullptr, nullptr, &dst, nullptr), 1);
  const bool palette = ScreenDepth() <= 8;
  const ColourFn model = palette ? OrderedModel(bitmap.Record, dst, false) : Shown(bitmap.Record);
  EXPECT_EQ(Compare(canvas, bitmap.Record, Request{nullptr, nullptr, dst, nullptr}, model), "")
      << "screen depth " << ScreenDepth();
}

TEST_F(ScreenPaint, PaletteIndexBandsShowTheFixedPaletteThroughThePaintPalette) {
  if (ScreenDepth() > 8) GTEST_SKIP() << "palette screens only";
  Q_SetDisplayMode(0xFFFFFFFF, 0x8 | 0x1 | 0x4);
  TestBitmap bitmap;
  MakeRandom(bitmap, 8, 8, 24, 1, 1, 56);
  DibCanvas canvas(24, 24);
  canvas.Clear(kBackground);
  HPALETTE palette = Q_CreatePaintPalette(canvas.Dc, bitmap.get());
  ASSERT_NE(palette, nullptr);
  HPALETTE old = SelectPalette(canvas.Dc, palette, FALSE);
  RealizePalette(canvas.Dc);
  const RECT dst{0, 0, 24, 24};
  ASSERT_EQ(canvas.Paint(bitmap.get(), nullptr, nullptr, &dst, nullptr), 1);
  EXPECT_EQ(Compare(canvas, bitmap.Record, Request{nullptr, nullptr, dst, nullptr},
                    OrderedModel(bitmap.Record, dst, false)),
            "");
  SelectPalette(canvas.Dc, old, FALSE);
  DeleteObject(palette);
}

TEST_F(ScreenPaint, AWindowShowsThePicture) {
  // Primaries, black and white read back exactly at every screen depth; the picture is stored
  // turned (orientation 6) and painted enlarged.
  Q_SetDisplayMode(0xFFFFFFFF, 0x8);
  const uint32_t colours[] = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF, 0xFF00FF};
  TestBitmap bitmap;
  ASSERT_EQ(KrnAllocateBitmap(bitmap.get(), 164, KRN_MEMORY_ONE_BLOCK, 4, 8, 24, 1, nullptr, 6, nullptr, 0), 1);
  std::vector<uint8_t> row(size_t(bitmap->BytesPerLine));
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 8; ++x) {
      int sx, sy;
      StoredOf(6, 8, 4, x, y, sx, sy);
      const uint32_t c = colours[(x + y) % 8];
      KrnGetBitmapRow(bitmap.get(), row.data(), sy, 0, uint32_t(row.size()));
      pixel_model::Put(row.data(), 24, sx, c);  // blue, green, red bytes
      KrnPutBitmapRow(bitmap.get(), row.data(), sy, 0, uint32_t(row.size()));
    }
  }
  HWND window = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 10, 10, 64, 32, nullptr,
                                nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  UpdateWindow(window);
  HDC dc = GetDC(window);
  const RECT dst{0, 0, 64, 32};
  ASSERT_EQ(Q_PaintDC(dc, bitmap.get(), nullptr, nullptr, &dst, nullptr, SRCCOPY), 1);
  DibCanvas copy(64, 32);
  BitBlt(copy.Dc, 0, 0, 64, 32, dc, 0, 0, SRCCOPY);
  GdiFlush();
  ReleaseDC(window, dc);
  DestroyWindow(window);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 64; ++x) ASSERT_EQ(copy.Pixel(x, y), colours[(x / 8 + y / 8) % 8]) << x << "," << y;
}
