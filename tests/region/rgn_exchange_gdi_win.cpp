// Regions handed out as GDI regions and region data: pixel equality with the record, round
// trips through every perspective, the kept handle and its moves, region data sizes and
// banding, regions of many thousands of rectangles, and fitted regions for painting.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "qsdisp.h"
#include "tests/region/color_model.h"

namespace {
using RgnGdiExchange = KernelLeakTest;

constexpr uint32_t kReplace = 1;

struct OwnedRegion {
  HRGN Handle = nullptr;
  ~OwnedRegion() {
    if (Handle) DeleteObject(Handle);
  }
};

// The GDI region holds exactly the mask's pixels.
std::string GdiDiff(HRGN gdi, const Mask& expected) {
  for (int32_t y = Mask::kLo; y < Mask::kHi; ++y)
    for (int32_t x = Mask::kLo; x < Mask::kHi; ++x)
      if ((PtInRegion(gdi, x, y) != FALSE) != expected.Get(x, y))
        return "pixel " + std::to_string(x) + "," + std::to_string(y);
  return "";
}

Mask Moved(const Mask& m, int32_t dx, int32_t dy) {
  Mask out;
  m.ForEach([&](int32_t x, int32_t y) { out.Set(x + dx, y + dy); });
  return out;
}

TEST_F(RgnGdiExchange, HandlesHoldTheRegionAndComeBackThroughEveryPerspective) {
  ShapeSource shapes(3);
  for (int trial = 0; trial < 24; ++trial) {
    const Mask shape = shapes.Next();
    RegionBitmap b(45, 40, false, &shape);
    b->Orientation = trial % 8 + 1;
    OwnedRegion own;
    ASSERT_EQ(Q_GetBitmapRgnHandle(b.get(), nullptr, &own.Handle), 1);
    EXPECT_EQ(GdiDiff(own.Handle, shape), "") << trial;  // the bitmap's own view: as stored
    // Out through a perspective change and an offset, and back in through the same transform.
    const RgnTransform t{uint32_t(trial / 3 % 8 + 1), 1, 1, 1, 1, trial - 12, 7 - trial};
    OwnedRegion turned;
    ASSERT_EQ(Q_GetBitmapRgnHandle(b.get(), &t, &turned.Handle), 1);
    RECT box, bounds;
    ASSERT_EQ(Q_GetBitmapRgnBounds(b.get(), &t, &bounds), 1);
    if (GetRgnBox(turned.Handle, &box) != NULLREGION) {
      EXPECT_EQ(Edges(box), Edges(bounds)) << trial;
    }
    // Coming in, offsets are added before the perspective change: the inverse takes them off.
    const RgnTransform inverse{t.Orientation, 1, 1, 1, 1, -t.XOffset, -t.YOffset};
    RegionBitmap back(45, 40, false);
    back->Orientation = b->Orientation;
    ASSERT_EQ(Q_SetBitmapRgnHandle(back.get(), &inverse, turned.Handle, kReplace), 1);
    EXPECT_EQ(RegionDiff(back.Record, shape), "") << trial;
  }
}

TEST_F(RgnGdiExchange, TheKeptHandleIsReusedAndMovedForNewOffsets) {
  const Mask shape = EllipseMask(RECT{3, 2, 40, 30});
  RegionBitmap b(50, 40, true, &shape);
  RgnTransform t{1, 1, 1, 1, 1, 0, 0};
  HRGN first = nullptr, second = nullptr;
  uint32_t owned = 9;
  ASSERT_EQ(Q_IntGetBitmapRgnHandle(b.get(), &t, &first, &owned), 1);
  EXPECT_EQ(owned, 0u);
  ASSERT_EQ(Q_IntGetBitmapRgnHandle(b.get(), &t, &second, &owned), 1);
  EXPECT_EQ(first, second);
  t.XOffset = 11, t.YOffset = -4;  // a scroll: the same handle, moved
  ASSERT_EQ(Q_IntGetBitmapRgnHandle(b.get(), &t, &second, &owned), 1);
  EXPECT_EQ(first, second);
  EXPECT_EQ(GdiDiff(second, Moved(shape, 11, -4)), "");
  t.XScaleNum = 2;  // another scale: a new handle replaces the kept one
  ASSERT_EQ(Q_IntGetBitmapRgnHandle(b.get(), &t, &second, &owned), 1);
  EXPECT_EQ(owned, 0u);
  RECT box;
  GetRgnBox(second, &box);
  EXPECT_EQ(box.left, 2 * 3 + 11);
  // The public form always hands out a handle of the caller's own.
  OwnedRegion a, c;
  ASSERT_EQ(Q_GetBitmapRgnHandle(b.get(), &t, &a.Handle), 1);
  ASSERT_EQ(Q_GetBitmapRgnHandle(b.get(), &t, &c.Handle), 1);
  EXPECT_NE(a.Handle, c.Handle);
  EXPECT_NE(a.Handle, second);
  EXPECT_TRUE(EqualRgn(a.Handle, c.Handle));
  // Without a region: the bitmap's rectangle, mapped, and the caller's.
  RegionBitmap plain(30, 20);
  OwnedRegion whole;
  RgnTransform turn{6, 1, 1, 1, 1, 0, 0};  // a quarter turn: 20 wide, 30 tall
  ASSERT_EQ(Q_IntGetBitmapRgnHandle(plain.get(), &turn, &whole.Handle, &owned), 1);
  EXPECT_EQ(owned, 1u);
  GetRgnBox(whole.Handle, &box);
  EXPECT_EQ(Edges(box), (std::vector<int32_t>{0, 0, 20, 30}));
  // Checks.
  EXPECT_EQ(Q_IntGetBitmapRgnHandle(nullptr, nullptr, &first, &owned), -2);
  EXPECT_EQ(Q_IntGetBitmapRgnHandle(b.get(), nullptr, nullptr, &owned), -13);
  EXPECT_EQ(Q_GetBitmapRgnHandle(b.get(), nullptr, nullptr), -13);
  EXPECT_EQ(Q_GetBitmapRgnHandle(nullptr, nullptr, &first), -814);
  const RgnTransform bad{0, 1, 1, 1, 1, 0, 0};
  EXPECT_EQ(Q_GetBitmapRgnHandle(b.get(), &bad, &first), 0);
}

// Combs whose odd rows are shifted: no two neighbouring rows alike, so one rectangle per
// segment, far more than one ExtCreateRegion call is given.
TEST_F(RgnGdiExchange, RegionsOfManyRectanglesArriveWhole) {
  Mask comb;
  for (int32_t y = -90; y < 150; ++y)
    for (int32_t x = -90; x < 150; ++x)
      if ((x + (y & 1) * 2 + 96) % 5 < 2) comb.Set(x, y);
  RegionBitmap b(1, 1, false, &comb);
  OwnedRegion own;
  ASSERT_EQ(Q_GetBitmapRgnHandle(b.get(), nullptr, &own.Handle), 1);
  EXPECT_EQ(GdiDiff(own.Handle, comb), "");
  const DWORD bytes = GetRegionData(own.Handle, 0, nullptr);
  EXPECT_GT((bytes - 32) / 16, 4000u * 2);
}

TEST_F(RgnGdiExchange, RegionDataSizesAndRoundTrips) {
  const Mask shape = EllipseMask(RECT{0, 0, 33, 21});
  RegionBitmap b(40, 30, true, &shape);
  const int32_t needed = Q_GetBitmapRgnData(b.get(), nullptr, 0, nullptr);
  ASSERT_GT(needed, 32);
  std::vector<uint8_t> data(size_t(needed) + 16, 0xEE);
  EXPECT_EQ(Q_GetBitmapRgnData(b.get(), nullptr, needed - 1, data.data()), -1);
  EXPECT_EQ(Q_GetBitmapRgnData(b.get(), nullptr, needed + 16, data.data()), needed);
  EXPECT_EQ(data[size_t(needed)], 0xEE);  // nothing past the data
  RegionBitmap copy(40, 30, false);
  const RgnTransform shift{1, 1, 1, 1, 1, -2, -1};
  EXPECT_EQ(Q_SetBitmapRgnData(copy.get(), nullptr, needed, data.data(), kReplace), 1);
  EXPECT_EQ(RegionDiff(copy.Record, shape), "");
  ASSERT_EQ(Q_SetBitmapRgnData(copy.get(), &shift, needed, data.data(), kReplace), 1);
  EXPECT_EQ(RegionDiff(copy.Record, Moved(shape, -2, -1)), "");
  EXPECT_EQ(Q_SetBitmapRgnData(copy.get(), nullptr, 0, nullptr, kReplace), 1);
  EXPECT_EQ(copy->Region, nullptr);
  EXPECT_EQ(Q_GetBitmapRgnData(copy.get(), nullptr, 0, nullptr), 0);  // no region
  // A band whose rectangles disagree on the bottom, a wrong type, bad sizes.
  const std::vector<uint8_t> unbanded = RegionDataBlock({RECT{0, 0, 4, 5}, RECT{6, 0, 8, 6}});
  EXPECT_EQ(Q_SetBitmapRgnData(copy.get(), nullptr, int32_t(unbanded.size()), unbanded.data(), kReplace), -13);
  const std::vector<uint8_t> wrongType = RegionDataBlock({RECT{0, 0, 4, 5}}, 32, 2);
  EXPECT_EQ(Q_SetBitmapRgnData(copy.get(), nullptr, int32_t(wrongType.size()), wrongType.data(), kReplace), -13);
  EXPECT_EQ(Q_SetBitmapRgnData(copy.get(), nullptr, -1, data.data(), kReplace), -13);
  EXPECT_EQ(Q_SetBitmapRgnData(nullptr, nullptr, needed, data.data(), kReplace), -814);
  EXPECT_EQ(Q_GetBitmapRgnData(b.get(), nullptr, -1, data.data()), -13);
  EXPECT_EQ(Q_GetBitmapRgnData(nullptr, nullptr, 0, nullptr), -814);
  EXPECT_EQ(copy->Region, nullptr);
}

TEST_F(RgnGdiExchange, ResizedHandlesFitTheDestination) {
  Mask shape;
  shape.FillRect(RECT{2, 4, 10, 8});
  RegionBitmap b(20, 10, true, &shape);
  b->BitsPerPixel = 8;
  const RECT dst{100, 50, 140, 70};  // twice the size
  OwnedRegion own;
  uint32_t owned = 0;
  ASSERT_EQ(Q_GetResizedRgnHandle(b.get(), nullptr, &dst, &own.Handle, &owned), 1);
  RECT box;
  GetRgnBox(own.Handle, &box);
  EXPECT_EQ(Edges(box), (std::vector<int32_t>{104, 58, 120, 66}));
  if (!owned) own.Handle = nullptr;  // kept in the record
  // A source rectangle: the region seen from that part, fitted to the destination.
  const RECT src{2, 4, 12, 9};  // 10 x 5 into 40 x 20: four times
  OwnedRegion part;
  ASSERT_EQ(Q_GetResizedRgnHandle(b.get(), &src, &dst, &part.Handle, &owned), 1);
  EXPECT_EQ(owned, 1u);
  GetRgnBox(part.Handle, &box);
  EXPECT_EQ(Edges(box), (std::vector<int32_t>{100, 50, 132, 66}));
  EXPECT_EQ(Q_GetResizedRgnHandle(b.get(), nullptr, nullptr, &part.Handle, &owned), -13);
  EXPECT_EQ(Q_GetResizedRgnHandle(nullptr, nullptr, &dst, &part.Handle, &owned), -13);
}

TEST_F(RgnGdiExchange, AllocationFailuresChangeNothingAndLeakNothing) {
  const Mask shape = EllipseMask(RECT{1, 1, 30, 25});
  RegionBitmap b(40, 30, true, &shape);
  const int32_t needed = Q_GetBitmapRgnData(b.get(), nullptr, 0, nullptr);
  std::vector<uint8_t> data(static_cast<size_t>(needed));
  ASSERT_EQ(Q_GetBitmapRgnData(b.get(), nullptr, needed, data.data()), needed);
  const RgnTransform t{3, 2, 1, 1, 1, 5, 5};  // not the kept transform, so every call builds
  int32_t live = 0;
  OwnedRegion got;
  ForEachAllocationFailure(
      [&] {
        live = KrnTestLiveBlocks();
        return Q_GetBitmapRgnHandle(b.get(), &t, &got.Handle);
      },
      [&](int32_t result, int32_t nth) {
        EXPECT_EQ(result, 0) << nth;
        EXPECT_EQ(KrnTestLiveBlocks(), live) << nth;
      });
  const Mask square = EllipseMask(RECT{5, 5, 15, 15});
  RegionBitmap target(40, 30, true, &square);
  const std::vector<int32_t> before = RegionSnapshot(target->Region);
  ForEachAllocationFailure(
      [&] {
        live = KrnTestLiveBlocks();
        return Q_SetBitmapRgnData(target.get(), nullptr, needed, data.data(), 4);
      },
      [&](int32_t result, int32_t nth) {
        if (result != 1) {  // a failed trim of the finished record passes unnoticed
          EXPECT_EQ(result, -1) << nth;
          EXPECT_EQ(RegionSnapshot(target->Region), before) << nth;
          EXPECT_EQ(KrnTestLiveBlocks(), live) << nth;
        }
        KrnFreeRgnMemory(target->Region);
        target->Region = RegionFromMask(square);
      });
}

}  // namespace
