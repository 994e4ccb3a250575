// Paints that need several bands, and rectangles so large that their products pass 32 bits:
// every visible pixel painted exactly once, no band above 256 KiB plus one row, and every pixel
// where the model puts it.
#include <gtest/gtest.h>

#include "paint/paint_expect.h"
#include "qsdisp.h"

using namespace paint_model;

namespace {
class PaintBands : public KernelLeakTest {
 protected:
  void SetUp() override {
    KernelLeakTest::SetUp();
    previousMode_ = Q_SetDisplayMode(0xFFFFFFFF, 0x8);
  }
  void TearDown() override {
    Q_SetDisplayMode(0xFFFFFFFF, previousMode_);
    KernelLeakTest::TearDown();
  }
  uint32_t previousMode_ = 0;
};

// Every canvas pixel inside `visible` written once, none outside.
void ExpectWrittenOnce(const FakeCanvas& c, const RECT& visible) {
  int bad = 0;
  for (int y = 0; y < c.Height; ++y) {
    for (int x = 0; x < c.Width; ++x) {
      const bool in = x >= visible.left && x < visible.right && y >= visible.top && y < visible.bottom;
      if (c.Writes[size_t(y) * c.Width + x] != (in ? 1 : 0) && bad++ < 3)
        ADD_FAILURE() << "pixel (" << x << "," << y << ") written " << int(c.Writes[size_t(y) * c.Width + x]);
    }
  }
}
}  // namespace

TEST_F(PaintBands, BandsMeetWithNoLinePaintedTwiceOrSkipped) {
  // Rows (orientation 1) and columns (orientation 6) of 24-bit output, each band far below the
  // paint; a destination clip makes the visible area start and end inside bands.
  for (int orientation : {1, 6}) {
    TestBitmap bitmap;
    MakeRandom(bitmap, 40, 30, 24, 1, orientation, 77 + orientation);
    FakeCanvas canvas(1000, 700, 24);
    const RECT dst{0, 0, 1000, 700}, clip{3, 5, 997, 690};
    canvas.Clear(kBackground);
    ASSERT_EQ(canvas.Paint(bitmap.get(), nullptr, nullptr, &dst, &clip), 1);
    EXPECT_GT(canvas.Bands, 5) << "orientation " << orientation;
    EXPECT_LE(canvas.LargestBandBytes, 262144u + canvas.LargestBandRow);
    ExpectWrittenOnce(canvas, clip);
    EXPECT_EQ(Compare(canvas, bitmap.Record, Request{nullptr, nullptr, dst, &clip}, Shown(bitmap.Record)), "");
  }
}

TEST_F(PaintBands, SeveralBandsInAMemoryDC) {
  TestBitmap bitmap;
  MakeRandom(bitmap, 37, 23, 8, 0, 7, 5);
  CanvasList canvases = MakeCanvases(900, 400);
  const RECT dst{-5, 420, 905, -3};  // bottom-up, reaching past the canvas
  for (auto& canvas : canvases) {
    canvas->Clear(kBackground);
    ASSERT_EQ(canvas->Paint(bitmap.get(), nullptr, nullptr, &dst, nullptr), 1);
    EXPECT_EQ(Compare(*canvas, bitmap.Record, Request{nullptr, nullptr, dst, nullptr}, Shown(bitmap.Record)), "")
        << canvas->Name();
  }
}

TEST_F(PaintBands, ProductsBeyond32BitsStepExactly) {
  // 50000 source columns into 47000 and into 60000 destination columns: the position products
  // pass 2^31; a window of 64 columns far inside shows exactly the model's columns.
  TestBitmap bitmap;
  MakeRandom(bitmap, 50000, 3, 8, 0, 1, 9);
  for (int dstW : {47000, 60000, 50000}) {
    FakeCanvas canvas(64, 5, 24, 31000, 0);
    const RECT dst{0, 0, dstW, 5}, clip{31000, 0, 31064, 5};
    canvas.Clear(kBackground);
    ASSERT_EQ(canvas.Paint(bitmap.get(), nullptr, nullptr, &dst, &clip), 1);
    // The model on canvas coordinates: shift the destination by the canvas origin.
    const RECT shifted{-31000, 0, dstW - 31000, 5};
    const RECT shiftedClip{0, 0, 64, 5};
    EXPECT_EQ(Compare(canvas, bitmap.Record, Request{nullptr, nullptr, shifted, &shiftedClip}, Shown(bitmap.Record)),
              "")
        << "destination width " << dstW;
  }
}

TEST_F(PaintBands, OneSourceRowEnlargedToTenRowsGivesTenEqualRows) {
  TestBitmap bitmap;
  MakeRandom(bitmap, 7, 1, 24, 1, 1, 3);
  FakeCanvas canvas(20, 12, 24);
  const RECT dst{0, 1, 20, 11};
  canvas.Clear(kBackground);
  ASSERT_EQ(canvas.Paint(bitmap.get(), nullptr, nullptr, &dst, nullptr), 1);
  for (int y = 2; y < 11; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(canvas.Pixel(x, y), canvas.Pixel(x, 1));
  EXPECT_EQ(Compare(canvas, bitmap.Record, Request{nullptr, nullptr, dst, nullptr}, Shown(bitmap.Record)), "");
}

TEST_F(PaintBands, APaintHoldsRowBuffersAndOneBandWhateverTheBitmapSize) {
  // 6000 x 2000 8-bit, rows held apart (so each is fetched): scaled, turned and dithered paints
  // stay within one band of 256 KiB plus their row buffers; the resampling sequence adds its
  // decoded rows.
  TestBitmap bitmap;
  MakeRandom(bitmap, 6000, 2000, 8, 0, 1, 12, KRN_MEMORY_ROWS);
  struct Case {
    int Orientation;
    uint32_t Mode;
    int Depth;
    RECT Dst;
    uint64_t Limit;
  } cases[] = {{1, 0x8, 24, {0, 0, 5000, 3000}, 300 * 1024},
               {6, 0x8, 24, {0, 0, 3000, 5000}, 300 * 1024},
               {1, 0x88, 8, {0, 0, 7000, 1500}, 400 * 1024},
               {6, 0x408, 24, {0, 0, 1500, 2500}, 700 * 1024}};
  for (const Case& c : cases) {
    bitmap->Orientation = c.Orientation;
    Q_SetDisplayMode(0xFFFFFFFF, c.Mode);
    FakeCanvas canvas(8, 8, c.Depth);
    KrnTestPeakBytes(1);
    ASSERT_EQ(canvas.Paint(bitmap.get(), nullptr, nullptr, &c.Dst, nullptr), 1);
    EXPECT_LE(KrnTestPeakBytes(0), c.Limit) << "orientation " << c.Orientation << " mode " << c.Mode;
  }
}
