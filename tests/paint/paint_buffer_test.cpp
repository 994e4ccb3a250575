// Rows painted from a caller's buffer, band after band, cover the destination exactly as the
// whole bitmap painted at once does: every depth and orientation, same size and scaled, with
// clips; a band outside the source clip paints nothing; records without storage serve.
#include <gtest/gtest.h>

#include "paint/paint_model.h"

using namespace paint_model;
using PaintBuffer = PaintTest;

namespace {
// The bitmap's rows [first, first + count) copied out, as a caller would hold them.
std::vector<uint8_t> RowsOf(const BitmapRecord& b, int32_t first, int32_t count) {
  std::vector<uint8_t> rows(size_t(b.BytesPerLine) * count);
  for (int32_t i = 0; i < count; ++i)
    KrnGetBitmapRow(&b, rows.data() + size_t(i) * b.BytesPerLine, first + i, 0, uint32_t(b.BytesPerLine));
  return rows;
}

// Paints the bitmap band by band (bandRows rows each) onto the canvas; the record's storage
// flag is cleared meanwhile, as the rows come from the buffers.
int32_t PaintInBands(FakeCanvas& canvas, BitmapRecord& b, int32_t bandRows, const RECT* src, const RECT* srcClip,
                     const RECT& dst, const RECT* dstClip) {
  std::fill(canvas.Writes.begin(), canvas.Writes.end(), 0);
  const PaintDevice device{&canvas, 0xCC0020, false, FakeCanvas::Send, nullptr};
  const int32_t kind = SelectPaintKind(&b, GetThreadDisplayState()->DisplayMode, canvas.Depth);
  const uint32_t flags = b.Flags;
  int32_t code = 1;
  for (int32_t first = 0; first < b.Height && code == 1; first += bandRows) {
    const int32_t count = std::min(bandRows, b.Height - first);
    std::vector<uint8_t> rows = RowsOf(b, first, count);
    b.Flags &= ~QS_FLAG_STORAGE;
    code = PaintBandTo(device, &b, PaintRowBand{rows.data(), first, count}, src, srcClip, &dst, dstClip, canvas.Depth,
                       kind);
    b.Flags = flags;
  }
  return code;
}

TEST_F(PaintBuffer, BandsPaintWhatTheWholeBitmapPaints) {
  const struct {
    int Bits, Order;
  } depths[] = {{1, 0}, {4, 0}, {8, 0}, {16, 1}, {24, 1}, {32, 1}, {48, 1}};
  const RECT srcClip{1, 2, 12, 11};
  for (const auto& d : depths) {
    for (int orientation = 1; orientation <= 8; ++orientation) {
      TestBitmap b;
      MakeRandom(b, 13, 17, d.Bits, d.Order, orientation, uint32_t(d.Bits * 10 + orientation));
      const int pw = PictureW(b.Record), ph = PictureH(b.Record);
      const RECT dsts[] = {{4, 3, 4 + pw, 3 + ph}, {0, 1, 2 * pw + 3, ph + ph / 2}, {2, ph + 2, pw + 2, 2}};
      for (const RECT& dst : dsts) {
        for (const RECT* clip : {static_cast<const RECT*>(nullptr), &srcClip}) {
          FakeCanvas whole(60, 60, 24), banded(60, 60, 24);
          whole.Clear(kBackground), banded.Clear(kBackground);
          ASSERT_EQ(whole.Paint(b.get(), nullptr, clip, &dst, nullptr), 1);
          ASSERT_EQ(PaintInBands(banded, b.Record, 5, nullptr, clip, dst, nullptr), 1);
          EXPECT_EQ(banded.Pixels, whole.Pixels) << d.Bits << " bits, orientation " << orientation << ", dst "
                                                 << dst.left << "," << dst.top << "," << dst.right << "," << dst.bottom;
          EXPECT_LE(*std::max_element(banded.Writes.begin(), banded.Writes.end()), 1) << "a pixel painted twice";
        }
      }
    }
  }
}

TEST_F(PaintBuffer, ABandOutsideTheSourceClipPaintsNothing) {
  TestBitmap b;
  MakeRandom(b, 20, 160, 24, 1, 1, 3);
  std::vector<uint8_t> rows = RowsOf(b.Record, 100, 50);
  FakeCanvas canvas(30, 200, 24);
  canvas.Clear(kBackground);
  const PaintDevice device{&canvas, 0xCC0020, false, FakeCanvas::Send, nullptr};
  const RECT clip{0, 0, 20, 80}, dst{0, 0, 20, 160};
  EXPECT_EQ(PaintBandTo(device, b.get(), PaintRowBand{rows.data(), 100, 50}, nullptr, &clip, &dst, nullptr, 24, 0), 1);
  EXPECT_EQ(canvas.Bands, 0);
  EXPECT_EQ(std::count(canvas.Pixels.begin(), canvas.Pixels.end(), kBackground), 30 * 200);
}
}  // namespace
