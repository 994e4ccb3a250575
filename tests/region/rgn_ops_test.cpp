// In-place record operations and the bitmap-level region entries, against the mask model.
#include <gtest/gtest.h>

#include "common/kernel_fixture.h"
#include "qsdisp.h"
#include "region/rgn_ops.h"
#include "region/rgn_record.h"
#include "tests/region/rgn_model.h"

namespace {
using RgnOpsTest = KernelLeakTest;

const HANDLE kFakeHandle = reinterpret_cast<HANDLE>(uintptr_t(0x5A5A0));

// Forward pixel maps of the model.
Mask MapPixels(const Mask& m, void (*map)(int32_t&, int32_t&, int32_t, int32_t), int32_t p, int32_t q) {
  Mask out;
  m.ForEach([&](int32_t x, int32_t y) {
    map(x, y, p, q);
    out.Set(x, y);
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

struct RegionBitmap {
  TestBitmap Bitmap;
  RegionBitmap(int32_t width, int32_t height, const Mask& m) {
    Bitmap->Width = width;
    Bitmap->Height = height;
    Bitmap->Orientation = 1;
    Bitmap->Region = RegionFromMask(m);
  }
};

TEST_F(RgnOpsTest, OffsetMovesEverythingAndDropsCachesUnlessZero) {
  ShapeSource shapes(11);
  const Mask m = shapes.Next();
  RgnOwner r(RegionFromMask(m));
  r->CachedHandle = kFakeHandle;
  ASSERT_EQ(RgnOffset(r.get(), 0, 0), 1);
  EXPECT_EQ(r->CachedHandle, kFakeHandle);
  ASSERT_EQ(RgnOffset(r.get(), -7, 5), 1);
  EXPECT_EQ(r->CachedHandle, nullptr);
  EXPECT_EQ(MaskFromRegion(*r), MapPixels(m, [](int32_t& x, int32_t& y, int32_t, int32_t) { x -= 7, y += 5; }, 0, 0));
  EXPECT_EQ(RgnOffset(nullptr, 1, 1), -13);
  // A move that would leave the 32-bit range is refused and changes nothing.
  const auto before = RegionSnapshot(r.get());
  EXPECT_EQ(RgnOffset(r.get(), INT32_MAX, 0), -13);
  EXPECT_EQ(RegionSnapshot(r.get()), before);
}

TEST_F(RgnOpsTest, FlipsAndMirrorsInsideTheBitmap) {
  // Lines 2..4 of a 10-line bitmap move to lines 5..7, the last line first.
  Mask m;
  m.FillRect(RECT{1, 2, 3, 3});
  m.FillRect(RECT{4, 4, 9, 5});
  RgnOwner r(RegionFromMask(m));
  ASSERT_EQ(RgnFlipRows(r.get(), 10), 1);
  EXPECT_EQ(RegionSnapshot(r.get()), (std::vector<int32_t>{1, 5, 9, 8, 2, 4, 9, 0, 2, 1, 3}));
  EXPECT_TRUE(RgnIsWellFormed(*r));

  ShapeSource shapes(12);
  for (int i = 0; i < 20; ++i) {
    const Mask shape = shapes.Next();
    RegionBitmap b(37, 23, shape);
    ASSERT_EQ(RgnMirrorBitmap(b.Bitmap.get()), 1);
    EXPECT_EQ(MaskFromRegion(*b.Bitmap->Region),
              MapPixels(shape, [](int32_t& x, int32_t&, int32_t w, int32_t) { x = w - 1 - x; }, 37, 0));
    ASSERT_EQ(RgnFlipBitmap(b.Bitmap.get()), 1);
    EXPECT_EQ(MaskFromRegion(*b.Bitmap->Region),
              MapPixels(shape, [](int32_t& x, int32_t& y, int32_t w, int32_t h) { x = w - 1 - x, y = h - 1 - y; }, 37,
                        23));
  }
  TestBitmap none;
  EXPECT_EQ(RgnMirrorBitmap(none.get()), 1);
  EXPECT_EQ(RgnFlipBitmap(none.get()), 1);
  EXPECT_EQ(RgnMirrorBitmap(nullptr), -2);
  EXPECT_EQ(RgnFlipBitmap(nullptr), -2);
  EXPECT_EQ(RgnFlipRows(nullptr, 3), -13);
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
  EXPECT_EQ(RgnScale(r.get(), 1, 0, 1, 1), -13);
  EXPECT_EQ(RgnScale(nullptr, 1, 1, 1, 2), -13);

  const int32_t ratios[][4] = {{2, 1, 1, 1}, {1, 1, 3, 1}, {1, 2, 1, 3}, {3, 2, 2, 3}, {5, 7, 7, 5}, {0, 1, 1, 1}};
  ShapeSource shapes(13);
  for (const auto& q : ratios) {
    for (int i = 0; i < 8; ++i) {
      const Mask shape = shapes.Next();
      RgnOwner s(RegionFromMask(shape));
      ASSERT_EQ(RgnScale(s.get(), q[0], q[1], q[2], q[3]), 1);
      const Mask got = MaskFromRegion(*s), want = ScaleMask(shape, q[0], q[1], q[2], q[3]);
      EXPECT_EQ(got, want) << q[0] << "/" << q[1] << " x " << q[2] << "/" << q[3] << ": " << FirstDifference(want, got);
    }
  }
}

TEST_F(RgnOpsTest, ScaleGuardKeepsFarRegionsInRange) {
  RgnRecord* r = nullptr;
  ASSERT_EQ(RgnFromRect(RECT{1500000000, 0, 1500000004, 2}, &r), 1);
  RgnOwner owner(r);
  // 4/2 halves to 2/1, then to 1/0, whose denominator becomes 1: the region stays where it is.
  ASSERT_EQ(RgnScale(r, 4, 2, 1, 1), 1);
  EXPECT_EQ(RegionSnapshot(r), (std::vector<int32_t>{1500000000, 0, 1500000004, 2, 2, 1500000000, 1500000004, 2,
                                                      1500000000, 1500000004}));
}

TEST_F(RgnOpsTest, ResizeScalesToTheNewBitmapSize) {
  Mask m;
  m.FillRect(RECT{2, 2, 6, 4});
  RegionBitmap b(10, 8, m);
  ASSERT_EQ(RgnResizeBitmap(b.Bitmap.get(), 20, 4), 1);
  EXPECT_EQ(MaskFromRegion(*b.Bitmap->Region), ScaleMask(m, 20, 10, 4, 8));
  TestBitmap none;
  EXPECT_EQ(RgnResizeBitmap(none.get(), 5, 5), 1);
  EXPECT_EQ(RgnResizeBitmap(nullptr, 5, 5), -2);
}

TEST_F(RgnOpsTest, ClipKeepsThePartInsideInPlace) {
  ShapeSource shapes(14);
  for (int i = 0; i < 20; ++i) {
    const Mask shape = shapes.Next();
    RgnOwner r(RegionFromMask(shape));
    RgnRecord* const identity = r.get();
    const RECT clip = shapes.Box();
    ASSERT_EQ(RgnClip(r.get(), &clip), 1);
    Mask want;
    shape.ForEach([&](int32_t x, int32_t y) {
      if (x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom) want.Set(x, y);
    });
    EXPECT_EQ(MaskFromRegion(*r), want);
    EXPECT_EQ(r.get(), identity);
  }
  RgnOwner r(RegionFromMask(shapes.Next()));
  r->CachedHandle = kFakeHandle;
  const RECT all{-100, -100, 100, 100};
  ASSERT_EQ(RgnClip(r.get(), &all), 1);
  EXPECT_EQ(r->CachedHandle, kFakeHandle);
  const RECT away{200, 200, 300, 300};
  ASSERT_EQ(RgnClip(r.get(), &away), 1);
  EXPECT_TRUE(RgnIsEmpty(*r));
  EXPECT_TRUE(RgnIsWellFormed(*r));
  EXPECT_EQ(RgnClip(r.get(), nullptr), -13);
  EXPECT_EQ(RgnClip(nullptr, &all), -13);
}

TEST_F(RgnOpsTest, CopyToBitmapOffsetsAndClipsToTheTarget) {
  Mask m;
  m.FillRect(RECT{0, 0, 10, 6});
  RegionBitmap source(12, 8, m);
  for (bool clips : {true, false}) {
    TestBitmap target;
    target->Width = 8;
    target->Height = 5;
    target->Flags = clips ? 0 : QS_FLAG_RGN_UNCLIPPED;
    target->Region = source.Bitmap->Region;  // a fresh copy still names the source's record
    ASSERT_EQ(RgnCopyToBitmap(target.get(), source.Bitmap.get(), -3, 2), 1);
    ASSERT_NE(target->Region, source.Bitmap->Region);
    Mask want;
    want.FillRect(clips ? RECT{0, 2, 7, 5} : RECT{-3, 2, 7, 8});
    EXPECT_EQ(MaskFromRegion(*target->Region), want) << "clipping " << clips;
  }
  TestBitmap empty, target;
  target->Region = reinterpret_cast<RgnRecord*>(uintptr_t(0x10));
  ASSERT_EQ(RgnCopyToBitmap(target.get(), empty.get(), 0, 0), 1);
  EXPECT_EQ(target->Region, nullptr);
  EXPECT_EQ(RgnCopyToBitmap(nullptr, empty.get(), 0, 0), -13);
  EXPECT_EQ(RgnCopyToBitmap(target.get(), nullptr, 0, 0), -13);
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
  Mask inside;  // the copy is cut to the bitmap
  shape.ForEach([&](int32_t x, int32_t y) {
    if (x >= 0 && x < 16 && y >= 0 && y < 6) inside.Set(x, y);
  });
  EXPECT_EQ(MaskFromRegion(*copy->Region), inside);
  for (int32_t y = 0; y < 6; ++y)
    for (int32_t x = 0; x < 16; ++x) {
      uint8_t pixel = 0;
      ASSERT_EQ(KrnGetBitmapRow(b.get(), &pixel, y, x, 1), 1);
      EXPECT_EQ(pixel, shape.Get(x, y) ? 255 : 0) << x << ", " << y;
    }
}

TEST_F(RgnOpsTest, RotationTurnsEveryPixelExactly) {
  // Clockwise in a frame of w x h: 90 (x, y) -> (h-1-y, x); 180 -> (w-1-x, h-1-y); 270 -> (y, w-1-x).
  ShapeSource shapes(15);
  for (int i = 0; i < 30; ++i) {
    const Mask shape = shapes.Next();
    const int32_t w = shapes.Uniform(1, 50), h = shapes.Uniform(1, 50);
    for (int32_t angle : {9000, 18000, 27000}) {
      RegionBitmap b(w, h, shape);
      RgnRecord* const identity = b.Bitmap->Region;
      ASSERT_EQ(RgnRotate(b.Bitmap.get(), w, h, angle), 1);
      Mask want;
      shape.ForEach([&](int32_t x, int32_t y) {
        if (angle == 9000) want.Set(h - 1 - y, x);
        if (angle == 18000) want.Set(w - 1 - x, h - 1 - y);
        if (angle == 27000) want.Set(y, w - 1 - x);
      });
      const Mask got = MaskFromRegion(*b.Bitmap->Region);
      EXPECT_EQ(got, want) << angle << " in " << w << " x " << h << ": " << FirstDifference(want, got);
      EXPECT_EQ(b.Bitmap->Region, identity);
    }
  }
  RegionBitmap b(5, 5, shapes.Next());
  EXPECT_EQ(RgnRotate(b.Bitmap.get(), 5, 5, 4500), -13);
  TestBitmap none;
  EXPECT_EQ(RgnRotate(none.get(), 5, 5, 9000), 1);
  EXPECT_EQ(RgnRotate(nullptr, 5, 5, 9000), -2);
}

TEST_F(RgnOpsTest, CopyQorbRgnIsIndependent) {
  RgnOwner source(RegionFromMask(EllipseMask(RECT{0, 0, 20, 11})));
  RgnRecord* copy = nullptr;
  ASSERT_EQ(Q_CopyQorbRgn(&copy, source.get()), 1);
  RgnOwner owner(copy);
  EXPECT_EQ(RegionSnapshot(copy), RegionSnapshot(source.get()));
  EXPECT_NE(copy->Segments, source->Segments);
  EXPECT_NE(copy->RowTable, source->RowTable);
  RgnRecord* none = reinterpret_cast<RgnRecord*>(uintptr_t(0x10));
  ASSERT_EQ(Q_CopyQorbRgn(&none, nullptr), 1);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(Q_CopyQorbRgn(nullptr, source.get()), -13);
  RgnRecord emptySource{};
  ASSERT_EQ(Q_CopyQorbRgn(&copy, &emptySource), 1);
  EXPECT_TRUE(RgnIsEmpty(*copy));
  EXPECT_TRUE(RgnIsWellFormed(*copy));
  KrnFreeRgnMemory(copy);
}
}  // namespace
