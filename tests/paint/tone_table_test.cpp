// Paint intensity, contrast and gamma: the worked tables, the flag, the setters' and getters'
// checks, and a fingerprint that every build must reproduce.
#include "paint/tone_table.h"

#include <gtest/gtest.h>

#include "common/kernel_fixture.h"
#include "frame/mul_div.h"
#include "qsdisp.h"

namespace {
class PaintTone : public KernelLeakTest {
 protected:
  void SetUp() override {
    KernelLeakTest::SetUp();
    ASSERT_EQ(KrnAllocateBitmap(bitmap_.get(), 164, KRN_MEMORY_ONE_BLOCK, 4, 4, 24, 0, nullptr, 1, nullptr, 0), 1);
  }
  void TearDown() override {
    KrnFreeBitmap(bitmap_.get());
    KernelLeakTest::TearDown();
  }
  const uint8_t* Lut() { return bitmap_->PaintLUT; }
  bool Toned() { return (bitmap_->Flags & QS_FLAG_PAINT_LUT) != 0; }
  TestBitmap bitmap_;
};

const struct {
  const char* Name;
  int32_t (*Set)(BitmapRecord*, int32_t);
  int32_t (*Get)(const BitmapRecord*);
  int32_t Bad[2];        // values refused
  int32_t WrongSizeGet;  // what the getter answers for a record of the wrong size
} kSettings[] = {
    {"intensity", [](BitmapRecord* b, int32_t v) { return Q_SetPaintIntensity(b, v); },
     [](const BitmapRecord* b) { return Q_GetPaintIntensity(b); }, {1001, -1001}, -789},
    {"contrast", [](BitmapRecord* b, int32_t v) { return Q_SetPaintContrast(b, v); },
     [](const BitmapRecord* b) { return Q_GetPaintContrast(b); }, {1001, -1001}, -789},
    {"gamma", [](BitmapRecord* b, int32_t v) { return Q_SetPaintGamma(b, uint32_t(v)); },
     [](const BitmapRecord* b) { return Q_GetPaintGamma(b); }, {0, 0}, 0}};
}  // namespace

TEST(MulDivRound, RoundsHalvesAwayFromZeroAndRefusesZeroDivisor) {
  const int32_t cases[][4] = {{66, 256, 133, 127},   {3, 1, 2, 2},  {-3, 1, 2, -2},        {1, 1, -2, -1},
                              {1000, 128, 4000, 32}, {5, 5, 0, -1}, {0x7FFFFFFF, 4, 2, -1}};
  for (const auto& c : cases) EXPECT_EQ(MulDivRound(c[0], c[1], c[2]), c[3]) << c[0] << " " << c[1] << " " << c[2];
}

TEST_F(PaintTone, WorkedTablesAndTheFlag) {
  const struct {
    int32_t intensity, contrast, gamma;
    std::vector<std::pair<int, int>> entries;  // index, value; the table is never decreasing
    bool toned;
  } cases[] = {
      {1000, 0, 100, {{0, 255}, {128, 255}, {255, 255}}, true},
      {-1000, 0, 100, {{0, 0}, {254, 0}, {255, 1}}, true},  // I = -254
      {0, 0, 100, {{0, 0}, {77, 77}, {255, 255}}, false},
      {0, 0, 200, {{0, 0}, {64, 128}, {255, 255}}, true},
      {0, 1000, 100, {{31, 0}, {33, 2}, {98, 127}, {164, 254}, {165, 255}}, true},  // S = 32, T = 165
      {0, 100, 100, {{2, 0}, {4, 1}, {232, 255}, {233, 255}}, true},  // S = 3, T = 233; MulDiv(229, 256, 230)
      {0, 1, 100, {{0, 0}, {254, 255}}, true},                        // S = 0, T = 255
      {0, 0, 101, {{0, 0}, {255, 255}}, true},
      // b(i) = S + MulDiv(i, T - S, 256): the ends show S and T - 1.
      {0, -1, 100, {{0, 0}, {255, 254}}, true},
      {0, -100, 100, {{0, 3}, {255, 232}}, true},
      {0, -500, 100, {{0, 16}, {255, 195}}, true},
      {0, -1000, 100, {{0, 32}, {255, 164}}, true},
      {0, 0, 100, {{0, 0}, {128, 128}, {255, 255}}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "intensity " << c.intensity << " contrast " << c.contrast << " gamma "
                                    << c.gamma);
    ASSERT_EQ(Q_SetPaintIntensity(bitmap_.get(), c.intensity), 1);
    ASSERT_EQ(Q_SetPaintContrast(bitmap_.get(), c.contrast), 1);
    ASSERT_EQ(Q_SetPaintGamma(bitmap_.get(), uint32_t(c.gamma)), 1);
    for (auto [i, v] : c.entries) EXPECT_EQ(Lut()[i], v) << "entry " << i;
    for (int i = 1; i < 256; ++i) ASSERT_GE(Lut()[i], Lut()[i - 1]) << "entry " << i;
    EXPECT_EQ(Toned(), c.toned);
  }
  // Neutral settings rebuild the identity and clear the flag; a record without a table is left
  // untoned.
  bitmap_->Flags |= QS_FLAG_PAINT_LUT;
  bitmap_->PaintLUT[7] = 99;
  BuildPaintLUT(bitmap_.get());
  for (int i = 0; i < 256; ++i) ASSERT_EQ(Lut()[i], i);
  EXPECT_FALSE(Toned());
  BitmapRecord bare = *bitmap_.get();
  bare.PaintLUT = nullptr, bare.PaintGamma = 200;
  bare.Flags |= QS_FLAG_PAINT_LUT;
  BuildPaintLUT(&bare);
  EXPECT_EQ(bare.Flags & QS_FLAG_PAINT_LUT, 0u);
}

