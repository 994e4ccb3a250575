// Built like a host application: linked against the two import libraries only (no static copy
// of the display library), so every call below crosses into the DLLs through their exports.
#include <gtest/gtest.h>

#include "qsdisp.h"
#include "qskrn.h"

TEST(HostLink, DisplayAndKernelExportsResolveThroughTheImportLibraries) {
  EXPECT_EQ(Q_GetDisplayMode(), 12u);
  EXPECT_EQ(Q_SetDisplayMode(0x1, 0x1), 12u);
  EXPECT_EQ(Q_GetDisplayMode(), 13u);

  BitmapRecord bitmap{};
  ASSERT_EQ(KrnAllocateBitmap(&bitmap, 164, KRN_MEMORY_ONE_BLOCK, 8, 8, 24, 1, nullptr, 1, nullptr, 0), 1);
  ASSERT_EQ(KrnFillBitmap(&bitmap, 0x0000FF), 1);
  uint8_t pixel[3] = {};
  ASSERT_EQ(KrnGetBitmapRow(&bitmap, pixel, 7, 7, 3), 3);
  EXPECT_EQ(pixel[2], 0xFF) << "red, stored blue-green-red";
  EXPECT_EQ(KrnFreeBitmap(&bitmap), 1);
}
