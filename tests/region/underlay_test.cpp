// The underlay against a per-pixel model: neutral, white and black textures, repetition and
// stretching, the underlay seen in the target's orientation (all 64 pairs), the target's region,
// palette targets, the checks in order, and failures that leave the target as it was.
#include <gtest/gtest.h>

#include <algorithm>

#include "kernel/pixel_model.h"
#include "paint/paint_model.h"
#include "qsdisp.h"
#include "tests/region/rgn_model.h"

namespace {
using Underlay = KernelLeakTest;

// A grey underlay of w x h whose picture pixel (px, py) has grey level level(px, py), stored in
// the given orientation through an 8-bit grey ramp.
template <typename Level>
void MakeUnderlay(TestBitmap& u, int32_t w, int32_t h, int32_t orientation, Level level) {
  const bool turned = orientation >= 5;
  const int32_t sw = turned ? h : w, sh = turned ? w : h;
  ASSERT_EQ(KrnAllocateBitmap(u.get(), QS_RECORD_SIZE, KRN_MEMORY_ONE_BLOCK, sw, sh, 8, 0, nullptr, orientation,
                              nullptr, 0),
            1);
  std::vector<uint8_t> rows(size_t(u->BytesPerLine) * sh);
  for (int32_t py = 0; py < h; ++py)
    for (int32_t px = 0; px < w; ++px) {
      int sx, sy;
      pixel_model::StoredOf(orientation, w, h, px, py, sx, sy);
      rows[size_t(sy) * u->BytesPerLine + sx] = uint8_t(level(px, py));
    }
  for (int32_t y = 0; y < sh; ++y) KrnPutBitmapRow(u.get(), rows.data() + size_t(y) * u->BytesPerLine, y, 0, u->BytesPerLine);
}

// A 24-bit target of one colour (blue, green, red bytes) in the given orientation.
void MakeTarget(TestBitmap& t, int32_t w, int32_t h, int32_t orientation, uint8_t b, uint8_t g, uint8_t r) {
  ASSERT_EQ(KrnAllocateBitmap(t.get(), QS_RECORD_SIZE, KRN_MEMORY_ONE_BLOCK, w, h, 24, 1, nullptr, orientation, nullptr,
                              0),
            1);
  std::vector<uint8_t> row(size_t(t->BytesPerLine));
  for (int32_t x = 0; x < w; ++x) row[size_t(x) * 3] = b, row[size_t(x) * 3 + 1] = g, row[size_t(x) * 3 + 2] = r;
  for (int32_t y = 0; y < h; ++y) KrnPutBitmapRow(t.get(), row.data(), y, 0, uint32_t(row.size()));
}

std::vector<uint8_t> Pixels(const BitmapRecord& b) {
  std::vector<uint8_t> all(size_t(b.BytesPerLine) * b.Height);
  for (int32_t y = 0; y < b.Height; ++y) KrnGetBitmapRow(&b, all.data() + size_t(y) * b.BytesPerLine, y, 0, b.BytesPerLine);
  return all;
}

uint8_t Blue(const BitmapRecord& b, int32_t x, int32_t y) { return Pixels(b)[size_t(y) * b.BytesPerLine + size_t(x) * 3]; }

TEST_F(Underlay, FlatTexturesShiftEveryChannelWithinItsRange) {
  for (const auto& [level, shift] : std::vector<std::pair<int, int>>{{128, 0}, {255, 127}, {0, -128}, {140, 12}}) {
    TestBitmap target, texture;
    paint_model::MakeRandom(target, 9, 7, 24, 1, 1, 3);
    const std::vector<uint8_t> before = Pixels(target.Record);
    MakeUnderlay(texture, 4, 3, 1, [&](int, int) { return level; });
    ASSERT_EQ(Q_UnderlayBitmap(target.get(), texture.get(), 0), 1);
    const std::vector<uint8_t> after = Pixels(target.Record);
    for (int32_t y = 0; y < 7; ++y)
      for (int32_t i = 0; i < 27; ++i) {
        const size_t at = size_t(y) * target->BytesPerLine + size_t(i);
        ASSERT_EQ(after[at], std::clamp(before[at] + shift, 0, 255)) << level << " at " << i << "," << y;
      }
  }
}

// The underlay's picture, seen in the target's orientation, is repeated from the first stored
// row and column of the target: every pair of orientations against a search over the picture.
TEST_F(Underlay, TexturesRepeatInTheTargetsOrientation) {
  auto level = [](int px, int py) { return 100 + 7 * px + 20 * py; };  // 3 x 2, all different
  for (int32_t ut = 1; ut <= 8; ++ut)
    for (int32_t tt = 1; tt <= 8; ++tt) {
      TestBitmap target, texture;
      MakeTarget(target, 7, 5, tt, 100, 100, 100);
      MakeUnderlay(texture, 3, 2, ut, level);
      ASSERT_EQ(Q_UnderlayBitmap(target.get(), texture.get(), 0), 1);
      // The underlay stored in the target's orientation: where each of its picture pixels lands.
      const int ws = tt >= 5 ? 2 : 3, hs = tt >= 5 ? 3 : 2;
      std::vector<int> working(size_t(ws * hs));
      for (int py = 0; py < 2; ++py)
        for (int px = 0; px < 3; ++px) {
          int sx, sy;
          pixel_model::StoredOf(tt, 3, 2, px, py, sx, sy);
          working[size_t(sy * ws + sx)] = level(px, py);
        }
      for (int32_t y = 0; y < 5; ++y)
        for (int32_t x = 0; x < 7; ++x)
          ASSERT_EQ(Blue(target.Record, x, y), 100 + working[size_t((y % hs) * ws + x % ws)] - 128)
              << "underlay " << ut << ", target " << tt << ", pixel " << x << "," << y;
    }
}

TEST_F(Underlay, StretchedTexturesCoverTheTargetOnce) {
  TestBitmap target, texture;
  MakeTarget(target, 10, 3, 1, 100, 100, 100);
  MakeUnderlay(texture, 2, 1, 1, [](int px, int) { return px == 0 ? 0 : 255; });
  ASSERT_EQ(Q_UnderlayBitmap(target.get(), texture.get(), 1), 1);
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 10; ++x) ASSERT_EQ(Blue(target.Record, x, y), x < 5 ? 0 : 227) << x << "," << y;
}