// The tables are computed in double precision with SSE2 on every build; this fingerprint of a
// sweep of settings was recorded on the host build (after the worked values above were checked)
// and must come out the same under both Windows builds.
TEST_F(PaintTone, SweepFingerprintIsTheSameOnEveryBuild) {
  uint64_t hash = 1469598103934665603ull;
  for (int contrast = -1000; contrast <= 1000; contrast += 37)
    for (int gamma : {1, 7, 55, 99, 100, 101, 180, 333, 1000, 40000})
      for (int intensity : {-1000, -333, 0, 77, 999}) {
        bitmap_->PaintContrast = contrast, bitmap_->PaintGamma = gamma, bitmap_->PaintIntensity = intensity;
        BuildPaintLUT(bitmap_.get());
        for (int i = 0; i < 256; ++i) hash = (hash ^ Lut()[i]) * 1099511628211ull;
        hash = (hash ^ (bitmap_->Flags & QS_FLAG_PAINT_LUT)) * 1099511628211ull;
      }
  EXPECT_EQ(hash, 12664139696184759136ull);
}

TEST_F(PaintTone, SettersAndGettersCheckTheirRecordsLeavingEverythingAsItWas) {
  // Values read back, then every refusal, then the record and its table unchanged.
  const int32_t stored[] = {-12, 345, 222};
  for (int k = 0; k < 3; ++k) ASSERT_EQ(kSettings[k].Set(bitmap_.get(), stored[k]), 1);
  const BitmapRecord before = *bitmap_.get();
  uint8_t table[256];
  std::memcpy(table, Lut(), 256);
  BitmapRecord bare = before;
  bare.Flags &= ~QS_FLAG_STORAGE;  // no storage: still answered by the getters
  for (int k = 0; k < 3; ++k) {
    const auto& s = kSettings[k];
    for (int32_t bad : s.Bad) EXPECT_EQ(s.Set(bitmap_.get(), bad), -13) << s.Name << " " << bad;
    EXPECT_EQ(s.Set(nullptr, 5), -2) << s.Name;
    EXPECT_EQ(s.Set(&bare, 5), -2) << s.Name << ": no storage";
    EXPECT_EQ(s.Get(&bare), stored[k]) << s.Name;
    EXPECT_EQ(s.Get(nullptr), -13) << s.Name;
    for (uint32_t size : {163u, 165u}) {
      BitmapRecord wrong = bare;  // the size is refused before the storage flag is read
      wrong.StructSize = size;
      EXPECT_EQ(s.Set(&wrong, 5), -789) << s.Name << " size " << size;
      EXPECT_EQ(s.Get(&wrong), s.WrongSizeGet) << s.Name << " size " << size;
    }
  }
  EXPECT_TRUE(SameBytes(*bitmap_.get(), before));
  EXPECT_EQ(std::memcmp(table, Lut(), 256), 0);
  // Setting the stored value again does not rebuild the table.
  bitmap_->PaintLUT[0] = 77;
  for (int k = 0; k < 3; ++k) EXPECT_EQ(kSettings[k].Set(bitmap_.get(), stored[k]), 1);
  EXPECT_EQ(Lut()[0], 77);
  EXPECT_EQ(Q_SetPaintGamma(bitmap_.get(), 150), 1);
  EXPECT_NE(Lut()[0], 77);
}
