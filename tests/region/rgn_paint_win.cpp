// Regions on a device context: the bitmap painted through its region (narrowing the caller's
// clipping, following a moved viewport; or replacing the clipping for buffered rows), the
// striped outline against its set model and pattern, and the XOR tint with its kept mask.
#include <windows.h>

#include <gtest/gtest.h>

#include "paint/paint_model.h"
#include "tests/region/rgn_model.h"

namespace {
using RgnPaint = KernelLeakTest;

constexpr uint32_t kBack = 0x00FFFFFF;  // canvas pixels as 0x00RRGGBB

// A 32-bit top-down DIB section in a memory DC, filled with one colour.
struct Surface {
  static constexpr int kSide = 96;
  HDC Dc = CreateCompatibleDC(nullptr);
  uint32_t* Bits = nullptr;
  HBITMAP Section = nullptr;
  HGDIOBJ Previous = nullptr;
  explicit Surface(uint32_t fill = kBack) {
    BITMAPINFO info{};
    info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), kSide, -kSide, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    Section = CreateDIBSection(Dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    Bits = static_cast<uint32_t*>(bits);
    Previous = SelectObject(Dc, Section);
    std::fill(Bits, Bits + kSide * kSide, fill);
  }
  ~Surface() {
    SelectObject(Dc, Previous);
    DeleteObject(Section);
    DeleteDC(Dc);
  }
  uint32_t At(int x, int y) {
    GdiFlush();
    return Bits[y * kSide + x] & 0xFFFFFF;
  }
};

TEST_F(RgnPaint, PaintingThroughTheRegionShowsOnlyItsPixels) {
  TestBitmap b;
  paint_model::MakeRandom(b, 30, 20, 24, 1, 1, 7);
  const Mask shape = EllipseMask(RECT{2, 1, 28, 19});
  b->Region = RegionFromMask(shape);
  const RECT dst{5, 6, 35, 26};
  for (const POINT origin : {POINT{0, 0}, POINT{10, 20}}) {
    Surface s;
    SetViewportOrgEx(s.Dc, origin.x, origin.y, nullptr);
    IntersectClipRect(s.Dc, 0, 0, 25, 96);  // the caller's clip stays in force
    ASSERT_EQ(Q_PaintRgnDC(s.Dc, b.get(), nullptr, nullptr, &dst, nullptr, SRCCOPY), 1);
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 30; ++x) {
        const int dx = x + dst.left + origin.x, dy = y + dst.top + origin.y;
        const bool shown = shape.Get(x, y) && x + dst.left < 25;
        const uint32_t colour = paint_model::ShownColour(b.Record, x, y) & 0xFFFFFF;
        ASSERT_EQ(s.At(dx, dy), shown ? colour : kBack) << "origin " << origin.x << ": " << x << "," << y;
      }
  }
  // Buffered rows: the region replaces whatever clipping the context had.
  Surface s;
  IntersectClipRect(s.Dc, 0, 0, 1, 1);
  std::vector<uint8_t> rows(size_t(b->BytesPerLine) * 20);
  for (int y = 0; y < 20; ++y) KrnGetBitmapRow(b.get(), rows.data() + size_t(y) * b->BytesPerLine, y, 0, b->BytesPerLine);
  ASSERT_EQ(Q_PaintRgnDCBuffer(s.Dc, b.get(), nullptr, nullptr, &dst, nullptr, SRCCOPY, rows.data(), 0, 20), 1);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 30; ++x)
      ASSERT_EQ(s.At(x + dst.left, y + dst.top),
                shape.Get(x, y) ? paint_model::ShownColour(b.Record, x, y) & 0xFFFFFF : kBack)
          << x << "," << y;
  EXPECT_EQ(Q_PaintRgnDC(s.Dc, nullptr, nullptr, nullptr, &dst, nullptr, SRCCOPY), -2);
  EXPECT_EQ(Q_PaintRgnDC(s.Dc, b.get(), nullptr, nullptr, nullptr, nullptr, SRCCOPY), -13);
  EXPECT_EQ(Q_PaintRgnDCBuffer(s.Dc, b.get(), nullptr, nullptr, nullptr, nullptr, SRCCOPY, rows.data(), 0, 20), -13);
}

