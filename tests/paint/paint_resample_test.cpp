// Scaled paints through the kernel's resampling (DisplayMode 0x200 and 0x400): exactly the
// destination is painted, flat areas stay flat, edges get intermediate values, and the picture
// stays upright for every orientation.
#include <gtest/gtest.h>

#include <set>

#include "paint/paint_expect.h"
#include "qsdisp.h"

using namespace paint_model;

namespace {
class PaintResample : public KernelLeakTest {
 protected:
  void TearDown() override {
    Q_SetDisplayMode(0xFFFFFFFF, 12);
    KernelLeakTest::TearDown();
  }
};

// A picture whose left half is dark red and right half light blue, stored for `orientation`.
void HalfAndHalf(TestBitmap& t, int orientation, int bits) {
  const int pw = 8, ph = 6;
  const bool transposed = orientation >= 5;
  RGBQUAD palette[256] = {{0x10, 0x10, 0xA0, 0}, {0xF0, 0xC0, 0x40, 0}};  // the rest unused
  ASSERT_EQ(KrnAllocateBitmap(t.get(), 164, KRN_MEMORY_ONE_BLOCK, transposed ? ph : pw, transposed ? pw : ph, bits,
                              1, bits <= 8 ? palette : nullptr, orientation, nullptr, 0),
            1);
  for (int py = 0; py < ph; ++py) {
    for (int px = 0; px < pw; ++px) {
      int sx, sy;
      StoredOf(orientation, pw, ph, px, py, sx, sy);
      std::vector<uint8_t> row(size_t(t->BytesPerLine));
      KrnGetBitmapRow(t.get(), row.data(), sy, 0, uint32_t(row.size()));
      const bool right = px >= pw / 2;
      pixel_model::Put(row.data(), bits, sx, bits <= 8 ? uint64_t(right) : (right ? 0x40C0F0 : 0xA01010));
      KrnPutBitmapRow(t.get(), row.data(), sy, 0, uint32_t(row.size()));
    }
  }
}
}  // namespace

TEST_F(PaintResample, BothOptionsPaintExactlyTheDestinationSmoothlyAndUpright) {
  CanvasList canvases = MakeCanvases(60, 40);
  for (uint32_t option : {0x200u, 0x400u}) {
    Q_SetDisplayMode(0xFFFFFFFF, 0x8 | option);
    for (int orientation = 1; orientation <= 8; ++orientation) {
      for (int bits : {24, 8}) {
        TestBitmap bitmap;
        HalfAndHalf(bitmap, orientation, bits);
        for (const RECT& dst : {RECT{3, 2, 53, 37}, RECT{5, 5, 9, 8}}) {  // enlarged and reduced
          const RECT clip{4, 3, 50, 36};
          for (auto& canvas : canvases) {
            canvas->Clear(kBackground);
            ASSERT_EQ(canvas->Paint(bitmap.get(), nullptr, nullptr, &dst, &clip), 1);
            RECT visible;
            Intersect(visible, dst, clip);
            std::set<uint32_t> middle;
            for (int y = 0; y < canvas->Height; ++y) {
              for (int x = 0; x < canvas->Width; ++x) {
                const bool in = x >= visible.left && x < visible.right && y >= visible.top && y < visible.bottom;
                const uint32_t c = canvas->Pixel(x, y);
                ASSERT_EQ(c != kBackground, in) << "(" << x << "," << y << ") on " << canvas->Name();
                if (!in) continue;
                // Left of the middle stays reddish, right of it bluish: the picture is upright.
                const int dx = x - dst.left, w = dst.right - dst.left;
                if (4 * dx < w - 4) {
                  EXPECT_GT(R(c), B(c)) << "orientation " << orientation;
                }
                if (4 * dx > 3 * w + 4) {
                  EXPECT_GT(B(c), R(c)) << "orientation " << orientation;
                }
                if (y == (visible.top + visible.bottom) / 2) middle.insert(c);
              }
            }
            if (dst.right - dst.left > 20) {
              EXPECT_GE(middle.size(), 3u) << "an enlarged edge has intermediate colours, option " << option;
            }
          }
        }
      }
    }
  }
}

TEST_F(PaintResample, FlatAreasStayFlatAtEveryDepth) {
  for (int bits : {4, 8, 16, 24, 32, 48}) {
    TestBitmap bitmap;
    ASSERT_EQ(KrnAllocateBitmap(bitmap.get(), 164, KRN_MEMORY_ONE_BLOCK, 9, 7, bits, 1, nullptr, 3, nullptr, 0), 1);
    KrnFillBitmap(bitmap.get(), 0x808080);
    for (uint32_t option : {0x200u, 0x400u}) {
      Q_SetDisplayMode(0xFFFFFFFF, 0x8 | option);
      FakeCanvas canvas(30, 30, 24);
      const RECT dst{1, 1, 29, 23};
      canvas.Clear(kBackground);
      ASSERT_EQ(canvas.Paint(bitmap.get(), nullptr, nullptr, &dst, nullptr), 1);
      const uint32_t first = canvas.Pixel(1, 1);
      for (int y = 1; y < 23; ++y)
        for (int x = 1; x < 29; ++x) ASSERT_EQ(canvas.Pixel(x, y), first) << "bits " << bits;
      EXPECT_NEAR(G(first), 0x80, 8) << "bits " << bits;  // 4 bits: the nearest grey level is 136
    }
  }
}
