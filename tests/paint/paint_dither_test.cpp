// Paints that dither to the fixed 8-bit palette (path kind 2 on a palette device): the ordered
// dither against a per-pixel model, its pattern anchored at the destination for scaled paints and
// at the bitmap for same-size paints; error diffusion keeps to the palette and to the colour.
#include <gtest/gtest.h>

#include "paint/paint_expect.h"
#include "qsdisp.h"

using namespace paint_model;

namespace {
constexpr uint32_t kOrdered = 0x8 | 0x80 | 0x1;  // dither on palette devices (8-bit ones too), ordered

class PaintDither : public KernelLeakTest {
 protected:
  void TearDown() override {
    Q_SetDisplayMode(0xFFFFFFFF, 12);
    KernelLeakTest::TearDown();
  }
};

}  // namespace

TEST_F(PaintDither, OrderedDitherMatchesThePerPixelModel) {
  Q_SetDisplayMode(0xFFFFFFFF, kOrdered);
  FakeCanvas canvas(48, 40, 8);
  for (int orientation = 1; orientation <= 8; ++orientation) {
    for (int bits : {24, 8}) {
      TestBitmap bitmap;
      MakeRandom(bitmap, orientation >= 5 ? 9 : 11, orientation >= 5 ? 11 : 9, bits, 1, orientation, orientation);
      for (int i = 0; i < 256; ++i) bitmap->PaintLUT[i] = uint8_t(i * 3 / 4 + 20);
      const RECT scaled{2, 3, 40, 35}, same{5, 6, 5 + PictureW(bitmap.Record), 6 + PictureH(bitmap.Record)};
      for (const RECT& dst : {scaled, same}) {
        const bool sameSize = dst.right == same.right;
        canvas.Clear(kBackground);
        ASSERT_EQ(canvas.Paint(bitmap.get(), nullptr, nullptr, &dst, nullptr), 1);
        EXPECT_EQ(Compare(canvas, bitmap.Record, Request{nullptr, nullptr, dst, nullptr},
                          OrderedModel(bitmap.Record, dst, sameSize)),
                  "")
            << "bits " << bits << " orientation " << orientation << (sameSize ? " same size" : " scaled");
      }
    }
  }
}

TEST_F(PaintDither, ErrorDiffusionKeepsToThePaletteAndTheColour) {
  Q_SetDisplayMode(0xFFFFFFFF, 0x8);
  TestBitmap bitmap;  // a flat colour between palette levels
  ASSERT_EQ(KrnAllocateBitmap(bitmap.get(), 164, KRN_MEMORY_ONE_BLOCK, 16, 16, 24, 1, nullptr, 1, nullptr, 0), 1);
  KrnFillBitmap(bitmap.get(), 0x60A050);  // red 0x50, green 0xA0, blue 0x60
  FakeCanvas canvas(40, 40, 8);
  const RECT dst{0, 0, 40, 40};
  canvas.Clear(kBackground);
  ASSERT_EQ(canvas.Paint(bitmap.get(), nullptr, nullptr, &dst, nullptr), 1);
  double r = 0, g = 0, b = 0;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 40; ++x) {
      const uint32_t c = canvas.Pixel(x, y);
      ASSERT_EQ(c, Palette332(canvas.Indices[size_t(y) * 40 + x])) << "a fixed-palette colour";
      r += R(c), g += G(c), b += B(c);
    }
  }
  EXPECT_NEAR(r / 1600, 0x50, 4);
  EXPECT_NEAR(g / 1600, 0xA0, 4);
  EXPECT_NEAR(b / 1600, 0x60, 4);
}

TEST_F(PaintDither, PaletteIndexModeSendsIndicesOfTheFixedPalette) {
  Q_SetDisplayMode(0xFFFFFFFF, kOrdered | 0x4);
  TestBitmap bitmap;
  MakeRandom(bitmap, 10, 10, 24, 1, 1, 42);
  FakeCanvas canvas(20, 20, 8);
  const RECT dst{0, 0, 20, 20};
  canvas.Clear(kBackground);
  ASSERT_EQ(canvas.Paint(bitmap.get(), nullptr, nullptr, &dst, nullptr), 1);
  const ColourFn model = OrderedModel(bitmap.Record, dst, false);
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 20; ++x) {
      const int px = x / 2, py = y / 2;
      ASSERT_EQ(canvas.Pixel(x, y), 0xFF000000u | canvas.Indices[size_t(y) * 20 + x]) << "sent as an index";
      ASSERT_EQ(Palette332(canvas.Indices[size_t(y) * 20 + x]), model(x, y, px, py, px, py));
    }
  }
}