// The outline: R XOR the overlap of R moved by d1 and by d2, each pixel of it in the stripe
// pattern's colours (text colour for 0 bits, background colour for 1 bits), nothing else drawn.
TEST_F(RgnPaint, FramesOutlineTheRegionWithMovingStripes) {
  constexpr WORD kStripes[8] = {0x000F, 0x0087, 0x00C3, 0x00E1, 0x00F0, 0x0078, 0x003C, 0x001E};
  const Mask shape = PolygonMask({POINT{5, 5}, POINT{60, 12}, POINT{30, 70}, POINT{8, 40}});
  RegionBitmap b(90, 90, true, &shape);
  for (uint32_t t : {0u, 1u, 5u, 8u}) {
    Surface s;
    SetTextColor(s.Dc, RGB(200, 0, 0));
    SetBkColor(s.Dc, RGB(0, 0, 200));
    ASSERT_EQ(Q_FrameBitmapRgn(s.Dc, b.get(), nullptr, t), 1);
    const int s1 = t % 2 ? -1 : 1;  // even: R moved by (1, -1) and (-1, 1); odd: (-1, -1) and (1, 1)
    for (int y = 0; y < Surface::kSide; ++y)
      for (int x = 0; x < Surface::kSide; ++x) {
        const bool outline = shape.Get(x, y) != (shape.Get(x - 1, y + s1) && shape.Get(x + 1, y - s1));
        const bool zeroBit = ((kStripes[(7 - y % 8 + t) & 7] >> (7 - x % 8)) & 1) == 0;
        const uint32_t expected = !outline ? kBack : zeroBit ? 0xC80000u : 0x0000C8u;
        ASSERT_EQ(s.At(x, y), expected) << "phase " << t << ", pixel " << x << "," << y;
      }
  }
  EXPECT_EQ(Q_FrameBitmapRgn(nullptr, nullptr, nullptr, 0), -814);
}

TEST_F(RgnPaint, TintsXorTheRegionAndKeepTheirMaskAcrossOffsets) {
  const Mask shape = EllipseMask(RECT{3, 2, 41, 31});
  RegionBitmap b(50, 40, true, &shape);
  const uint32_t fill = 0x123456, tint = RGB(0x0F, 0xF0, 0x55);  // COLORREF: red low
  const uint32_t tinted = fill ^ 0x0FF055;                       // as 0x00RRGGBB
  Surface s(fill);
  RgnTransform t{1, 2, 1, 1, 1, 4, 9};  // twice as wide, moved
  ASSERT_EQ(Q_ColorBitmapRgn(s.Dc, b.get(), &t, tint), 1);
  const HANDLE mask = b->Region->MaskBitmap;
  ASSERT_NE(mask, nullptr);
  for (int y = 0; y < Surface::kSide; ++y)
    for (int x = 0; x < Surface::kSide; ++x) {
      const bool inside = y >= 9 && shape.Get((x - 4) / 2, y - 9) && x >= 4;
      ASSERT_EQ(s.At(x, y), inside ? tinted : fill) << x << "," << y;
    }
  t.XOffset = 5;  // the same mask, one pixel further; the first tint undone where they overlap
  ASSERT_EQ(Q_ColorBitmapRgn(s.Dc, b.get(), &t, tint), 1);
  EXPECT_EQ(b->Region->MaskBitmap, mask);
  t.XOffset = 4;
  ASSERT_EQ(Q_ColorBitmapRgn(s.Dc, b.get(), &t, tint), 1);
  ASSERT_EQ(Q_ColorBitmapRgn(s.Dc, b.get(), &(t.XOffset = 5, t), tint), 1);
  for (int y = 0; y < Surface::kSide; ++y)
    for (int x = 0; x < Surface::kSide; ++x) ASSERT_EQ(s.At(x, y), fill) << "twice restores, " << x << "," << y;
  RegionBitmap none(10, 10);
  EXPECT_EQ(Q_ColorBitmapRgn(s.Dc, none.get(), nullptr, tint), 1);
  EXPECT_EQ(s.At(0, 0), fill);
  EXPECT_EQ(Q_ColorBitmapRgn(s.Dc, nullptr, nullptr, tint), -2);
}
}  // namespace
