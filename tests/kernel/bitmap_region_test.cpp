// The kernel's uses of the display library's region entries: a fill stays inside the region, a
// copy carries its own copy of the region, and freeing the bitmap frees the region.
#include <gtest/gtest.h>

#include <vector>

#include "common/kernel_fixture.h"
#include "qsdisp.h"

using KernelBitmapRegion = KernelLeakTest;

TEST_F(KernelBitmapRegion, FillStaysInsideTheRegionAndCopiesOwnTheirRegion) {
  TestBitmap b;
  ASSERT_EQ(KrnAllocateBitmap(b.get(), 164, KRN_MEMORY_ROWS, 20, 10, 8, 0, nullptr, 1, nullptr, 0), 1);
  const RECT inside{3, 2, 9, 7};
  ASSERT_EQ(Q_SetBitmapRgnRect(b.get(), nullptr, &inside, 1), 1);
  ASSERT_EQ(KrnFillBitmap(b.get(), 0xFFFFFF), 1);
  std::vector<uint8_t> row(20);
  for (int32_t y = 0; y < 10; ++y) {
    ASSERT_EQ(KrnGetBitmapRow(b.get(), row.data(), y, 0, 20), 20);
    for (int32_t x = 0; x < 20; ++x) {
      const bool in = x >= inside.left && x < inside.right && y >= inside.top && y < inside.bottom;
      ASSERT_EQ(row[size_t(x)], in ? 255 : 0) << "pixel " << x << ", " << y;
    }
  }

  TestBitmap copy;
  ASSERT_EQ(KrnCopyBitmap(copy.get(), b.get(), 164), 1);
  ASSERT_NE(copy->Region, nullptr);
  EXPECT_NE(copy->Region, b->Region) << "the copy owns its own region";
  uint32_t area = 0;
  ASSERT_EQ(Q_GetBitmapRgnArea(copy.get(), &area), 1);
  EXPECT_EQ(area, 30u);
  EXPECT_EQ(Q_IsPtInBitmapRgn(copy.get(), 6, 8), 1);
  EXPECT_EQ(Q_IsPtInBitmapRgn(copy.get(), 7, 8), 0);
}
