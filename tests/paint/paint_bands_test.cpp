// Paints that need several bands, and rectangles so large that their products pass 32 bits:
// every visible pixel painted exactly once, no band above 256 KiB plus one row, every pixel where
// the model puts it, and a paint's memory bounded whatever the bitmap's size. Failures: every
// allocation failing in turn and a device refusing a band.
#include <gtest/gtest.h>

#include "paint/paint_model.h"

using namespace paint_model;
using PaintBands = PaintTest;

TEST_F(PaintBands, BandsMeetWithNoLinePaintedTwiceOrSkipped) {
  // Rows (orientation 1) and columns (orientation 6) of 24-bit output, each band far below the
  // paint; a destination clip makes the visible area start and end inside bands.
  for (int orientation : {1, 6}) {
    TestBitmap bitmap;
    MakeRandom(bitmap, 40, 30, 24, 1, orientation, 77 + orientation);
    FakeCanvas canvas(1000, 700, 24);
    const RECT dst{0, 0, 1000, 700}, clip{3, 5, 997, 690};
    ASSERT_EQ(PaintAndCompare(canvas, bitmap.Record, {nullptr, nullptr, dst, &clip}, Shown(bitmap.Record)), "");
    EXPECT_GT(canvas.Bands, 5) << "orientation " << orientation;
    EXPECT_LE(canvas.LargestBandBytes, 262144u + canvas.LargestBandRow);
    int bad = 0;
    for (int y = 0; y < canvas.Height; ++y)
      for (int x = 0; x < canvas.Width; ++x) {
        const bool in = x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom;
        bad += canvas.Writes[size_t(y) * canvas.Width + x] != (in ? 1 : 0);
      }
    EXPECT_EQ(bad, 0) << "pixels not written exactly once inside the clip, or written outside it";
  }
  // Bottom-up, reaching past the canvas, several bands in a memory DC too.
  TestBitmap bitmap;
  MakeRandom(bitmap, 37, 23, 8, 0, 7, 5);
  for (auto& canvas : MakeCanvases(900, 400))
    EXPECT_EQ(PaintAndCompare(*canvas, bitmap.Record, {.Dst = {-5, 420, 905, -3}}, Shown(bitmap.Record)), "");
}

TEST_F(PaintBands, ProductsBeyond32BitsStepExactly) {
  // 50000 source columns into 47000, 60000 and 50000 destination columns: the position products
  // pass 2^31; a window of 64 columns far inside shows exactly the model's columns (the model
  // works on canvas coordinates, the destination shifted by the canvas origin).
  TestBitmap bitmap;
  MakeRandom(bitmap, 50000, 3, 8, 0, 1, 9);
  for (int dstW : {47000, 60000, 50000}) {
    FakeCanvas canvas(64, 5, 24, 31000, 0);
    const RECT dst{0, 0, dstW, 5}, clip{31000, 0, 31064, 5}, shifted{-31000, 0, dstW - 31000, 5},
        shiftedClip{0, 0, 64, 5};
    canvas.Clear(kBackground);
    ASSERT_EQ(canvas.Paint(bitmap.get(), nullptr, nullptr, &dst, &clip), 1);
    EXPECT_EQ(Compare(canvas, bitmap.Record, {nullptr, nullptr, shifted, &shiftedClip}, Shown(bitmap.Record)), "")
        << "destination width " << dstW;
  }
  // One source row enlarged to ten rows.
  TestBitmap row;
  MakeRandom(row, 7, 1, 24, 1, 1, 3);
  FakeCanvas canvas(20, 12, 24);
  EXPECT_EQ(PaintAndCompare(canvas, row.Record, {.Dst = {0, 1, 20, 11}}, Shown(row.Record)), "");
}

TEST_F(PaintBands, APaintHoldsRowBuffersAndOneBandWhateverTheBitmapSize) {
  // 6000 x 2000 8-bit, rows held apart (so each is fetched): scaled, turned and dithered paints
  // stay within one band of 256 KiB plus their row buffers; resampling adds its decoded rows.
  TestBitmap bitmap;
  MakeRandom(bitmap, 6000, 2000, 8, 0, 1, 12, KRN_MEMORY_ROWS);
  const struct {
    int Orientation;
    uint32_t Mode;
    int Depth;
    RECT Dst;
    uint64_t Limit;
  } cases[] = {{1, 0x8, 24, {0, 0, 5000, 3000}, 300 * 1024},
               {6, 0x8, 24, {0, 0, 3000, 5000}, 300 * 1024},
               {1, 0x88, 8, {0, 0, 7000, 1500}, 400 * 1024},
               {6, 0x408, 24, {0, 0, 1500, 2500}, 700 * 1024}};
  for (const auto& c : cases) {
    bitmap->Orientation = c.Orientation;
    Mode(c.Mode);
    FakeCanvas canvas(8, 8, c.Depth);
    KrnTestPeakBytes(1);
    ASSERT_EQ(canvas.Paint(bitmap.get(), nullptr, nullptr, &c.Dst, nullptr), 1);
    EXPECT_LE(KrnTestPeakBytes(0), c.Limit) << "orientation " << c.Orientation << " mode " << c.Mode;
  }
}

TEST_F(PaintBands, EveryAllocationFailureReturnsMinusOneAndReleasesAccess) {
  const struct {
    const char* Name;
    uint32_t Mode;
    int Depth, Bits, Orientation;
    RECT Dst;
  } cases[] = {
      {"dither, rows apart, turned", 0x88, 8, 24, 6, {0, 0, 30, 20}},
      {"unpack, rows apart", 0x8, 24, 32, 1, {0, 0, 30, 20}},
      {"same size 1-bit grey", 0x18, 24, 1, 3, {0, 0, 17, 11}},
      {"resampled part", 0x408, 24, 8, 7, {0, 0, 25, 25}},
      {"resampled dither", 0x289, 8, 16, 2, {0, 0, 9, 5}},
  };
  const RGBQUAD grey[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
  const RECT src{1, 1, 16, 10};
  for (const auto& c : cases) {
    Mode(c.Mode);
    TestBitmap bitmap;
    MakeRandom(bitmap, 17, 11, c.Bits, 1, c.Orientation, 3, KRN_MEMORY_ROWS);
    if (c.Bits == 1) KrnSetBitmapColors(bitmap.get(), 0, 2, grey);
    FakeCanvas canvas(30, 30, c.Depth);
    const int32_t made = ForEachAllocationFailure(
        [&] { return canvas.Paint(bitmap.get(), c.Bits == 1 ? nullptr : &src, nullptr, &c.Dst, nullptr); },
        [&](int32_t result, int32_t nth) {
          EXPECT_EQ(result, -1) << c.Name << ", allocation " << nth;
          EXPECT_EQ(bitmap->KrnAccessCount, 0u) << c.Name;
        });
    EXPECT_GT(made, 0) << c.Name;
    EXPECT_EQ(bitmap->KrnAccessCount, 0u);
  }
  // A device that refuses a band.
  TestBitmap bitmap;
  MakeRandom(bitmap, 20, 20, 24, 1, 5, 8);
  FakeCanvas canvas(40, 40, 24);
  const RECT dst{0, 0, 40, 40};
  canvas.FailNextBand = true;
  EXPECT_EQ(canvas.Paint(bitmap.get(), nullptr, nullptr, &dst, nullptr), -1);
  EXPECT_EQ(bitmap->KrnAccessCount, 0u);
}
