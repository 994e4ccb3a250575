// Shared test helpers: a fixture that proves a test leaked no kernel blocks, a bitmap holder,
// a walk over every allocation of an operation with the nth one failing, seeded random bytes
// and a byte comparison of records.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include "qskrn.h"

class KernelLeakTest : public ::testing::Test {
 protected:
  void SetUp() override { liveAtStart_ = KrnTestLiveBlocks(); }
  void TearDown() override {
    KrnTestFailAllocation(0);
    EXPECT_EQ(KrnTestLiveBlocks(), liveAtStart_) << "kernel blocks leaked by this test";
  }

 private:
  int32_t liveAtStart_ = 0;
};

// A bitmap record that frees itself.
struct TestBitmap {
  BitmapRecord Record{};
  TestBitmap() { Record.StructSize = QS_RECORD_SIZE; }
  ~TestBitmap() { KrnFreeBitmap(&Record); }
  TestBitmap(const TestBitmap&) = delete;
  TestBitmap& operator=(const TestBitmap&) = delete;
  BitmapRecord* operator->() { return &Record; }
  BitmapRecord* get() { return &Record; }
};

// Runs `attempt` with the 1st, 2nd, ... allocation failing until a run needs no more
// allocations than it was allowed; `check` sees each failing run's result and must show that
// nothing changed. Returns the number of allocations the operation makes.
int32_t ForEachAllocationFailure(const std::function<int32_t()>& attempt,
                                 const std::function<void(int32_t result, int32_t nth)>& check);

inline std::vector<uint8_t> RandomBytes(std::mt19937& rng, size_t n) {
  std::vector<uint8_t> bytes(n);
  for (auto& b : bytes) b = uint8_t(rng());
  return bytes;
}

template <typename T>
bool SameBytes(const T& a, const T& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}
