// The kernel's allocator families: block counts, zeroing, the nth allocation failing, and the
// reuse of freed large blocks.
#include <gtest/gtest.h>

#include <vector>

#include "common/kernel_fixture.h"

using KernelMemory = KernelLeakTest;

TEST_F(KernelMemory, FamiliesCountTheirBlocksZeroWhenAskedAndFailTheNthAllocation) {
  const int32_t start = KrnTestLiveBlocks();
  auto* mem = static_cast<uint8_t*>(KrnMemAllocEx(100, 3));
  auto* zeroed = static_cast<uint8_t*>(KrnAllocZeroed(64, 1));
  void* plain = KrnAlloc(16);
  void* memPlain = KrnMemAlloc(8);
  ASSERT_TRUE(mem && zeroed && plain && memPlain);
  EXPECT_EQ(KrnTestLiveBlocks(), start + 4);
  for (int i = 0; i < 300; ++i) ASSERT_EQ(mem[i], 0);
  for (int i = 0; i < 64; ++i) ASSERT_EQ(zeroed[i], 0);
  std::memset(zeroed, 0x5A, 64);
  auto* grown = static_cast<uint8_t*>(KrnRealloc(zeroed, 4096));
  auto* memGrown = static_cast<uint8_t*>(KrnMemRealloc(mem, 1000));
  ASSERT_TRUE(grown && memGrown);
  EXPECT_EQ(grown[63], 0x5A);
  EXPECT_EQ(KrnTestLiveBlocks(), start + 4);

  KrnTestFailAllocation(2);
  void* kept = KrnMemAlloc(8);
  EXPECT_EQ(KrnAlloc(8), nullptr) << "the second allocation from now fails";
  EXPECT_NE(kept, nullptr);
  KrnTestFailAllocation(1);
  EXPECT_EQ(KrnRealloc(grown, 1 << 20), nullptr);       // the old block stays valid and owned
  EXPECT_EQ(KrnMemAllocEx(0x10000, 0x10000), nullptr);  // count x size beyond 32 bits

  for (void* p : {static_cast<void*>(grown), plain}) KrnFree(p);
  for (void* p : {static_cast<void*>(memGrown), memPlain, kept}) KrnMemFree(p);
  KrnFree(nullptr);
  KrnMemFree(nullptr);
  EXPECT_EQ(KrnTestLiveBlocks(), start);
}

TEST_F(KernelMemory, LargeBlocksComeBackZeroedAndKeepTheirContentsAcrossResizes) {
  constexpr uint32_t kBig = 3u << 20;
  for (int round = 0; round < 3; ++round) {  // later rounds may reuse the earlier rounds' blocks
    auto* zeroed = static_cast<uint8_t*>(KrnAllocZeroed(kBig, 1));
    ASSERT_NE(zeroed, nullptr);
    EXPECT_TRUE(zeroed[0] == 0 && zeroed[kBig - 1] == 0);
    std::memset(zeroed, 0x6C, kBig);
    auto* grown = static_cast<uint8_t*>(KrnRealloc(zeroed, 2 * kBig));
    ASSERT_NE(grown, nullptr);
    EXPECT_EQ(grown[kBig - 1], 0x6C);
    auto* shrunk = static_cast<uint8_t*>(KrnRealloc(grown, 1000));
    ASSERT_NE(shrunk, nullptr);
    EXPECT_EQ(shrunk[999], 0x6C);
    KrnFree(shrunk);
  }
}

// A host that cycles through many large buffers gets the newest freed ones back, however many
// older ones were freed before them.
TEST_F(KernelMemory, TheNewestFreedLargeBlocksAreReused) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "large blocks are not kept under the address sanitizer";
#endif
  std::vector<void*> blocks;
  for (uint32_t k = 0; k < 40; ++k) blocks.push_back(KrnAlloc((100u + 8 * k) << 10));
  for (void* p : blocks) KrnFree(p);
  void* again = KrnAlloc((100u + 8 * 39) << 10);
  EXPECT_EQ(again, blocks.back());
  KrnFree(again);
}
