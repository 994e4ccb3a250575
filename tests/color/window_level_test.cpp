// Window level: attaching tables and bit ranges to bitmaps (copies, keeps, failures that change
// nothing), and table fills: window positions, signed tables, the four ramps' shapes and ends,
// both fill modes of both functions, and refused arguments that write nothing.
#include <gtest/gtest.h>

#include <vector>

#include "common/kernel_fixture.h"
#include "qsdisp.h"

namespace {
using WindowLevel = KernelLeakTest;

constexpr uint32_t kUnsignedLinear1 = 0x011, kSigned = 0x100;
constexpr uint32_t kSentinel = 0xDEADBEEF;

uint32_t Grey(int v) { return uint32_t(v) * 0x010101u; }

TEST_F(WindowLevel, AttachingSetsBitsAndCopiesOrKeepsTheTable) {
  TestBitmap b;
  ASSERT_EQ(KrnInitBitmap(b.get(), QS_RECORD_SIZE, 8, 8, 12), 1);
  b->Order = 2;
  std::vector<uint32_t> table(4096, 0x00112233);
  ASSERT_EQ(Q_WindowLevel(b.get(), -5, -1, table.data(), 4096, 1), 1);
  EXPECT_EQ(b->WindowLowBit, 0);
  EXPECT_EQ(b->WindowHighBit, 11);
  EXPECT_EQ(b->LowBit, 0);
  EXPECT_EQ(b->HighBit, 11);
  EXPECT_EQ(b->MaxVal, 4095);
  EXPECT_TRUE(b->Flags & QS_FLAG_WINDOW_LUT);
  ASSERT_NE(b->LUT, nullptr);
  EXPECT_NE(b->LUT, table.data());
  EXPECT_EQ(b->LUT[4095], 0x00112233u);
  EXPECT_EQ(b->LUTLength, 4096);
  uint32_t* attached = b->LUT;
  ASSERT_EQ(Q_WindowLevel(b.get(), 2, 9, attached, 1024, 0), 1);  // the attached table is kept
  EXPECT_EQ(b->LUT, attached);
  EXPECT_EQ(b->LUTLength, 1024);
  EXPECT_FALSE(b->Flags & QS_FLAG_WINDOW_LUT);
  EXPECT_EQ(b->LowBit, 0);  // only applied windows move the significant bits
  EXPECT_EQ(b->WindowLowBit, 2);
  ASSERT_EQ(Q_WindowLevel(b.get(), 0, -1, nullptr, 0, 0), 1);
  EXPECT_EQ(b->LUT, nullptr);
  EXPECT_EQ(b->LUTLength, 0);
  // Refusals, and a failed copy that leaves the record as it was.
  EXPECT_EQ(Q_WindowLevel(nullptr, 0, 11, nullptr, 0, 0), -2);
  b->StructSize = 100;
  EXPECT_EQ(Q_WindowLevel(b.get(), 0, 11, nullptr, 0, 0), -789);
  b->StructSize = QS_RECORD_SIZE;
  EXPECT_EQ(Q_WindowLevel(b.get(), 5, 4, nullptr, 0, 0), -13);
  EXPECT_EQ(Q_WindowLevel(b.get(), 0, 11, nullptr, 16, 0), -13);
  EXPECT_EQ(Q_WindowLevel(b.get(), 0, 11, nullptr, 0, 2), -13);
  ASSERT_EQ(Q_WindowLevel(b.get(), 1, 10, table.data(), 64, 1), 1);
  const BitmapRecord before = b.Record;
  KrnTestFailAllocation(1);
  EXPECT_EQ(Q_WindowLevel(b.get(), 0, 11, table.data(), 4096, 1), -1);
  KrnTestFailAllocation(0);
  EXPECT_TRUE(SameBytes(b.Record, before));
}

TEST_F(WindowLevel, LinearWindowsAndTheirLevels) {
  std::vector<uint32_t> t(4096, kSentinel);
  ASSERT_EQ(Q_WindowLevelFillLUT(t.data(), 4096, 0x000000, 0xFFFFFF, 1000, 2000, 0, 11, 0, 4095, 0, kUnsignedLinear1), 1);
  EXPECT_EQ(t[0], 0u);
  EXPECT_EQ(t[999], 0u);
  EXPECT_EQ(t[1000], 0u);
  EXPECT_EQ(t[1500], Grey(127));
  EXPECT_EQ(t[2000], Grey(255));
  EXPECT_EQ(t[4095], Grey(255));
  for (int v = 1001; v <= 2000; ++v) ASSERT_GE(t[size_t(v)] & 0xFF, t[size_t(v - 1)] & 0xFF) << v;
  // The levels are the values shifted by the low bit: 62 .. 125.
  ASSERT_EQ(Q_WindowLevelFillLUT(t.data(), 4096, 0x000000, 0xFFFFFF, 1000, 2000, 4, 15, 0, 65535, 0, kUnsignedLinear1), 1);
  EXPECT_EQ(t[61], 0u);
  EXPECT_EQ(t[62], 0u);
  EXPECT_EQ(t[125], Grey(255));
  EXPECT_EQ(t[126], Grey(255));
  EXPECT_EQ(t[93] & 0xFF, 31u * 255 / 63);
  // Channels keep their places: a COLORREF's red lands in byte 2.
  ASSERT_EQ(Q_WindowLevelFillLUT2(t.data(), 16, 0x0000FF, 0x0000FF, 0, 15, 0, 15, 0, 15, 0, 0x011), 1);
  EXPECT_EQ(t[7], 0x00FF0000u);
}

TEST_F(WindowLevel, SignedTablesKeepNegativeValuesAtTheTop) {
  std::vector<uint32_t> t(65536, kSentinel);
  ASSERT_EQ(Q_WindowLevelFillLUT2(t.data(), 65536, 0x0000FF, 0xFF0000, -32768, -1, 0, 15, -32768, 32767, 0,
                                  kSigned | 0x011),
            1);
  EXPECT_EQ(t[32768], 0x00FF0000u);  // value -32768: the start colour (red)
  EXPECT_EQ(t[65535], 0x000000FFu);  // value -1: the end colour (blue)
  EXPECT_EQ(t[0], kSentinel);        // mode 1 leaves the rest alone
  EXPECT_EQ(t[32767], kSentinel);
  // Mode 2 colours the values on either side, positive ones at the bottom of the table.
  ASSERT_EQ(Q_WindowLevelFillLUT2(t.data(), 65536, 0x000000, 0xFFFFFF, -100, 100, 0, 15, -32768, 32767, 0,
                                  kSigned | 0x012),
            1);
  EXPECT_EQ(t[65536 - 101], 0u);
  EXPECT_EQ(t[0], Grey(127));
  EXPECT_EQ(t[101], Grey(255));
  EXPECT_EQ(t[32767], Grey(255));
}

// The curved ramps run between the same ends as the linear one; exponential ramps bend one way
// or the other with the sign of the factor, logarithmic ones rise fast, sigmoids are symmetric.
TEST_F(WindowLevel, RampShapes) {
  auto ramp = [](uint32_t kind, int32_t factor) {
    std::vector<uint32_t> t(256, kSentinel);
    EXPECT_EQ(Q_WindowLevelFillLUT2(t.data(), 256, 0x000000, 0xFFFFFF, 0, 200, 0, 7, 0, 255, factor, kind | 1), 1);
    std::vector<int> levels(201);
    for (int v = 0; v <= 200; ++v) levels[size_t(v)] = int(t[size_t(v)] & 0xFF);
    return levels;
  };
  const std::vector<int> linear = ramp(0x10, 0);
  EXPECT_EQ(ramp(0x40, 0), linear);  // a factor of 0 is linear whatever the flags
  for (const auto& [kind, factor] : std::vector<std::pair<uint32_t, int32_t>>{
           {0x20, 30}, {0x20, -10}, {0x30, 50}, {0x40, 40}}) {
    const std::vector<int> curve = ramp(kind, factor);
    EXPECT_EQ(curve.front(), 0);
    EXPECT_EQ(curve.back(), 255);
    for (size_t v = 1; v < curve.size(); ++v) ASSERT_GE(curve[v], curve[v - 1]) << kind << " " << factor << " " << v;
    const int middle = curve[100];
    if (kind == 0x20 && factor > 0) {
      EXPECT_LT(middle, linear[100]);
    } else if (kind != 0x40) {
      EXPECT_GT(middle, linear[100]);
    }
    if (kind == 0x40) {
      EXPECT_NEAR(middle, 127, 1);
      for (size_t v = 1; v < 100; ++v) ASSERT_NEAR(curve[v] + curve[200 - v], 255, 2) << v;
    }
  }
}

TEST_F(WindowLevel, FillModesAndRefusalsThatWriteNothing) {
  std::vector<uint32_t> t(64, kSentinel);
  // Mode 2 with L + 1 = H: no ramp, the start colour up to L and the end colour from H.
  ASSERT_EQ(Q_WindowLevelFillLUT(t.data(), 64, 0x0000FF, 0x00FF00, 20, 21, 0, 7, 0, 63, 0, 0x012), 1);
  EXPECT_EQ(t[20], 0x00FF0000u);
  EXPECT_EQ(t[21], 0x0000FF00u);
  ASSERT_EQ(Q_WindowLevelFillLUT(t.data(), 64, 0x0000FF, 0x00FF00, 10, 20, 0, 7, 0, 63, 0, 0x012), 1);
  EXPECT_EQ(t[10], 0x00FF0000u);
  EXPECT_EQ(t[11], 0u);  // the ramp inside runs from black to white
  EXPECT_EQ(t[18], Grey(255 * 7 / 8));
  EXPECT_EQ(t[19], Grey(255));
  EXPECT_EQ(t[20], 0x0000FF00u);
  // Values are cut to minimum .. maximum before the levels are taken.
  ASSERT_EQ(Q_WindowLevelFillLUT(t.data(), 64, 0x000000, 0xFFFFFF, 0, 1000, 0, 7, 5, 40, 0, kUnsignedLinear1), 1);
  EXPECT_EQ(t[4], 0u);
  EXPECT_EQ(t[40], Grey(255));
  const std::vector<uint32_t> filled = t;
  const struct {
    uint32_t* Table;
    int32_t Low, High, LowBit, HighBit, Min, Max, Factor;
    uint32_t Flags;
  } refused[] = {
      {nullptr, 0, 10, 0, 7, 0, 63, 0, 0x011},   {t.data(), 0, 10, 0, 7, 0, 63, 0, 0x013},
      {t.data(), 0, 10, 0, 7, 0, 63, 0, 0x051},  {t.data(), 0, 10, 0, 7, 0, 63, 0, 0x211},
      {t.data(), 0, 10, 0, 7, 0, 63, -1, 0x031}, {t.data(), 10, 5, 0, 7, 0, 63, 0, 0x011},
      {t.data(), 0, 10, 8, 7, 0, 63, 0, 0x011},  {t.data(), 0, 10, 0, 7, 63, 0, 0, 0x011},
      {t.data(), -5, 10, 0, 7, -63, 63, 0, 0x011}, {t.data(), 0, 70000, 0, 7, 0, 70000, 0, 0x011},
      {t.data(), -40000, 0, 0, 7, -40000, 0, 0, 0x111},
  };
  for (const auto& r : refused)
    EXPECT_EQ(Q_WindowLevelFillLUT(r.Table, 64, 0, 0xFFFFFF, r.Low, r.High, r.LowBit, r.HighBit, r.Min, r.Max, r.Factor,
                                   r.Flags),
              -13)
        << r.Low << " " << r.High << " " << std::hex << r.Flags;
  EXPECT_EQ(t, filled);
  // The second function takes negative values for an unsigned table, writing only what exists.
  EXPECT_EQ(Q_WindowLevelFillLUT2(t.data(), 64, 0, 0xFFFFFF, -5, 10, 0, 7, -63, 63, 0, 0x011), 1);
  EXPECT_EQ(t[10], Grey(255));
}
}  // namespace
