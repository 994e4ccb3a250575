// The region-data conversion shared by every GDI-based producer: random banded blocks against a
// pixel mask, touching rectangles joined, and a table of malformed blocks refused before anything
// is allocated. Its allocation failures are walked with the other record operations.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "tests/region/rgn_model.h"

namespace {
// Banded rectangles of a mask the way GDI gives them: runs per row, identical neighbouring rows
// joined into one band; with `split`, some runs cut into two touching rectangles.
std::vector<RECT> BandsOf(const std::vector<std::vector<bool>>& mask, int ox, int oy, bool split, std::mt19937& rng) {
  std::vector<RECT> rects;
  const int h = int(mask.size()), w = int(mask[0].size());
  for (int y = 0; y < h;) {
    int bottom = y + 1;
    while (bottom < h && mask[bottom] == mask[y]) ++bottom;
    for (int x = 0; x < w;) {
      if (!mask[y][x]) {
        ++x;
        continue;
      }
      int end = x;
      while (end < w && mask[y][end]) ++end;
      if (split && end - x > 1 && rng() % 2) {
        const int mid = x + 1 + int(rng() % (end - x - 1));
        rects.push_back({ox + x, oy + y, ox + mid, oy + bottom});
        rects.push_back({ox + mid, oy + y, ox + end, oy + bottom});
      } else {
        rects.push_back({ox + x, oy + y, ox + end, oy + bottom});
      }
      x = end;
    }
    y = bottom;
  }
  return rects;
}

RECT BoxOf(const std::vector<RECT>& rects) {
  if (rects.empty()) return {0, 0, 0, 0};
  RECT b = rects[0];
  for (const RECT& r : rects) {
    b.left = std::min(b.left, r.left);
    b.top = std::min(b.top, r.top);
    b.right = std::max(b.right, r.right);
    b.bottom = std::max(b.bottom, r.bottom);
  }
  return b;
}
}  // namespace

using RegionData = KernelLeakTest;

TEST_F(RegionData, RandomBandedBlocksGiveTheirPixels) {
  std::mt19937 rng(2024);
  for (int trial = 0; trial < 200; ++trial) {
    const int w = 1 + int(rng() % 40), h = 1 + int(rng() % 30);
    const int ox = int(rng() % 200) - 100, oy = int(rng() % 200) - 100;
    std::vector<std::vector<bool>> mask(h, std::vector<bool>(w));
    // Rows repeat often so that bands of several lines occur.
    for (int y = 0; y < h; ++y) {
      if (y > 0 && rng() % 3 == 0) {
        mask[y] = mask[y - 1];
        continue;
      }
      const unsigned density = rng() % 4;
      for (int x = 0; x < w; ++x) mask[y][x] = rng() % 4 < density;
    }
    const bool split = trial % 2 == 1;
    const std::vector<RECT> rects = BandsOf(mask, ox, oy, split, rng);
    const std::vector<uint8_t> block = RegionDataBlock(rects);
    RgnRecord* region = nullptr;
    ASSERT_EQ(RgnFromRegionData(block.data(), uint32_t(block.size()), BoxOf(rects), &region), 1) << "trial " << trial;
    RgnOwner owner(region);
    ASSERT_TRUE(RgnIsWellFormed(*region)) << "trial " << trial;
    for (int y = -1; y <= h; ++y)
      for (int x = -1; x <= w; ++x) {
        const bool want = y >= 0 && y < h && x >= 0 && x < w && mask[y][x];
        ASSERT_EQ(RgnContains(*region, ox + x, oy + y), want) << "trial " << trial << " at " << x << "," << y;
      }
    // Touching rectangles are joined: a row never holds two segments that touch.
    for (int32_t i = 0; i < RgnRowCount(*region); ++i) {
      const int32_t* v = RgnRowValues(*region, region->RowTable[i]);
      for (int32_t k = 2; k < region->RowTable[i].Count; k += 2) ASSERT_LT(v[k - 1], v[k]);
    }
  }
}

TEST_F(RegionData, EmptyBlocksAndHorizontallyEmptyRectanglesGiveNothing) {
  std::vector<uint8_t> empty = RegionDataBlock({});
  RgnRecord* region = nullptr;
  ASSERT_EQ(RgnFromRegionData(empty.data(), uint32_t(empty.size()), {0, 0, 0, 0}, &region), 1);
  EXPECT_TRUE(RgnIsWellFormed(*region));
  EXPECT_TRUE(RgnIsEmpty(*region));
  KrnFreeRgnMemory(region);

  std::vector<uint8_t> block = RegionDataBlock({{5, 0, 5, 2}, {3, 4, 9, 6}, {9, 4, 9, 6}});
  ASSERT_EQ(RgnFromRegionData(block.data(), uint32_t(block.size()), {0, 0, 10, 6}, &region), 1);
  RgnOwner owner(region);
  EXPECT_TRUE(RgnIsWellFormed(*region));
  EXPECT_EQ(region->Bounds.left, 3);
  EXPECT_EQ(region->Bounds.top, 4);
  EXPECT_EQ(region->Bounds.right, 9);
  EXPECT_EQ(region->Bounds.bottom, 6);
}

TEST_F(RegionData, MalformedBlocksAreRefusedBeforeAnyAllocation) {
  const RECT box{0, 0, 100, 100};
  struct Case {
    const char* reason;
    std::vector<uint8_t> block;
  };
  std::vector<uint8_t> shortCount = RegionDataBlock({{0, 0, 10, 10}, {0, 10, 10, 20}});
  reinterpret_cast<RgnDataHeader*>(shortCount.data())->Count = 3;
  const Case cases[] = {
      {"header size 31", RegionDataBlock({{0, 0, 10, 10}}, 31)},
      {"type 2", RegionDataBlock({{0, 0, 10, 10}}, 32, 2)},
      {"more rectangles counted than present", shortCount},
      {"same top, other bottom", RegionDataBlock({{0, 0, 10, 10}, {20, 0, 30, 11}})},
      {"top goes up", RegionDataBlock({{0, 10, 10, 20}, {0, 5, 10, 8}})},
      {"bands overlap", RegionDataBlock({{0, 0, 10, 10}, {0, 5, 10, 15}})},
      {"rectangles of a band overlap", RegionDataBlock({{0, 0, 10, 10}, {9, 0, 20, 10}})},
      {"rectangles of a band descend", RegionDataBlock({{20, 0, 30, 10}, {0, 0, 10, 10}})},
      {"empty vertically", RegionDataBlock({{0, 10, 10, 10}})},
      {"upside down", RegionDataBlock({{0, 10, 10, 5}})},
      {"left of the box", RegionDataBlock({{-1, 0, 10, 10}})},
      {"right of the box", RegionDataBlock({{0, 0, 101, 10}})},
      {"above the box", RegionDataBlock({{0, -1, 10, 10}})},
      {"below the box", RegionDataBlock({{0, 90, 10, 101}})},
      {"shorter than a header", std::vector<uint8_t>(31, 0)},
  };
  for (const Case& c : cases) {
    const int32_t before = KrnTestAllocationCount();
    RgnRecord* region = reinterpret_cast<RgnRecord*>(0x1);
    EXPECT_EQ(RgnFromRegionData(c.block.data(), uint32_t(c.block.size()), box, &region), -13) << c.reason;
    EXPECT_EQ(region, reinterpret_cast<RgnRecord*>(0x1)) << c.reason;
    EXPECT_EQ(KrnTestAllocationCount(), before) << c.reason << ": allocated before refusing";
  }
  RgnRecord* region = nullptr;
  EXPECT_EQ(RgnFromRegionData(nullptr, 64, box, &region), -13);
}
