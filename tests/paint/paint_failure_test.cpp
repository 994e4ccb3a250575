// Failures of a paint: every allocation failing in turn gives -1 with pixel access released and
// nothing leaked; a device that refuses a band ends the paint with -1; empty intersections paint
// nothing and return 1.
#include <gtest/gtest.h>

#include "paint/paint_expect.h"
#include "qsdisp.h"

using namespace paint_model;

namespace {
class PaintFailure : public KernelLeakTest {
 protected:
  void TearDown() override {
    Q_SetDisplayMode(0xFFFFFFFF, 12);
    KernelLeakTest::TearDown();
  }
};

struct Case {
  const char* Name;
  uint32_t Mode;
  int Depth, Bits, Orientation;
  RECT Dst;
};
}  // namespace

TEST_F(PaintFailure, EveryAllocationFailureReturnsMinusOneAndReleasesAccess) {
  const Case cases[] = {
      {"dither, rows apart, turned", 0x88, 8, 24, 6, {0, 0, 30, 20}},
      {"unpack, rows apart", 0x8, 24, 32, 1, {0, 0, 30, 20}},
      {"same size 1-bit grey", 0x18, 24, 1, 3, {0, 0, 17, 11}},
      {"resampled part", 0x408, 24, 8, 7, {0, 0, 25, 25}},
      {"resampled dither", 0x289, 8, 16, 2, {0, 0, 9, 5}},
  };
  for (const Case& c : cases) {
    Q_SetDisplayMode(0xFFFFFFFF, c.Mode);
    TestBitmap bitmap;
    MakeRandom(bitmap, 17, 11, c.Bits, 1, c.Orientation, 3, KRN_MEMORY_ROWS);
    if (c.Bits == 1) {
      const RGBQUAD grey[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
      KrnSetBitmapColors(bitmap.get(), 0, 2, grey);
    }
    const RECT src{1, 1, 16, 10};
    const RECT* source = c.Bits == 1 ? nullptr : &src;
    FakeCanvas canvas(30, 30, c.Depth);
    const int32_t made = ForEachAllocationFailure(
        [&] { return canvas.Paint(bitmap.get(), source, nullptr, &c.Dst, nullptr); },
        [&](int32_t result, int32_t nth) {
          EXPECT_EQ(result, -1) << c.Name << ", allocation " << nth;
          EXPECT_EQ(bitmap->KrnAccessCount, 0u) << c.Name;
        });
    EXPECT_GT(made, 0) << c.Name;
    EXPECT_EQ(bitmap->KrnAccessCount, 0u);
  }
}

TEST_F(PaintFailure, ARefusedBandEndsThePaint) {
  Q_SetDisplayMode(0xFFFFFFFF, 0x8);
  TestBitmap bitmap;
  MakeRandom(bitmap, 20, 20, 24, 1, 5, 8);
  FakeCanvas canvas(40, 40, 24);
  const RECT dst{0, 0, 40, 40};
  canvas.FailNextBand = true;
  EXPECT_EQ(canvas.Paint(bitmap.get(), nullptr, nullptr, &dst, nullptr), -1);
  EXPECT_EQ(bitmap->KrnAccessCount, 0u);
}

TEST_F(PaintFailure, EmptyIntersectionsPaintNothing) {
  Q_SetDisplayMode(0xFFFFFFFF, 0x8);
  TestBitmap bitmap;
  MakeRandom(bitmap, 20, 10, 8, 0, 1, 4);
  CanvasList canvases = MakeCanvases(30, 30);
  const RECT dst{0, 0, 30, 30}, mirrored{10, 25, 25, 0}, farClip{100, 100, 120, 120}, anyClip{0, 0, 30, 30};
  const RECT outside{25, 0, 40, 10};  // a source clip beside the bitmap
  for (auto& canvas : canvases) {
    canvas->Clear(kBackground);
    EXPECT_EQ(canvas->Paint(bitmap.get(), nullptr, &outside, &dst, nullptr), 1);
    EXPECT_EQ(canvas->Paint(bitmap.get(), nullptr, nullptr, &dst, &farClip), 1);
    // A bottom-up destination with any clip: the clip intersection is empty.
    EXPECT_EQ(canvas->Paint(bitmap.get(), nullptr, nullptr, &mirrored, &anyClip), 1);
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 30; ++x) ASSERT_EQ(canvas->Pixel(x, y), kBackground) << canvas->Name();
    // Without the clip the bottom-up destination is painted, upright.
    ASSERT_EQ(canvas->Paint(bitmap.get(), nullptr, nullptr, &mirrored, nullptr), 1);
    EXPECT_EQ(Compare(*canvas, bitmap.Record, Request{nullptr, nullptr, mirrored, nullptr}, Shown(bitmap.Record)), "");
  }
}
