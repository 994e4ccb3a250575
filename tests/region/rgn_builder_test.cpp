// The row builder and the record validator.
#include <gtest/gtest.h>

#include "tests/region/rgn_model.h"

namespace {
using RgnBuilderTest = KernelLeakTest;

TEST_F(RgnBuilderTest, EmptyLinesAroundAndInsideTheRegion) {
  // Lines 0-2 empty, 3 and 4 with segments, 5 and 6 empty, 7 with a segment, 8-9 empty.
  RgnBuilder b;
  ASSERT_EQ(RgnBegin(b, RECT{0, 0, 20, 10}), 1);
  for (int32_t y = 0; y < 10; ++y) {
    if (y == 3) {
      RgnAppend(b, 2, 4);
      RgnAppend(b, 6, 9);
    }
    if (y == 4) RgnAppend(b, 1, 3);
    if (y == 7) RgnAppend(b, 5, 15);
    RgnAppend(b, 7, 7);  // empty segments are ignored
    ASSERT_EQ(RgnEndRow(b), 1);
  }
  RgnFinish(b);
  RgnOwner r(b.Record);
  ASSERT_TRUE(RgnIsWellFormed(*r));
  EXPECT_EQ(r->RowTableBytes, 5u * 8u);  // lines 3..7; trailing lines take no entry
  EXPECT_EQ(r->SegmentBytes, 8u * 4u);
  EXPECT_EQ(r->RowTable[2].Count, 0);  // line 5
  EXPECT_EQ(r->RowTable[2].Offset, 0u);
  EXPECT_EQ(r->RowTable[4].Offset, 24u);
  EXPECT_EQ(RegionSnapshot(r.get()), (std::vector<int32_t>{1, 3, 15, 8, 4, 2, 4, 6, 9, 2, 1, 3, 0, 0, 2, 5, 15}));
}

TEST_F(RgnBuilderTest, SegmentBufferGrowsOverManyRows) {
  // A narrow rectangle: each growth step holds only a few full rows.
  RgnBuilder b;
  const RECT rect{0, 0, 3000, 400};
  ASSERT_EQ(RgnBegin(b, rect), 1);
  for (int32_t y = 0; y < 400; ++y) {
    for (int32_t x = y % 3; x + 1 < 3000; x += 3) RgnAppend(b, x, x + 1);
    ASSERT_EQ(RgnEndRow(b), 1);
  }
  RgnFinish(b);
  RgnOwner r(b.Record);
  ASSERT_TRUE(RgnIsWellFormed(*r));
  EXPECT_EQ(r->RowTable[399].Count, 2000);  // 399 % 3 == 0: [0, 1) [3, 4) .. [2997, 2998)
  EXPECT_EQ(RgnRowValues(*r, r->RowTable[399])[1999], 2998);
  EXPECT_EQ(RgnRowValues(*r, r->RowTable[398])[0], 2);
}

TEST_F(RgnBuilderTest, RectangleRegions) {
  RgnRecord* r = nullptr;
  ASSERT_EQ(RgnFromRect(RECT{-3, 2, 5, 6}, &r), 1);
  EXPECT_EQ(RegionSnapshot(r), (std::vector<int32_t>{-3, 2, 5, 6, 2, -3, 5, 2, -3, 5, 2, -3, 5, 2, -3, 5}));
  KrnFreeRgnMemory(r);
  for (RECT empty : {RECT{4, 0, 4, 5}, RECT{0, 5, 4, 5}, RECT{9, 9, 0, 0}}) {  // inverted too
    ASSERT_EQ(RgnFromRect(empty, &r), 1);
    EXPECT_TRUE(RgnIsWellFormed(*r));
    EXPECT_TRUE(RgnIsEmpty(*r));
    KrnFreeRgnMemory(r);
  }
}

TEST_F(RgnBuilderTest, ValidatorRejectsBrokenRecords) {
  Mask m;
  m.FillRect(RECT{0, 0, 4, 3});
  m.FillRect(RECT{6, 1, 8, 2});
  struct Breakage {
    const char* Why;
    void (*Apply)(RgnRecord&);
  } breakages[] = {
      {"bounds not tight", [](RgnRecord& r) { r.Bounds.right += 1; }},
      {"segments out of order", [](RgnRecord& r) { std::swap(r.Segments[2], r.Segments[4]); }},
      {"empty segment", [](RgnRecord& r) { r.Segments[1] = r.Segments[0]; }},
      {"overlapping segments", [](RgnRecord& r) { r.Segments[3] = 7; }},
      {"empty last row", [](RgnRecord& r) { r.RowTable[2].Count = 0; }},
      {"table longer than bounds", [](RgnRecord& r) { r.Bounds.bottom -= 1; }},
      {"rows sharing values", [](RgnRecord& r) { r.RowTable[1].Offset = 0; }},
      {"bytes disagree", [](RgnRecord& r) { r.SegmentBytes -= 8; }},
  };
  for (const Breakage& breakage : breakages) {
    RgnOwner r(RegionFromMask(m));
    ASSERT_TRUE(RgnIsWellFormed(*r));
    breakage.Apply(*r);
    EXPECT_FALSE(RgnIsWellFormed(*r)) << breakage.Why;
  }
  RgnRecord empty{};
  EXPECT_TRUE(RgnIsWellFormed(empty));
  empty.Bounds.right = 1;
  EXPECT_FALSE(RgnIsWellFormed(empty)) << "empty region with bounds";
}
}  // namespace
