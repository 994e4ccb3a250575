// Every allocation of every region operation failing in turn: the operation returns -1, the
// bitmap's region is left as it was, and nothing leaks.
#include <gtest/gtest.h>

#include "common/kernel_fixture.h"
#include "qsdisp.h"
#include "region/rgn_combine.h"
#include "region/rgn_ops.h"
#include "tests/region/rgn_model.h"

namespace {
using RgnAllocFailureTest = KernelLeakTest;

// Vertical stripes over many rows, so that building them grows the segment buffer.
Mask Stripes() {
  Mask m;
  for (int32_t y = -20; y < 100; ++y)
    for (int32_t x = -40; x < 120; ++x)
      if (x % 4 < 2 && (y / 7) % 5 != 3) m.Set(x, y);
  return m;
}

struct Walk {
  TestBitmap Bitmap;
  RgnRecord* Prepared = nullptr;  // the bitmap's region as prepared
  RgnRecord* Added = nullptr;     // a record the operation consumes
  int32_t AddedBlocks = 0;

  std::vector<int32_t> State() {
    EXPECT_TRUE(Bitmap->Region == nullptr || RgnIsWellFormed(*Bitmap->Region));
    std::vector<int32_t> s = RegionSnapshot(Bitmap->Region);
    s.push_back(Bitmap->Region == Prepared);
    return s;
  }

  // prepare() sets up the bitmap (and Added) outside the counted allocations; attempt() runs the
  // operation once.
  // Returns the number of allocations the operation makes.
  int32_t Run(const std::function<void()>& prepare, const std::function<int32_t()>& attempt, const std::string& what) {
    auto reset = [&] {
      KrnFreeRgnMemory(Bitmap->Region);
      Bitmap->Region = nullptr;
      prepare();
      Prepared = Bitmap->Region;
      AddedBlocks = RegionBlocks(Added);
    };
    reset();
    EXPECT_EQ(attempt(), 1) << what;
    const std::vector<int32_t> done = State();
    reset();
    const std::vector<int32_t> initial = State();
    int32_t liveBefore = 0;
    const int32_t used = ForEachAllocationFailure(
        [&] {
          liveBefore = KrnTestLiveBlocks();
          return attempt();
        },
        [&](int32_t result, int32_t nth) {
          if (result == 1) {  // only a failed shrink may pass unnoticed
            EXPECT_EQ(State(), done) << what << ", allocation " << nth;
          } else {
            EXPECT_EQ(result, -1) << what << ", allocation " << nth;
            EXPECT_EQ(State(), initial) << what << ", allocation " << nth;
            EXPECT_EQ(KrnTestLiveBlocks(), liveBefore - AddedBlocks) << what << ", allocation " << nth;
          }
          reset();
        });
    return used;
  }
};

TEST_F(RgnAllocFailureTest, RecordOperations) {
  const Mask stripes = Stripes();
  Walk w;
  w.Bitmap->Width = 100;
  w.Bitmap->Height = 90;
  w.Bitmap->Orientation = 1;
  auto withStripes = [&] { w.Bitmap->Region = RegionFromMask(stripes); };
  // The stripes need several growth steps of the segment buffer.
  EXPECT_GE(w.Run(withStripes, [&] { return RgnScale(w.Bitmap->Region, 3, 1, 2, 1); }, "RgnScale"), 6);
  w.Run(withStripes, [&] { return RgnResizeBitmap(w.Bitmap.get(), 33, 200); }, "RgnResizeBitmap");
  const RECT clip{-10, 5, 90, 60};
  w.Run(withStripes, [&] { return RgnClip(w.Bitmap->Region, &clip); }, "RgnClip");
  for (int32_t angle : {9000, 27000})
    w.Run(withStripes, [&] { return RgnRotate(w.Bitmap.get(), 100, 90, angle); }, "RgnRotate " + std::to_string(angle));
  w.Run([] {}, [&] { return Q_OffsetBitmapRgn(w.Bitmap.get(), 3, -2); }, "Q_OffsetBitmapRgn without a region");
  const RECT rect{-5, -5, 50, 40};
  w.Run(withStripes, [&] { return Q_SetBitmapRgnRect(w.Bitmap.get(), nullptr, &rect, kRgnCombineXor); },
        "Q_SetBitmapRgnRect");

  // Copies go to a second bitmap; the source must stay as it is too.
  TestBitmap target;
  target->Width = 60;
  target->Height = 50;
  w.Run(
      [&] {
        withStripes();
        KrnFreeRgnMemory(target->Region);
        target->Region = nullptr;
      },
      [&] {
        const int32_t code = RgnCopyToBitmap(target.get(), w.Bitmap.get(), 4, -6);
        if (code == 1) {
          EXPECT_TRUE(RgnIsWellFormed(*target->Region));
        }
        EXPECT_EQ(code == 1, target->Region != nullptr);
        return code;
      },
      "RgnCopyToBitmap");
  RgnRecord* copy = nullptr;
  w.Run(
      [&] {
        withStripes();
        KrnFreeRgnMemory(copy);
        copy = nullptr;
      },
      [&] {
        const int32_t code = Q_CopyQorbRgn(&copy, w.Bitmap->Region);
        EXPECT_EQ(code == 1, copy != nullptr);
        return code;
      },
      "Q_CopyQorbRgn");
  KrnFreeRgnMemory(copy);
}

TEST_F(RgnAllocFailureTest, CombineInEveryMode) {
  const Mask stripes = Stripes();
  const Mask ellipse = EllipseMask(RECT{-10, -30, 70, 60});
  const RgnTransform turn{6, 3, 2, 1, 1, 4, -3};
  for (uint32_t mode = 0; mode < kRgnCombineModeCount; ++mode) {
    for (int variant = 0; variant < 8; ++variant) {
      const bool hasRegion = variant & 1, clips = variant & 2, transformed = variant & 4;
      Walk w;
      w.Bitmap->Width = 80;
      w.Bitmap->Height = 70;
      w.Bitmap->Orientation = 1;
      w.Bitmap->Flags = clips ? 0 : QS_FLAG_RGN_UNCLIPPED;
      const int32_t used = w.Run(
          [&] {
            if (hasRegion) w.Bitmap->Region = RegionFromMask(stripes);
            w.Added = RegionFromMask(ellipse);
          },
          [&] {
            RgnRecord* added = w.Added;
            w.Added = nullptr;  // consumed whatever happens
            return RgnCombine(w.Bitmap.get(), transformed ? &turn : nullptr, added, mode);
          },
          "mode " + std::to_string(mode) + " variant " + std::to_string(variant));
      // Only a replacement with neither a transform nor clipping to do allocates nothing.
      EXPECT_EQ(used == 0, mode == kRgnCombineReplace && !clips && !transformed) << mode << ", " << variant;
    }
  }
}
}  // namespace
