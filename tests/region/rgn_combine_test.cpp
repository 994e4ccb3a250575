// RgnCombine against the mask model: random shapes, every mode, clipping on and off, transforms
// with offsets, scales and every pair of perspectives.
#include <gtest/gtest.h>

#include "region/rgn_combine.h"
#include "region/rgn_merge.h"
#include "region/rgn_ops.h"
#include "tests/region/rgn_model.h"

namespace {
using RgnCombineTest = KernelLeakTest;

// The model of one bitmap's region: null when the bitmap has none.
struct ModelBitmap {
  int32_t Width = 0, Height = 0, Orientation = 1;
  bool Clips = true;
  bool HasRegion = false;
  Mask Region;

  RECT Frame(const Mask& added) const {
    RECT f{0, 0, Width, Height};
    if (!Clips)
      added.ForEach([&](int32_t x, int32_t y) {
        f = RECT{std::min<int32_t>(f.left, x), std::min<int32_t>(f.top, y), std::max<int32_t>(f.right, x + 1), std::max<int32_t>(f.bottom, y + 1)};
      });
    return f;
  }
};

// Offset, then scale, then the perspective change, pixel by pixel; the perspective change is
// the kernel's own rectangle mapping applied to each pixel.
Mask ModelInbound(const ModelBitmap& b, const RgnTransform& t, const Mask& m) {
  Mask scaled;
  m.ForEach([&](int32_t x, int32_t y) {
    x += t.XOffset;
    y += t.YOffset;
    scaled.FillRect(RECT{ModelUp(x, t.XScaleNum, t.XScaleDen), ModelUp(y, t.YScaleNum, t.YScaleDen),
                         ModelUp(x + 1, t.XScaleNum, t.XScaleDen), ModelUp(y + 1, t.YScaleNum, t.YScaleDen)});
  });
  if (int32_t(t.Orientation) == b.Orientation) return scaled;
  const bool transposed = (t.Orientation >= 5) != (b.Orientation >= 5);
  const int32_t w = transposed ? b.Height : b.Width, h = transposed ? b.Width : b.Height;
  Mask out;
  scaled.ForEach([&](int32_t x, int32_t y) {
    RECT pixel{x, y, x + 1, y + 1};
    EXPECT_EQ(KrnMapViewPoint(int32_t(t.Orientation), w, h, b.Orientation, &pixel), 1);
    out.Set(pixel.left, pixel.top);
  });
  return out;
}

void ModelCombine(ModelBitmap& b, const RgnTransform* t, const Mask& added, uint32_t mode) {
  const Mask n = t ? ModelInbound(b, *t, added) : added;
  const RECT f = b.Frame(n);
  Mask frame;
  frame.FillRect(f);
  const Mask& e = b.HasRegion ? b.Region : frame;
  Mask result;
  for (size_t i = 0; i < result.Bits.size(); ++i) {
    const int32_t x = int32_t(i % Mask::kSide) + Mask::kLo, y = int32_t(i / Mask::kSide) + Mask::kLo;
    const bool in = n.Bits[i], old = e.Bits[i], whole = frame.Bits[i];
    const bool results[] = {in && old, in, in && !old, old && !in, in || old, in != old, whole && !in};
    const bool inside = x >= 0 && y >= 0 && x < b.Width && y < b.Height;
    result.Bits[i] = results[mode] && (!b.Clips || inside);
  }
  b.Region = result;
  b.HasRegion = true;
}

RgnTransform RandomTransform(ShapeSource& s, uint32_t orientation) {
  static const int32_t scales[][2] = {{1, 1}, {2, 1}, {1, 2}, {3, 2}, {2, 3}};
  const auto& xs = scales[s.Uniform(0, 4)];
  const auto& ys = scales[s.Uniform(0, 4)];
  return RgnTransform{orientation, xs[0], xs[1], ys[0], ys[1], s.Uniform(-6, 6), s.Uniform(-6, 6)};
}

// One bitmap, a run of random combines, each checked against the model.
void RunSequence(uint32_t seed, int32_t bitmapOrientation, bool perspectivePairs) {
  ShapeSource s(seed);
  ModelBitmap model;
  model.Width = s.Uniform(20, 45);
  model.Height = s.Uniform(20, 45);
  model.Orientation = bitmapOrientation;
  RegionBitmap bitmap(model.Width, model.Height);
  bitmap->Orientation = model.Orientation;
  for (int32_t step = 0; step < (perspectivePairs ? 16 : 40); ++step) {
    model.Clips = s.Uniform(0, 3) != 0;
    bitmap->Flags = model.Clips ? 0 : QS_FLAG_RGN_UNCLIPPED;
    if (s.Uniform(0, 9) == 0) {  // sometimes start again from a bitmap without a region
      ASSERT_EQ(RgnCombine(bitmap.get(), nullptr, nullptr, 0), 1);
      model.HasRegion = false;
    }
    const Mask shape = s.Next();
    const uint32_t mode = uint32_t(s.Uniform(0, 6));
    RgnTransform t{};
    const bool transformed = perspectivePairs || s.Uniform(0, 1) == 1;
    if (transformed) t = RandomTransform(s, perspectivePairs ? uint32_t(step % 8 + 1) : uint32_t(s.Uniform(1, 8)));
    ModelCombine(model, transformed ? &t : nullptr, shape, mode);
    const int32_t piece = s.Uniform(0, 3);  // touching segments in some inputs
    ASSERT_EQ(RgnCombine(bitmap.get(), transformed ? &t : nullptr, RegionFromMask(shape, piece), mode), 1);
    SCOPED_TRACE(testing::Message() << "seed " << seed << " step " << step << " mode " << mode << " perspective "
                                    << t.Orientation << " to " << bitmapOrientation << " clipping " << model.Clips);
    ASSERT_EQ(bitmap->Region != nullptr, model.HasRegion);
    if (model.HasRegion) {
      ASSERT_EQ(MaskDiff(model.Region, *bitmap->Region), "");
    }
  }
}

TEST_F(RgnCombineTest, RandomShapesAgreeWithTheMaskModel) {
  for (uint32_t seed = 1; seed <= 12; ++seed) RunSequence(seed, int32_t(seed % 8 + 1), false);
}

TEST_F(RgnCombineTest, EveryPairOfPerspectives) {
  // Each bitmap orientation meets all eight transform perspectives twice.
  for (int32_t orientation = 1; orientation <= 8; ++orientation) RunSequence(100 + uint32_t(orientation), orientation, true);
}

// Combines a rectangle into the bitmap's region.
int32_t Rect(BitmapRecord* b, RECT r, uint32_t mode, const RgnTransform* t = nullptr) {
  RgnRecord* n = nullptr;
  EXPECT_EQ(RgnFromRect(r, &n), 1);
  return RgnCombine(b, t, n, mode);
}

TEST_F(RgnCombineTest, NamedModeCases) {
  RegionBitmap or4, minus2, and0;  // a missing region stands for the whole bitmap
  Mask whole, column;
  whole.FillRect(RECT{0, 0, 20, 10});
  column.FillRect(RECT{19, 0, 20, 10});
  ASSERT_EQ(Rect(or4.get(), RECT{2, 2, 4, 4}, kRgnCombineOr), 1);
  EXPECT_EQ(MaskDiff(whole, *or4->Region), "");
  ASSERT_EQ(Rect(minus2.get(), RECT{2, 2, 4, 4}, kRgnCombineNewMinusOld), 1);
  ASSERT_NE(minus2->Region, nullptr);  // an empty record, not a missing one
  EXPECT_TRUE(RgnIsEmpty(*minus2->Region));
  ASSERT_EQ(Rect(and0.get(), RECT{-5, 8, 4, 30}, kRgnCombineAnd), 1);
  EXPECT_EQ(RegionSnapshot(and0->Region), (std::vector<int32_t>{0, 8, 4, 10, 2, 0, 4, 2, 0, 4}));

  RegionBitmap f;
  for (uint32_t mode : {kRgnCombineOr, kRgnCombineXor}) {  // touching: one segment per line
    ASSERT_EQ(Rect(f.get(), RECT{2, 1, 5, 3}, kRgnCombineReplace), 1);
    ASSERT_EQ(Rect(f.get(), RECT{5, 1, 8, 3}, mode), 1);
    EXPECT_EQ(RegionSnapshot(f->Region), (std::vector<int32_t>{2, 1, 8, 3, 2, 2, 8, 2, 2, 8})) << mode;
  }
  ASSERT_EQ(Rect(f.get(), RECT{2, 1, 8, 3}, kRgnCombineXor), 1);  // identical: empty
  EXPECT_TRUE(RgnIsEmpty(*f->Region));
  ASSERT_EQ(Rect(f.get(), RECT{0, 0, 19, 10}, kRgnCombineFrameMinusNew), 1);  // the old region plays no part
  EXPECT_EQ(MaskDiff(column, *f->Region), "");
  ASSERT_EQ(Rect(f.get(), RECT{-4, -4, 40, 40}, kRgnCombineReplace), 1);  // cut to the bitmap
  EXPECT_EQ(Edges(f->Region->Bounds), Edges(RECT{0, 0, 20, 10}));

  RegionBitmap open(20, 10, false);
  ASSERT_EQ(Rect(open.get(), RECT{-4, -2, 30, 3}, kRgnCombineReplace), 1);  // kept whole
  EXPECT_EQ(Edges(open->Region->Bounds), Edges(RECT{-4, -2, 30, 3}));
  ASSERT_EQ(Rect(open.get(), RECT{18, -2, 30, 3}, kRgnCombineFrameMinusNew), 1);  // F grows by N's box
  Mask frame;
  frame.FillRect(RECT{0, -2, 18, 3});  // above the bitmap's top rows too
  frame.FillRect(RECT{0, 3, 30, 10});
  EXPECT_EQ(MaskDiff(frame, *open->Region), "");
}

TEST_F(RgnCombineTest, RefusedCallsLeaveTheRegionAndReleaseTheNewOne) {
  RegionBitmap f;
  ASSERT_EQ(Rect(f.get(), RECT{2, 1, 5, 3}, kRgnCombineReplace), 1);
  RgnRecord* const identity = f->Region;
  const auto before = RegionSnapshot(f->Region);
  const RgnTransform zeroDen{1, 1, 0, 1, 1, 0, 0};
  const RgnTransform badOrientation{9, 1, 1, 1, 1, 0, 0};
  EXPECT_EQ(Rect(f.get(), RECT{0, 0, 3, 3}, 7), -13);
  EXPECT_EQ(Rect(f.get(), RECT{0, 0, 3, 3}, 1, &zeroDen), -13);
  EXPECT_EQ(Rect(f.get(), RECT{0, 0, 3, 3}, 1, &badOrientation), -13);
  EXPECT_EQ(Rect(nullptr, RECT{0, 0, 3, 3}, 1), -2);
  f->StructSize = 100;
  EXPECT_EQ(Rect(f.get(), RECT{0, 0, 3, 3}, 1), -789);
  f->StructSize = QS_RECORD_SIZE;
  EXPECT_EQ(f->Region, identity);
  EXPECT_EQ(RegionSnapshot(f->Region), before);
  for (uint32_t mode : {0u, 6u, 99u}) {  // a null region removes the region whatever the mode
    ASSERT_EQ(Rect(f.get(), RECT{2, 1, 5, 3}, kRgnCombineReplace), 1);
    EXPECT_EQ(RgnCombine(f.get(), &zeroDen, nullptr, mode), 1);
    EXPECT_EQ(f->Region, nullptr);
  }
}

TEST_F(RgnCombineTest, ExclusiveOrEqualsTheUnionOfBothDifferences) {
  // Rows with touching segments too: the direct exclusive or must give the same bytes.
  ShapeSource s(77);
  for (int i = 0; i < 40; ++i) {
    RgnOwner a(RegionFromMask(s.Next(), i % 3 + 1)), b(RegionFromMask(s.Next(), i % 4 + 1));
    RgnRecord *ab = nullptr, *ba = nullptr, *both = nullptr, *direct = nullptr;
    ASSERT_EQ(RgnSubtract(*a, *b, &ab), 1);
    ASSERT_EQ(RgnSubtract(*b, *a, &ba), 1);
    ASSERT_EQ(RgnUnite(*ab, *ba, &both), 1);
    ASSERT_EQ(RgnExclusiveOr(*a, *b, &direct), 1);
    EXPECT_EQ(RegionSnapshot(direct), RegionSnapshot(both));
    for (RgnRecord* r : {ab, ba, both, direct}) KrnFreeRgnMemory(r);
  }
}
}  // namespace
