// Region exchange without GDI: masks made from regions and regions read from masks, the shear,
// and the banded rectangle list that GDI regions are built from, against the mask model.
#include <gtest/gtest.h>

#include <cmath>

#include "qsdisp.h"
#include "region/rgn_ops.h"
#include "region/rgn_rectangles.h"
#include "tests/region/color_model.h"

namespace {
using RgnExchangeTest = KernelLeakTest;

constexpr uint32_t kReplace = 1;

// Pixels of a bitmap of the given size with pixel storage, for masks and shears.
struct StoredBitmap : ColorBitmap {
  StoredBitmap(int32_t width, int32_t height, int32_t orientation = 1)
      : ColorBitmap(ColorFormat{24, 1, "24"}, width, height, 1, 1) {
    Record.Orientation = orientation;
  }
};

Mask Cut(const Mask& m, int32_t width, int32_t height) {
  Mask out;
  m.ForEach([&](int32_t x, int32_t y) {
    if (x >= 0 && y >= 0 && x < width && y < height) out.Set(x, y);
  });
  return out;
}

TEST_F(RgnExchangeTest, MasksHoldTheRegionAndGiveItBack) {
  ShapeSource shapes(31);
  for (int trial = 0; trial < 12; ++trial) {
    const int32_t orientation = trial % 8 + 1;
    StoredBitmap source(47, 39, orientation);
    const Mask shape = trial == 0 ? Mask{} : Cut(shapes.Next(), 47, 39);
    if (trial != 11) source->Region = RegionFromMask(shape);  // the last one has no region
    TestBitmap mask;
    ASSERT_EQ(Q_CreateMaskFromBitmapRgn(source.get(), mask.get(), QS_RECORD_SIZE), 1);
    EXPECT_EQ(mask->BitsPerPixel, 1);
    EXPECT_EQ(mask->Orientation, orientation);
    EXPECT_EQ(mask->Region, nullptr);
    std::vector<uint8_t> row(size_t(mask->BytesPerLine));
    for (int32_t y = 0; y < 39; ++y) {
      KrnGetBitmapRow(mask.get(), row.data(), y, 0, uint32_t(row.size()));
      for (int32_t x = 0; x < 47; ++x)
        ASSERT_EQ(pixel_model::Get(row.data(), 1, x), trial == 11 || shape.Get(x, y) ? 1u : 0u) << trial << " " << x << "," << y;
    }
    StoredBitmap target(47, 39, orientation);
    ASSERT_EQ(Q_SetBitmapRgnFromMask(target.get(), nullptr, mask.get(), kReplace), 1);
    Mask all;
    all.FillRect(RECT{0, 0, 47, 39});
    EXPECT_EQ(RegionDiff(target.Record, trial == 11 ? all : shape), "") << trial;
  }
}

TEST_F(RgnExchangeTest, AnyMaskGivesItsLightPixels) {
  for (const ColorFormat& f : {kColorFormats[3], kColorFormats[5], kColorFormats[8]}) {
    ColorBitmap mask(f, 30, 20, 9, 7);
    const std::vector<Rgb3> colours = mask.Colours();
    const int32_t top = mask.Gray16() ? 65535 : 255;
    const Mask light = MaskWhere(mask, colours, [&](const Rgb3& c, int32_t, int32_t) {
      return (2 * c.R + 5 * c.G + c.B) / 8.0 >= (top + 1) / 2.0;
    });
    StoredBitmap target(30, 20);
    ASSERT_EQ(Q_SetBitmapRgnFromMask(target.get(), nullptr, mask.get(), kReplace), 1);
    EXPECT_EQ(RegionDiff(target.Record, light), "") << f.Name;
  }
}

TEST_F(RgnExchangeTest, MaskChecksAndFailures) {
  StoredBitmap source(20, 10);
  const Mask shape = EllipseMask(RECT{2, 1, 18, 9});
  source->Region = RegionFromMask(shape);
  TestBitmap mask;
  EXPECT_EQ(Q_CreateMaskFromBitmapRgn(nullptr, mask.get(), QS_RECORD_SIZE), -13);
  EXPECT_EQ(Q_CreateMaskFromBitmapRgn(source.get(), nullptr, QS_RECORD_SIZE), -13);
  EXPECT_EQ(Q_CreateMaskFromBitmapRgn(source.get(), mask.get(), 100), -789);
  EXPECT_EQ(Q_SetBitmapRgnFromMask(nullptr, nullptr, source.get(), kReplace), -13);
  EXPECT_EQ(Q_SetBitmapRgnFromMask(source.get(), nullptr, nullptr, kReplace), -13);
  TestBitmap empty;
  EXPECT_EQ(Q_SetBitmapRgnFromMask(source.get(), nullptr, empty.get(), kReplace), -13);  // no storage
  source->Flags |= QS_FLAG_NO_SCAN;
  EXPECT_EQ(Q_SetBitmapRgnFromMask(source.get(), nullptr, source.get(), kReplace), -1360);
  source->Flags &= ~QS_FLAG_NO_SCAN;
  // Every allocation failing in turn: the mask is not left allocated, the region not changed.
  const std::vector<int32_t> before = RegionSnapshot(source->Region);
  int32_t live = 0;
  ForEachAllocationFailure(
      [&] {
        live = KrnTestLiveBlocks();
        return Q_CreateMaskFromBitmapRgn(source.get(), mask.get(), QS_RECORD_SIZE);
      },
      [&](int32_t result, int32_t nth) {
        EXPECT_EQ(result, -1) << nth;
        EXPECT_EQ(KrnTestLiveBlocks(), live) << nth;
      });
  StoredBitmap target(20, 10);
  target->Region = RegionFromMask(Mask{});
  const std::vector<int32_t> targetBefore = RegionSnapshot(target->Region);
  ForEachAllocationFailure(
      [&] {
        live = KrnTestLiveBlocks();
        return Q_SetBitmapRgnFromMask(target.get(), nullptr, mask.get(), kReplace);
      },
      [&](int32_t result, int32_t nth) {
        if (result == 1) return;  // a failed trim of the finished record passes unnoticed
        EXPECT_EQ(result, -1) << nth;
        EXPECT_EQ(RegionSnapshot(target->Region), targetBefore) << nth;
        EXPECT_EQ(KrnTestLiveBlocks(), live) << nth;
      });
  EXPECT_EQ(RegionDiff(target.Record, shape), "");
  EXPECT_EQ(RegionSnapshot(source->Region), before);
}

TEST_F(RgnExchangeTest, TheShearSlopeIsTheTangent) {
  EXPECT_EQ(KrnShearNumerator(4500), KrnShearDenominator(4500));
  EXPECT_EQ(KrnShearNumerator(-4500), KrnShearDenominator(4500));
  EXPECT_EQ(KrnShearNumerator(0), 0);
  EXPECT_NEAR(double(KrnShearNumerator(3000)) / KrnShearDenominator(3000), std::sqrt(3.0) / 3, 1e-4);  // tan 30 degrees
  EXPECT_EQ(KrnShearDenominator(9000), 0);
}

TEST_F(RgnExchangeTest, ShearMovesEachLineByItsDistanceFromTheStartingEdge) {
  ShapeSource shapes(5);
  for (int trial = 0; trial < 16; ++trial) {
    const int32_t angle = (trial % 2 ? -1 : 1) * shapes.Uniform(0, 6000);
    const bool clips = trial % 4 < 2;
    const Mask shape = shapes.Next();
    RegionBitmap b(60, 45, clips, &shape);
    ASSERT_EQ(RgnShear(b.get(), angle), 1);
    const double slope = double(KrnShearNumerator(angle)) / KrnShearDenominator(angle);
    Mask expected;
    shape.ForEach([&](int32_t x, int32_t y) {
      const int32_t distance = angle >= 0 ? y : 45 - 1 - y;
      const auto moved = x + int32_t(std::floor(distance * slope + 1e-9));
      if (!clips || (moved >= 0 && moved < 60 && y >= 0 && y < 45)) expected.Set(moved, y);
    });
    EXPECT_EQ(RegionDiff(b.Record, expected), "") << "angle " << angle;
  }
  RegionBitmap none(10, 10);
  EXPECT_EQ(RgnShear(none.get(), 1000), 1);
  EXPECT_EQ(RgnShear(nullptr, 1000), -2);
  const Mask box = EllipseMask(RECT{0, 0, 9, 9});
  RegionBitmap upright(10, 10, true, &box);
  const std::vector<int32_t> before = RegionSnapshot(upright->Region);
  EXPECT_EQ(RgnShear(upright.get(), 9000), -13);
  EXPECT_EQ(RegionSnapshot(upright->Region), before);
}

// The rectangle list: sorted by top then left, one band per run of identical rows, and its
// union is the region; a perspective change maps each rectangle like the bounds.
TEST_F(RgnExchangeTest, RectangleListsCoverTheRegionInBands) {
  ShapeSource shapes(77);
  for (int trial = 0; trial < 20; ++trial) {
    Mask shape = shapes.Next();
    if (trial % 3 == 0) shape.FillRect(RECT{-5, 40, 30, 50});  // identical rows make one band
    RegionBitmap b(60, 60, false, &shape);
    RgnRectangleList list;
    ASSERT_EQ(RgnBuildRectangles(b.Record, *b->Region, nullptr, list), 1);
    const RECT* r = list.Rectangles();
    Mask covered;
    int32_t bands = 0;
    for (uint32_t i = 0; i < list.Count; ++i) {
      if (i > 0) {
        ASSERT_TRUE(r[i - 1].top < r[i].top || (r[i - 1].top == r[i].top && r[i - 1].left < r[i].left));
      }
      if (i == 0 || r[i].top != r[i - 1].top) ++bands;
      for (int32_t y = r[i].top; y < r[i].bottom; ++y)
        for (int32_t x = r[i].left; x < r[i].right; ++x) {
          ASSERT_FALSE(covered.Get(x, y)) << "rectangles overlap";
          covered.Set(x, y);
        }
    }
    EXPECT_TRUE(covered == shape) << trial;
    int32_t runs = 0;  // runs of identical non-empty rows in the model
    std::vector<uint8_t> previous;
    for (int32_t y = Mask::kLo; y < Mask::kHi; ++y) {
      std::vector<uint8_t> line(shape.Bits.begin() + (y - Mask::kLo) * Mask::kSide,
                                shape.Bits.begin() + (y - Mask::kLo + 1) * Mask::kSide);
      if (line != previous && std::count(line.begin(), line.end(), 1) > 0) ++runs;
      previous = line;
    }
    EXPECT_EQ(bands, runs) << trial;
    const RgnDataHeader& h = *list.Block;
    EXPECT_EQ(h.Count, list.Count);
    EXPECT_EQ(h.RgnSize, list.Count * 16);
    if (list.Count > 0) {
      EXPECT_EQ(Edges(h.Bound), Edges(b->Region->Bounds));
    }
    KrnMemFree(list.Block);
    const RgnTransform bad{9, 1, 1, 1, 1, 0, 0};
    EXPECT_EQ(RgnBuildRectangles(b.Record, *b->Region, &bad, list), -13);
    EXPECT_EQ(list.Block, nullptr);
  }
}

// A region mapped out lands where the outbound mapping puts its rectangle: every pair of
// perspectives, with scales and offsets.
TEST_F(RgnExchangeTest, RegionsMapOutboundLikeTheirRectangles) {
  ShapeSource shapes(41);
  for (int32_t from = 1; from <= 8; ++from)
    for (int32_t to = 1; to <= 8; ++to) {
      const RECT box = shapes.Box();
      RegionBitmap b(37, 29, false);
      b->Orientation = from;
      const int32_t num = 1 + (from + to) % 3, den = 1 + (from * to) % 2;
      const RgnTransform t{uint32_t(to), num, den, den, num, to - 4, from - 3};
      RgnRecord* region = nullptr;
      ASSERT_EQ(RgnFromRect(box, &region), 1);
      RgnOwner owner(region);
      ASSERT_EQ(RgnMapOutbound(b.get(), &t, region), 1);
      RECT expected = box;
      ASSERT_EQ(RgnMapRectOut(b.Record, &t, expected), 1);
      Mask m;
      m.FillRect(expected);
      EXPECT_EQ(MaskDiff(m, *region), "") << "from " << from << " to " << to;
    }
  RgnRecord* region = nullptr;
  ASSERT_EQ(RgnFromRect(RECT{1, 1, 5, 5}, &region), 1);
  RgnOwner owner(region);
  RegionBitmap b(10, 10);
  const RgnTransform bad{9, 1, 1, 1, 1, 0, 0};
  EXPECT_EQ(RgnMapOutbound(b.get(), &bad, region), -13);
  EXPECT_EQ(RgnMapOutbound(nullptr, nullptr, region), -2);
  EXPECT_EQ(RgnMapOutbound(b.get(), nullptr, nullptr), -13);
}

}  // namespace
