// Region queries against the mask model, their argument checks, and the outbound rectangle
// mapping.
#include <gtest/gtest.h>

#include <array>

#include "qsdisp.h"
#include "region/rgn_ops.h"
#include "tests/region/rgn_model.h"

namespace {
using RgnQueriesTest = KernelLeakTest;

// The segments of one model row, cut to [0, width) when asked.
std::vector<int32_t> ModelRow(const Mask& m, int32_t y, int32_t cutWidth) {
  std::vector<int32_t> v;
  const int32_t lo = cutWidth >= 0 ? 0 : Mask::kLo, hi = cutWidth >= 0 ? cutWidth : Mask::kHi;
  for (int32_t x = lo; x < hi; ++x) {
    if (!m.Get(x, y)) continue;
    v.push_back(x);
    while (x < hi && m.Get(x, y)) ++x;
    v.push_back(x);
  }
  return v;
}

TEST_F(RgnQueriesTest, AnswersAgreeWithTheModel) {
  ShapeSource shapes(21);
  for (int i = 0; i < 24; ++i) {
    const bool clips = i % 2 == 0;
    RegionBitmap b(shapes.Uniform(10, 40), shapes.Uniform(10, 40), clips);
    const Mask m = shapes.Next();
    b->Region = RegionFromMask(m, i % 3 == 0 ? 2 : 0);
    uint32_t area = 0, maxValues = 0, count = 0;
    RECT bounds{}, want{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    uint32_t modelArea = 0;
    m.ForEach([&](int32_t x, int32_t y) {
      ++modelArea;
      want = RECT{std::min<int32_t>(want.left, x), std::min<int32_t>(want.top, y), std::max<int32_t>(want.right, x + 1),
                  std::max<int32_t>(want.bottom, y + 1)};
    });
    ASSERT_EQ(Q_GetBitmapRgnArea(b.get(), &area), 1);
    EXPECT_EQ(area, modelArea);
    ASSERT_EQ(Q_GetBitmapRgnBounds(b.get(), nullptr, &bounds), 1);
    EXPECT_EQ(Edges(bounds), Edges(want));
    ASSERT_EQ(Q_GetBitmapClipSegmentsMax(b.get(), &maxValues), 1);
    std::vector<int32_t> buffer(maxValues + 64);
    for (int32_t y = Mask::kLo; y < Mask::kHi; ++y) {
      for (int32_t x = -20; x < 80; ++x) ASSERT_EQ(Q_IsPtInBitmapRgn(b.get(), y, x), m.Get(x, y) ? 1 : 0) << x << ", " << y;
      ASSERT_EQ(Q_GetBitmapClipSegments(b.get(), y, buffer.data(), &count), 1);
      std::vector<int32_t> got(buffer.begin(), buffer.begin() + count), expected = ModelRow(m, y, -1);
      if (!clips) expected = y >= 0 && y < b->Height ? ModelRow(m, y, b->Width) : std::vector<int32_t>{};
      if (i % 3 == 0) {  // touching segments come back as stored: compare the pixels they cover
        Mask fromRow, fromModel;
        for (size_t k = 0; k + 1 < got.size(); k += 2) fromRow.FillRect(RECT{got[k], 0, got[k + 1], 1});
        for (size_t k = 0; k + 1 < expected.size(); k += 2) fromModel.FillRect(RECT{expected[k], 0, expected[k + 1], 1});
        EXPECT_EQ(fromRow, fromModel) << "row " << y;
      } else {
        EXPECT_EQ(got, expected) << "row " << y << " clipping " << clips;
        EXPECT_LE(count, maxValues);
      }
    }
  }
}

TEST_F(RgnQueriesTest, NoRegionAnEmptyRegionAndUnclippedRows) {
  const RECT empty{3, 3, 3, 8}, wide{-10, 2, 20, 3};
  const struct {
    const char* Name;
    const RECT* Rect;
    bool Clips;
    int32_t Has;
    uint32_t Area, Max;
    int32_t Row;
    std::vector<int32_t> Segments;
    std::vector<std::array<int32_t, 3>> Points;  // row, column (row first), inside
  } cases[] = {
      {"no region: the whole bitmap", nullptr, true, 0, 144, 2, -5, {0, 16}, {{8, 15, 1}, {15, 8, 0}, {-1, 0, 0}}},
      {"empty region", &empty, true, 1, 0, 0, 4, {}, {{0, 0, 0}, {4, 3, 0}}},
      // Rows are cut to the bitmap, the other answers are not.
      {"unclipped", &wide, false, 1, 30, 30, 2, {0, 16}, {{2, -10, 1}, {2, 19, 1}, {3, 0, 0}}},
  };
  for (const auto& c : cases) {
    RegionBitmap b(16, 9, c.Clips);
    ASSERT_EQ(c.Rect ? Q_SetBitmapRgnRect(b.get(), nullptr, c.Rect, 1) : 1, 1);
    uint32_t area = 7, max = 7, count = 7;
    int32_t buffer[32] = {};
    EXPECT_EQ(Q_BitmapHasRgn(b.get()), c.Has) << c.Name;
    ASSERT_EQ(Q_GetBitmapRgnArea(b.get(), &area), 1);
    ASSERT_EQ(Q_GetBitmapClipSegmentsMax(b.get(), &max), 1);
    ASSERT_EQ(Q_GetBitmapClipSegments(b.get(), c.Row, buffer, &count), 1);
    EXPECT_EQ(std::vector<uint32_t>({area, max}), std::vector<uint32_t>({c.Area, c.Max})) << c.Name;
    EXPECT_EQ(std::vector<int32_t>(buffer, buffer + count), c.Segments) << c.Name;
    for (const auto& p : c.Points) EXPECT_EQ(Q_IsPtInBitmapRgn(b.get(), p[0], p[1]), p[2]) << c.Name << " " << p[0] << "," << p[1];
  }
  RegionBitmap b(16, 9, true);
  RECT r{};
  ASSERT_EQ(Q_GetBitmapRgnBounds(b.get(), nullptr, &r), 1);
  EXPECT_EQ(Edges(r), Edges(RECT{0, 0, 16, 9}));
  ASSERT_EQ(Q_SetBitmapRgnRect(b.get(), nullptr, &empty, 1), 1);
  ASSERT_EQ(Q_FreeBitmapRgn(b.get()), 1);
  EXPECT_EQ(Q_BitmapHasRgn(b.get()), 0);
}

TEST_F(RgnQueriesTest, ClipSwitchTurnsOneFlagOnlyAndAnswersWhetherRegionsAreCut) {
  RegionBitmap b(4, 4, true);
  b->Flags = 0x1234;
  uint32_t clip = 9, unclipped = 9;
  ASSERT_EQ(Q_GetBitmapRgnClip(b.get(), &clip), 1);
  ASSERT_EQ(Q_SetBitmapRgnClip(b.get(), 0), 1);
  EXPECT_EQ(b->Flags, 0x1234u | QS_FLAG_RGN_UNCLIPPED);
  ASSERT_EQ(Q_GetBitmapRgnClip(b.get(), &unclipped), 1);
  ASSERT_EQ(Q_SetBitmapRgnClip(b.get(), 5), 1);
  EXPECT_EQ(b->Flags, 0x1234u);
  EXPECT_EQ(std::vector<uint32_t>({clip, unclipped}), std::vector<uint32_t>({1, 0}));
}

TEST_F(RgnQueriesTest, ArgumentChecksInTheirOrder) {
  RegionBitmap good(4, 4, true), wrongSize(4, 4, true);
  wrongSize->StructSize = 160;
  BitmapRecord* g = good.get();
  BitmapRecord* w = wrongSize.get();
  uint32_t u = 0;
  int32_t buffer[4] = {};
  RECT r{};
  const RgnTransform bad{1, 1, 0, 1, 1, 0, 0};
  struct Check {
    const char* Call;
    int32_t Got, Want;
  } checks[] = {
      {"FreeBitmapRgn null", Q_FreeBitmapRgn(nullptr), -13},
      {"FreeBitmapRgn size", Q_FreeBitmapRgn(w), -789},
      {"Bounds null bitmap", Q_GetBitmapRgnBounds(nullptr, nullptr, &r), -2},
      {"Bounds null rect before size", Q_GetBitmapRgnBounds(w, nullptr, nullptr), -2},
      {"Bounds size", Q_GetBitmapRgnBounds(w, nullptr, &r), -789},
      {"Bounds bad transform", Q_GetBitmapRgnBounds(g, &bad, &r), -13},
      {"BoundsClip null bitmap", Q_GetBitmapRgnBoundsClip(nullptr, nullptr, &r), -814},
      {"BoundsClip size before rect", Q_GetBitmapRgnBoundsClip(w, nullptr, nullptr), -789},
      {"BoundsClip null rect", Q_GetBitmapRgnBoundsClip(g, nullptr, nullptr), -2},
      {"IsPt null", Q_IsPtInBitmapRgn(nullptr, 0, 0), 0},
      {"IsPt size", Q_IsPtInBitmapRgn(w, 0, 0), 0},
      {"Area null bitmap", Q_GetBitmapRgnArea(nullptr, &u), -2},
      {"Area size before out", Q_GetBitmapRgnArea(w, nullptr), -789},
      {"Area null out", Q_GetBitmapRgnArea(g, nullptr), -13},
      {"SegmentsMax null bitmap", Q_GetBitmapClipSegmentsMax(nullptr, nullptr), -2},
      {"SegmentsMax out before size", Q_GetBitmapClipSegmentsMax(w, nullptr), -13},
      {"SegmentsMax size", Q_GetBitmapClipSegmentsMax(w, &u), -789},
      {"Segments null bitmap", Q_GetBitmapClipSegments(nullptr, 0, nullptr, nullptr), -2},
      {"Segments count before size", Q_GetBitmapClipSegments(w, 0, buffer, nullptr), -13},
      {"Segments buffer before size", Q_GetBitmapClipSegments(w, 0, nullptr, &u), -13},
      {"Segments size", Q_GetBitmapClipSegments(w, 0, buffer, &u), -789},
      {"SetClip null", Q_SetBitmapRgnClip(nullptr, 1), -814},
      {"SetClip size", Q_SetBitmapRgnClip(w, 1), -789},
      {"GetClip null", Q_GetBitmapRgnClip(nullptr, &u), -814},
      {"GetClip size", Q_GetBitmapRgnClip(w, &u), -789},
      {"GetClip null out", Q_GetBitmapRgnClip(g, nullptr), -13},
      {"HasRgn null", Q_BitmapHasRgn(nullptr), 0},
      {"SetRect null", Q_SetBitmapRgnRect(nullptr, nullptr, nullptr, 1), -814},
      {"SetRect size before rect", Q_SetBitmapRgnRect(w, nullptr, nullptr, 1), -789},
      {"SetRect null rect", Q_SetBitmapRgnRect(g, nullptr, nullptr, 1), -13},
      {"RgnSetRect null rect", RgnSetRect(g, nullptr, nullptr, 1), -13},
      {"Offset null", Q_OffsetBitmapRgn(nullptr, 1, 1), -2},
      {"Offset size", Q_OffsetBitmapRgn(w, 1, 1), -789},
  };
  for (const Check& c : checks) EXPECT_EQ(c.Got, c.Want) << c.Call;
  EXPECT_EQ(good->Region, nullptr);
}

TEST_F(RgnQueriesTest, OutboundBoundsRoundAsDocumented) {
  RegionBitmap b(30, 20, true);
  const RECT shape{3, 5, 11, 9};
  ASSERT_EQ(Q_SetBitmapRgnRect(b.get(), nullptr, &shape, 1), 1);
  struct Case {
    RgnTransform T;
    int32_t BitmapOrientation;
    RECT Want;
  } cases[] = {
      // Horizontal edges round up, vertical ones truncate, then the offsets.
      {{1, 1, 3, 1, 3, 100, 200}, 1, {101, 201, 104, 203}},
      // Orientation 4 rounds vertical edges up too, after the frame change (y -> 20 - y).
      {{4, 1, 3, 1, 3, 0, 0}, 1, {1, 4, 4, 5}},
      // Orientation 1 from a bitmap stored in 6 rounds vertical edges up as well.
      {{1, 1, 2, 1, 2, 0, 0}, 6, {6, 2, 8, 6}},
      // A product that leaves 32 bits (11 * 400000000) is computed in double precision.
      {{1, 400000000, 3, 1, 1, 0, 0}, 1, {400000000, 5, 1466666667, 9}},
  };
  for (const Case& c : cases) {
    b->Orientation = c.BitmapOrientation;
    RECT r{};
    ASSERT_EQ(Q_GetBitmapRgnBounds(b.get(), &c.T, &r), 1);
    EXPECT_EQ(Edges(r), Edges(c.Want))
        << "orientation " << c.T.Orientation << " from " << c.BitmapOrientation;
  }
  b->Orientation = 1;
  const RgnTransform shifted{1, 1, 1, 1, 1, -5, 18};
  RECT r{};
  ASSERT_EQ(Q_GetBitmapRgnBoundsClip(b.get(), &shifted, &r), 1);
  EXPECT_EQ(Edges(r), Edges(RECT{}));
  const RgnTransform half{1, 1, 1, 1, 1, -5, 10};
  ASSERT_EQ(Q_GetBitmapRgnBoundsClip(b.get(), &half, &r), 1);
  EXPECT_EQ(Edges(r), Edges(RECT{0, 15, 6, 19}));
}

TEST_F(RgnQueriesTest, OffsettingTheBitmapRegion) {
  RegionBitmap b(10, 6, true);
  ASSERT_EQ(Q_OffsetBitmapRgn(b.get(), 2, -3), 1);  // no region: the bitmap rectangle, moved and cut
  EXPECT_EQ(RegionSnapshot(b->Region), (std::vector<int32_t>{0, 2, 7, 6, 2, 0, 7, 2, 0, 7, 2, 0, 7, 2, 0, 7}));
  ASSERT_EQ(Q_OffsetBitmapRgn(b.get(), 0, 0), 1);
  RegionBitmap open(10, 6, false);
  ASSERT_EQ(Q_OffsetBitmapRgn(open.get(), -1, 4), 1);
  EXPECT_EQ(open->Region->Bounds.left, 4);
  EXPECT_EQ(open->Region->Bounds.top, -1);
  EXPECT_EQ(open->Region->Bounds.right, 14);
}
}  // namespace
