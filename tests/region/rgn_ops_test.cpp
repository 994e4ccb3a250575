// In-place record operations and the bitmap-level region entries, against the mask model.
#include <gtest/gtest.h>

#include <functional>

#include "qsdisp.h"
#include "region/rgn_ops.h"
#include "tests/region/rgn_model.h"

namespace {
using RgnOpsTest = KernelLeakTest;

const HANDLE kFakeHandle = reinterpret_cast<HANDLE>(uintptr_t(0x5A5A0));

// Each pixel of the mask moved by map (or dropped when map says so).
Mask Mapped(const Mask& m, const std::function<bool(int32_t&, int32_t&)>& map) {
  Mask out;
  m.ForEach([&](int32_t x, int32_t y) {
    if (map(x, y)) out.Set(x, y);
  });
  return out;
}

Mask ScaleMask(const Mask& m, int32_t xn, int32_t xd, int32_t yn, int32_t yd) {
  Mask out;
  m.ForEach([&](int32_t x, int32_t y) {
    out.FillRect(RECT{ModelUp(x, xn, xd), ModelUp(y, yn, yd), ModelUp(x + 1, xn, xd), ModelUp(y + 1, yn, yd)});
  });
  return out;
}

TEST_F(RgnOpsTest, EveryOperationMovesEachPixelAsTheModelSays) {
  RECT clip{};  // a new random one for each shape
  const struct {
    const char* Name;
    bool InPlace;  // the bitmap keeps the same record
    std::function<int32_t(BitmapRecord&)> Apply;
    std::function<bool(int32_t& x, int32_t& y, int32_t w, int32_t h)> Map;
  } ops[] = {
      {"offset", true, [](BitmapRecord& b) { return RgnOffset(b.Region, -7, 5); },
       [](int32_t& x, int32_t& y, int32_t, int32_t) { return x -= 7, y += 5, true; }},
      {"mirror", false, [](BitmapRecord& b) { return RgnMirrorBitmap(&b); },
       [](int32_t& x, int32_t&, int32_t w, int32_t) { return x = w - 1 - x, true; }},
      {"flip", false, [](BitmapRecord& b) { return RgnFlipBitmap(&b); },
       [](int32_t&, int32_t& y, int32_t, int32_t h) { return y = h - 1 - y, true; }},
      {"clip", true, [&](BitmapRecord& b) { return RgnClip(b.Region, &clip); },
       [&](int32_t& x, int32_t& y, int32_t, int32_t) {
         return x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom;
       }},
      // Clockwise in a frame of w x h.
      {"rotate 90", true, [](BitmapRecord& b) { return RgnRotate(&b, b.Width, b.Height, 9000); },
       [](int32_t& x, int32_t& y, int32_t, int32_t h) { return std::tie(x, y) = std::pair(h - 1 - y, x), true; }},
      {"rotate 180", true, [](BitmapRecord& b) { return RgnRotate(&b, b.Width, b.Height, 18000); },
       [](int32_t& x, int32_t& y, int32_t w, int32_t h) { return x = w - 1 - x, y = h - 1 - y, true; }},
      {"rotate 270", true, [](BitmapRecord& b) { return RgnRotate(&b, b.Width, b.Height, 27000); },
       [](int32_t& x, int32_t& y, int32_t w, int32_t) { return std::tie(x, y) = std::pair(y, w - 1 - x), true; }},
  };
  ShapeSource shapes(15);
  for (const auto& op : ops) {
    for (int i = 0; i < 30; ++i) {
      const Mask shape = shapes.Next();
      const int32_t w = shapes.Uniform(1, 50), h = shapes.Uniform(1, 50);
      clip = shapes.Box();
      RegionBitmap b(w, h, true, &shape);
      RgnRecord* const before = b->Region;
      ASSERT_EQ(op.Apply(b.Record), 1) << op.Name;
      EXPECT_EQ(MaskDiff(Mapped(shape, [&](int32_t& x, int32_t& y) { return op.Map(x, y, w, h); }), *b->Region), "")
          << op.Name << " in " << w << " x " << h;
      EXPECT_TRUE(!op.InPlace || b->Region == before) << op.Name;
    }
  }
  // Lines 2..4 of a 10-line bitmap move to lines 5..7, the last line first.
  Mask m;
  m.FillRect(RECT{1, 2, 3, 3});
  m.FillRect(RECT{4, 4, 9, 5});
  RgnOwner r(RegionFromMask(m));
  ASSERT_EQ(RgnFlipRows(r.get(), 10), 1);
  EXPECT_EQ(RegionSnapshot(r.get()), (std::vector<int32_t>{1, 5, 9, 8, 2, 4, 9, 0, 2, 1, 3}));
  // Offsets of zero and clips around everything keep the cached handle; other changes drop it.
  r->CachedHandle = kFakeHandle;
  const RECT all{-100, -100, 100, 100}, away{200, 200, 300, 300};
  ASSERT_EQ(RgnOffset(r.get(), 0, 0), 1);
  ASSERT_EQ(RgnClip(r.get(), &all), 1);
  EXPECT_EQ(r->CachedHandle, kFakeHandle);
  ASSERT_EQ(RgnOffset(r.get(), 1, 0), 1);
  EXPECT_EQ(r->CachedHandle, nullptr);
  // A move that would leave the 32-bit range is refused and changes nothing.
  const auto before = RegionSnapshot(r.get());
  EXPECT_EQ(RgnOffset(r.get(), INT32_MAX, 0), -13);
  EXPECT_EQ(RegionSnapshot(r.get()), before);
  ASSERT_EQ(RgnClip(r.get(), &away), 1);
  EXPECT_TRUE(RgnIsEmpty(*r));
  EXPECT_TRUE(RgnIsWellFormed(*r));

  RegionBitmap b(5, 5, true, &m);
  EXPECT_EQ(RgnRotate(b.get(), 5, 5, 4500), -13);
  TestBitmap none;  // a bitmap without a region keeps none
  for (int32_t code : {RgnMirrorBitmap(none.get()), RgnFlipBitmap(none.get()), RgnRotate(none.get(), 5, 5, 9000),
                       RgnResizeBitmap(none.get(), 5, 5)})
    EXPECT_EQ(code, 1);
  EXPECT_EQ(none->Region, nullptr);
  for (int32_t code : {RgnMirrorBitmap(nullptr), RgnFlipBitmap(nullptr), RgnRotate(nullptr, 5, 5, 9000),
                       RgnResizeBitmap(nullptr, 5, 5)})
    EXPECT_EQ(code, -2);
  for (int32_t code : {RgnFlipRows(nullptr, 3), RgnOffset(nullptr, 1, 1), RgnClip(nullptr, &all), RgnClip(r.get(), nullptr),
                       RgnScale(nullptr, 1, 1, 1, 2), RgnScale(r.get(), 1, 0, 1, 1)})
    EXPECT_EQ(code, -13);
}

TEST_F(RgnOpsTest, ScaleJoinsTouchingSegmentsAndMatchesTheModel) {
  RgnBuilder b;
  ASSERT_EQ(RgnBegin(b, RECT{0, 0, 2, 1}), 1);
  RgnAppend(b, 0, 1);
  RgnAppend(b, 1, 2);
  ASSERT_EQ(RgnEndRow(b), 1);
  RgnFinish(b);
  RgnOwner r(b.Record);
  r->CachedHandle = kFakeHandle;
  ASSERT_EQ(RgnScale(r.get(), 3, 3, 5, 5), 1);  // equal ratios: untouched, handle kept
  EXPECT_EQ(r->CachedHandle, kFakeHandle);
  ASSERT_EQ(RgnScale(r.get(), 1, 2, 1, 1), 1);
  EXPECT_EQ(RegionSnapshot(r.get()), (std::vector<int32_t>{0, 0, 1, 1, 2, 0, 1}));
  EXPECT_EQ(r->CachedHandle, nullptr);

  const int32_t ratios[][4] = {{2, 1, 1, 1}, {1, 1, 3, 1}, {1, 2, 1, 3}, {3, 2, 2, 3}, {5, 7, 7, 5}, {0, 1, 1, 1}};
  ShapeSource shapes(13);
  for (const auto& q : ratios) {
    for (int i = 0; i < 8; ++i) {
      const Mask shape = shapes.Next();
      RgnOwner s(RegionFromMask(shape));
      ASSERT_EQ(RgnScale(s.get(), q[0], q[1], q[2], q[3]), 1);
      EXPECT_EQ(MaskDiff(ScaleMask(shape, q[0], q[1], q[2], q[3]), *s), "") << q[0] << "/" << q[1] << " x " << q[2] << "/" << q[3];
    }
  }
  // Resizing a bitmap scales its region to the new size.
  Mask m;
  m.FillRect(RECT{2, 2, 6, 4});
  RegionBitmap bitmap(10, 8, true, &m);
  ASSERT_EQ(RgnResizeBitmap(bitmap.get(), 20, 4), 1);
  EXPECT_EQ(MaskDiff(ScaleMask(m, 20, 10, 4, 8), *bitmap->Region), "");
  // Far regions: 4/2 halves to 2/1, then to 1/0, whose denominator becomes 1; the region stays.
  RgnRecord* distant = nullptr;
  ASSERT_EQ(RgnFromRect(RECT{1500000000, 0, 1500000004, 2}, &distant), 1);
  RgnOwner distantOwner(distant);
  const auto distantBefore = RegionSnapshot(distant);
  ASSERT_EQ(RgnScale(distant, 4, 2, 1, 1), 1);
  EXPECT_EQ(RegionSnapshot(distant), distantBefore);
}

TEST_F(RgnOpsTest, CopiesAreIndependentAndCutToTheTarget) {
  Mask m;
  m.FillRect(RECT{0, 0, 10, 6});
  RegionBitmap source(12, 8, true, &m);
  for (bool clips : {true, false}) {
    RegionBitmap target(8, 5, clips);
    target->Region = source->Region;  // a fresh copy still names the source's record
    ASSERT_EQ(RgnCopyToBitmap(target.get(), source.get(), -3, 2), 1);
    ASSERT_NE(target->Region, source->Region);
    Mask want;
    want.FillRect(clips ? RECT{0, 2, 7, 5} : RECT{-3, 2, 7, 8});
    EXPECT_EQ(MaskDiff(want, *target->Region), "") << "clipping " << clips;
  }
  TestBitmap empty, target;
  target->Region = reinterpret_cast<RgnRecord*>(uintptr_t(0x10));
  ASSERT_EQ(RgnCopyToBitmap(target.get(), empty.get(), 0, 0), 1);
  EXPECT_EQ(target->Region, nullptr);
  EXPECT_EQ(RgnCopyToBitmap(nullptr, empty.get(), 0, 0), -13);
  EXPECT_EQ(RgnCopyToBitmap(target.get(), nullptr, 0, 0), -13);

  RgnRecord* copy = nullptr;
  ASSERT_EQ(Q_CopyQorbRgn(&copy, source->Region), 1);
  RgnOwner owner(copy);
  EXPECT_EQ(RegionSnapshot(copy), RegionSnapshot(source->Region));
  EXPECT_NE(copy->Segments, source->Region->Segments);
  EXPECT_NE(copy->RowTable, source->Region->RowTable);
  RgnRecord* none = reinterpret_cast<RgnRecord*>(uintptr_t(0x10));
  ASSERT_EQ(Q_CopyQorbRgn(&none, nullptr), 1);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(Q_CopyQorbRgn(nullptr, source->Region), -13);
  RgnRecord emptySource{};
  ASSERT_EQ(Q_CopyQorbRgn(&none, &emptySource), 1);
  RgnOwner emptyOwner(none);
  EXPECT_TRUE(RgnIsEmpty(*none));
  EXPECT_TRUE(RgnIsWellFormed(*none));
}

TEST_F(RgnOpsTest, KernelCopiesAndFillsThroughTheRegionEntries) {
  TestBitmap b;
  ASSERT_EQ(KrnAllocateBitmap(b.get(), QS_RECORD_SIZE, KRN_MEMORY_ONE_BLOCK, 16, 6, 8, 0, nullptr, 1, nullptr, 0), 1);
  const Mask shape = EllipseMask(RECT{-4, -2, 14, 9});
  b->Region = RegionFromMask(shape);
  ASSERT_EQ(KrnFillBitmap(b.get(), 0xFFFFFF), 1);  // slots 4 and 5 give the rows' segments
  TestBitmap copy;
  ASSERT_EQ(KrnCopyBitmap(copy.get(), b.get(), QS_RECORD_SIZE), 1);  // slot 2 copies the region
  ASSERT_NE(copy->Region, b->Region);
  const Mask inside = Mapped(shape, [](int32_t& x, int32_t& y) { return x >= 0 && x < 16 && y >= 0 && y < 6; });
  EXPECT_EQ(MaskDiff(inside, *copy->Region), "") << "the copy is cut to the bitmap";
  for (int32_t y = 0; y < 6; ++y)
    for (int32_t x = 0; x < 16; ++x) {
      uint8_t pixel = 0;
      ASSERT_EQ(KrnGetBitmapRow(b.get(), &pixel, y, x, 1), 1);
      EXPECT_EQ(pixel, shape.Get(x, y) ? 255 : 0) << x << ", " << y;
    }
}
}  // namespace