TEST_F(Underlay, OnlyTheRegionChangesAndPaletteTargetsTakeTheNearestColour) {
  TestBitmap target, texture;
  MakeTarget(target, 12, 8, 1, 50, 60, 70);
  Mask inside;
  inside.FillRect(RECT{2, 3, 9, 6});
  target->Region = RegionFromMask(inside);
  MakeUnderlay(texture, 5, 5, 1, [](int, int) { return 148; });
  ASSERT_EQ(Q_UnderlayBitmap(target.get(), texture.get(), 0), 1);
  for (int32_t y = 0; y < 8; ++y)
    for (int32_t x = 0; x < 12; ++x) ASSERT_EQ(Blue(target.Record, x, y), inside.Get(x, y) ? 70 : 50) << x << "," << y;
  // An 8-bit grey target: each grey level moves by the texture's distance from mid-grey.
  TestBitmap grey;
  MakeUnderlay(grey, 6, 4, 1, [](int px, int py) { return 30 * px + py; });
  ASSERT_EQ(Q_UnderlayBitmap(grey.get(), texture.get(), 0), 1);
  const std::vector<uint8_t> levels = Pixels(grey.Record);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 6; ++x) ASSERT_EQ(levels[size_t(y) * grey->BytesPerLine + x], 30 * x + y + 20) << x << "," << y;
}

TEST_F(Underlay, ChecksInOrderAndFailuresThatChangeNothing) {
  TestBitmap target, texture;
  MakeTarget(target, 6, 4, 1, 1, 2, 3);
  MakeUnderlay(texture, 2, 2, 1, [](int, int) { return 200; });
  EXPECT_EQ(Q_UnderlayBitmap(target.get(), texture.get(), 2), -13);
  EXPECT_EQ(Q_UnderlayBitmap(nullptr, texture.get(), 0), -2);
  EXPECT_EQ(Q_UnderlayBitmap(target.get(), nullptr, 0), -2);
  const uint32_t flags = target->Flags;
  target->Flags &= ~QS_FLAG_STORAGE;
  target->StructSize = 100;
  EXPECT_EQ(Q_UnderlayBitmap(target.get(), texture.get(), 0), -2) << "storage before the size";
  target->Flags = flags;
  EXPECT_EQ(Q_UnderlayBitmap(target.get(), texture.get(), 0), -789);
  target->StructSize = QS_RECORD_SIZE;
  texture->StructSize = 165;
  EXPECT_EQ(Q_UnderlayBitmap(target.get(), texture.get(), 0), -789);
  texture->StructSize = QS_RECORD_SIZE;
  const std::vector<uint8_t> before = Pixels(target.Record);
  int32_t live = 0;
  const int32_t used = ForEachAllocationFailure(
      [&] {
        live = KrnTestLiveBlocks();
        return Q_UnderlayBitmap(target.get(), texture.get(), 1);
      },
      [&](int32_t result, int32_t nth) {
        EXPECT_EQ(result, -1) << nth;
        EXPECT_EQ(Pixels(target.Record), before) << nth;
        EXPECT_EQ(KrnTestLiveBlocks(), live) << nth;
      });
  EXPECT_GE(used, 4);
  EXPECT_EQ(Blue(target.Record, 0, 0), 1 + 72);
}
}  // namespace
