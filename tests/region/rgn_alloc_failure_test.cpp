// Every allocation of every region operation failing in turn: the operation returns -1, the
// bitmap's region is left as it was, and nothing leaks. Only a failed trim of a finished record
// may pass unnoticed, with the same result as an unhindered run.
#include <gtest/gtest.h>

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
  RegionBitmap Bitmap;
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
  // operation once. Returns the number of allocations the operation makes.
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
  BitmapRecord* const b = w.Bitmap.get();
  RegionBitmap target(60, 50);  // copies go to a second bitmap; the source must stay as it is too
  RgnRecord* copy = nullptr;
  // A region-data block of banded rectangles, tall enough that the segment buffer grows.
  std::vector<RECT> rects;
  for (int32_t y = 0; y < 3000; ++y) rects.push_back({y % 7, y, 200 + y % 5, y + 1});
  const std::vector<uint8_t> block = RegionDataBlock(rects);
  const RECT rect{-5, -5, 50, 40}, clip{-10, 5, 90, 60};
  auto withStripes = [&] {
    b->Region = RegionFromMask(stripes);
    KrnFreeRgnMemory(target->Region);
    target->Region = nullptr;
    KrnFreeRgnMemory(copy);
    copy = nullptr;
  };
  const struct {
    const char* Name;
    bool NoRegion;
    std::function<int32_t()> Attempt;
    int32_t MinUsed = 3;
  } ops[] = {
      {"RgnScale", false, [&] { return RgnScale(b->Region, 3, 1, 2, 1); }, 6},  // several growth steps
      {"RgnResizeBitmap", false, [&] { return RgnResizeBitmap(b, 33, 200); }},
      {"RgnClip", false, [&] { return RgnClip(b->Region, &clip); }},
      {"RgnRotate 90", false, [&] { return RgnRotate(b, 100, 90, 9000); }},
      {"RgnRotate 270", false, [&] { return RgnRotate(b, 100, 90, 27000); }},
      {"Q_OffsetBitmapRgn without a region", true, [&] { return Q_OffsetBitmapRgn(b, 3, -2); }},
      {"Q_SetBitmapRgnRect", false, [&] { return Q_SetBitmapRgnRect(b, nullptr, &rect, kRgnCombineXor); }},
      {"RgnCopyToBitmap", false,
       [&] {
         const int32_t code = RgnCopyToBitmap(target.get(), b, 4, -6);
         EXPECT_EQ(code == 1, target->Region != nullptr && RgnIsWellFormed(*target->Region));
         return code;
       }},
      {"Q_CopyQorbRgn", false,
       [&] {
         const int32_t code = Q_CopyQorbRgn(&copy, b->Region);
         EXPECT_EQ(code == 1, copy != nullptr);
         return code;
       }},
      {"RgnFromRegionData", false,
       [&] {
         RgnRecord* made = nullptr;
         const int32_t code = RgnFromRegionData(block.data(), uint32_t(block.size()), RECT{0, 0, 205, 3000}, &made);
         EXPECT_EQ(code == 1, made != nullptr);
         if (code == 1) std::swap(made, b->Region);
         KrnFreeRgnMemory(made);
         return code;
       }},
  };
  for (const auto& op : ops) {
    const int32_t used = w.Run(op.NoRegion ? std::function<void()>([] {}) : withStripes, op.Attempt, op.Name);
    EXPECT_GE(used, op.NoRegion ? 1 : op.MinUsed) << op.Name;
  }
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
