// Shape regions under GDI: every region made from a shape holds exactly the pixels of the GDI
// region it comes from (PtInRegion over the bounding box), for many sizes odd and even; the
// argument checks in their documented orders; and allocation failures that change nothing.
#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "qsdisp.h"
#include "region/curve_bezier.h"
#include "region/rgn_ops.h"
#include "tests/region/rgn_model.h"

namespace {
// A bitmap whose regions are never cut, so that a shape arrives whole.
struct ShapeBitmap : TestBitmap {
  ShapeBitmap() {
    EXPECT_EQ(KrnAllocateBitmap(get(), 164, KRN_MEMORY_ONE_BLOCK, 64, 48, 8, 0, nullptr, 1, nullptr, 0), 1);
    Record.Flags |= QS_FLAG_RGN_UNCLIPPED;
  }
};

struct RegionHandle {
  HRGN Handle;
  explicit RegionHandle(HRGN h) : Handle(h) {}
  ~RegionHandle() {
    if (Handle) DeleteObject(Handle);
  }
  RegionHandle(const RegionHandle&) = delete;
  RegionHandle& operator=(const RegionHandle&) = delete;
};

// The bitmap's region equals the GDI region pixel for pixel, over both boxes and a margin.
void ExpectSamePixels(const BitmapRecord& bitmap, HRGN gdi, const char* what) {
  ASSERT_NE(bitmap.Region, nullptr) << what;
  const RgnRecord& region = *bitmap.Region;
  ASSERT_TRUE(RgnIsWellFormed(region)) << what;
  RECT box;
  ASSERT_NE(GetRgnBox(gdi, &box), ERROR) << what;
  UnionRect(&box, &box, &region.Bounds);
  for (int32_t y = box.top - 1; y <= box.bottom; ++y)
    for (int32_t x = box.left - 1; x <= box.right; ++x)
      ASSERT_EQ(RgnContains(region, x, y), PtInRegion(gdi, x, y) != FALSE)
          << what << ": pixel " << x << "," << y << " (GDI says " << (PtInRegion(gdi, x, y) != FALSE) << ")";
}

// Wine leaves rows of CreateEllipticRgn and CreateRoundRectRgn unwritten for narrow or much
// taller than wide shapes; only others are compared with GDI.
bool GdiShapeIsReliable(int32_t w, int32_t h) { return w >= 20 && h <= 10 * w; }

// The invariants every shape keeps whatever GDI does: well formed and inside its rectangle.
void ExpectInsideBox(const BitmapRecord& bitmap, const RECT& box, const char* what) {
  ASSERT_NE(bitmap.Region, nullptr) << what;
  const RgnRecord& region = *bitmap.Region;
  ASSERT_TRUE(RgnIsWellFormed(region)) << what;
  RECT joined;
  UnionRect(&joined, &region.Bounds, &box);
  EXPECT_TRUE(RgnIsEmpty(region) || EqualRect(&joined, &box)) << what;
}

// A GDI region of many rectangles whose neighbouring rows differ, joined from small pieces
// (one region per row, then pairwise), since one large ExtCreateRegion is slow under Wine.
HRGN ShiftedComb(int32_t rows, int32_t teeth) {
  std::vector<HRGN> pieces;
  for (int32_t y = 0; y < rows; ++y) {
    HRGN row = CreateRectRgn(0, 0, 0, 0);
    for (int32_t t = 0; t < teeth; ++t) {
      const int32_t left = t * 12 + (y % 3) * 2;
      HRGN tooth = CreateRectRgn(left, y, left + 6 + (y % 2), y + 1);
      CombineRgn(row, row, tooth, RGN_OR);
      DeleteObject(tooth);
    }
    pieces.push_back(row);
  }
  while (pieces.size() > 1) {
    std::vector<HRGN> joined;
    for (size_t i = 0; i + 1 < pieces.size(); i += 2) {
      CombineRgn(pieces[i], pieces[i], pieces[i + 1], RGN_OR);
      DeleteObject(pieces[i + 1]);
      joined.push_back(pieces[i]);
    }
    if (pieces.size() % 2) joined.push_back(pieces.back());
    pieces.swap(joined);
  }
  return pieces[0];
}

std::string Describe(const char* shape, const RECT& r) {
  return std::string(shape) + " " + std::to_string(r.left) + "," + std::to_string(r.top) + " " +
         std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}
}  // namespace

using ShapeRegions = KernelLeakTest;

TEST_F(ShapeRegions, EllipsesAndRoundedRectanglesMatchGdiForManySizes) {
  ShapeBitmap bitmap;
  const int32_t widths[] = {20, 21, 22, 23, 30, 31, 64, 65, 100, 101, 257};
  const int32_t heights[] = {1, 2, 3, 7, 8, 20, 21, 40, 41, 99, 100, 300, 301};
  int compared = 0;
  for (int32_t w : widths) {
    for (int32_t h : heights) {
      const RECT r{-7 + w % 5, 3 - h % 4, -7 + w % 5 + w, 3 - h % 4 + h};
      std::string what = Describe("ellipse", r);
      ASSERT_EQ(Q_SetBitmapRgnEllipse(bitmap.get(), nullptr, &r, 1), 1) << what;
      ExpectInsideBox(bitmap.Record, r, what.c_str());
      if (GdiShapeIsReliable(w, h)) {
        RegionHandle gdi(CreateEllipticRgn(r.left, r.top, r.right, r.bottom));
        ExpectSamePixels(bitmap.Record, gdi.Handle, what.c_str());
        ++compared;
      }
      for (int32_t corner : {4, 9, 20}) {
        what = Describe("round rect", r) + " corner " + std::to_string(corner);
        ASSERT_EQ(Q_SetBitmapRgnRoundRect(bitmap.get(), nullptr, &r, corner, corner + 3, 1), 1) << what;
        ExpectInsideBox(bitmap.Record, r, what.c_str());
        if (GdiShapeIsReliable(w, h)) {
          RegionHandle gdi(CreateRoundRectRgn(r.left, r.top, r.right, r.bottom, corner, corner + 3));
          ExpectSamePixels(bitmap.Record, gdi.Handle, what.c_str());
        }
      }
    }
  }
  EXPECT_GT(compared, 100);
}

TEST_F(ShapeRegions, NarrowAndTallShapesKeepTheRecordInvariants) {
  // Wine may hand back rows it never wrote: such data must be refused (-13) with the region
  // left as it was, never turned into a malformed record.
  ShapeBitmap bitmap;
  int refused = 0;
  for (int32_t w = 1; w < 20; w += 3) {
    for (int32_t h : {1, 2, 50, 333, 2000}) {
      const RECT r{5, -3, 5 + w, -3 + h};
      for (int shape = 0; shape < 2; ++shape) {
        const std::string what = Describe(shape == 0 ? "narrow ellipse" : "narrow round rect", r);
        const std::vector<int32_t> before = RegionSnapshot(bitmap->Region);
        const int32_t result = shape == 0 ? Q_SetBitmapRgnEllipse(bitmap.get(), nullptr, &r, 1)
                                          : Q_SetBitmapRgnRoundRect(bitmap.get(), nullptr, &r, 3, 5, 1);
        if (result == -13) {
          ++refused;
          EXPECT_EQ(RegionSnapshot(bitmap->Region), before) << what;
          continue;
        }
        ASSERT_EQ(result, 1) << what;
        ExpectInsideBox(bitmap.Record, r, what.c_str());
      }
    }
  }
  RecordProperty("refused", refused);
}

TEST_F(ShapeRegions, PolygonsMatchGdiInBothFillModes) {
  ShapeBitmap bitmap;
  // A five-pointed star drawn in one stroke: its centre is inside when winding, outside when
  // alternating.
  const POINT star[] = {{50, 0}, {79, 90}, {2, 35}, {98, 35}, {21, 90}};
  const POINT centre{50, 50};
  for (uint32_t fill : {0u, 1u}) {
    ASSERT_EQ(Q_SetBitmapRgnPolygon(bitmap.get(), nullptr, star, 5, fill, 1), 1);
    RegionHandle gdi(CreatePolygonRgn(star, 5, fill == 0 ? WINDING : ALTERNATE));
    ExpectSamePixels(bitmap.Record, gdi.Handle, fill == 0 ? "star, winding" : "star, alternate");
    EXPECT_EQ(RgnContains(*bitmap->Region, centre.x, centre.y), fill == 0);
  }
  std::mt19937 rng(7);
  for (int trial = 0; trial < 40; ++trial) {
    std::vector<POINT> points(3 + rng() % 9);
    for (POINT& p : points) p = {int32_t(rng() % 301) - 100, int32_t(rng() % 201) - 50};
    for (uint32_t fill : {0u, 1u}) {
      ASSERT_EQ(Q_SetBitmapRgnPolygon(bitmap.get(), nullptr, points.data(), int32_t(points.size()), fill, 1), 1);
      RegionHandle gdi(CreatePolygonRgn(points.data(), int32_t(points.size()), fill == 0 ? WINDING : ALTERNATE));
      const std::string what = "polygon " + std::to_string(trial) + " fill " + std::to_string(fill);
      ExpectSamePixels(bitmap.Record, gdi.Handle, what.c_str());
    }
  }
}

TEST_F(ShapeRegions, CurvesMatchTheirGdiPaths) {
  ShapeBitmap bitmap;
  HDC dc = CreateCompatibleDC(nullptr);
  ASSERT_NE(dc, nullptr);
  auto pathRegion = [&](const POINT* points, int32_t count, uint32_t fill) {
    SetPolyFillMode(dc, fill == 0 ? WINDING : ALTERNATE);
    BeginPath(dc);
    PolyBezier(dc, points, count);
    EndPath(dc);
    return PathToRegion(dc);
  };
  // Two Bezier segments crossing each other.
  POINT bezier[] = {{0, 0}, {120, -40}, {140, 160}, {40, 90}, {-60, 20}, {80, 200}, {0, 0}};
  CurveRecord curve{};
  curve.Size = 36;
  curve.Type = kCurveBezierPoints;
  curve.Count = 7;
  curve.Points = bezier;
  curve.Tension = 7.0;  // read for cardinal curves only
  for (uint32_t fill : {0u, 1u}) {
    curve.FillMode = fill;
    ASSERT_EQ(Q_SetBitmapRgnCurve(bitmap.get(), nullptr, &curve, 1), 1);
    RegionHandle gdi(pathRegion(bezier, 7, fill));
    ExpectSamePixels(bitmap.Record, gdi.Handle, "two-segment Bezier");
  }
  // Cardinal curves: the path of Q_CurveToBezier's points, for every closure.
  POINT knots[] = {{10, 10}, {200, 30}, {160, 150}, {90, 60}, {20, 170}, {-40, 90}};
  curve.Type = kCurveCardinal;
  curve.Count = 6;
  curve.Points = knots;
  curve.Tension = 0.6;
  curve.FillMode = 1;
  for (uint32_t closure : {kCurveOpen, kCurveClosed, kCurveThrough}) {
    curve.Closure = closure;
    ASSERT_EQ(Q_SetBitmapRgnCurve(bitmap.get(), nullptr, &curve, 1), 1);
    int32_t count = 0;
    ASSERT_EQ(Q_CurveToBezier(&curve, &count, nullptr), 1);
    std::vector<POINT> points(count);
    ASSERT_EQ(Q_CurveToBezier(&curve, &count, points.data()), 1);
    RegionHandle gdi(pathRegion(points.data(), count, 1));
    ExpectSamePixels(bitmap.Record, gdi.Handle, ("cardinal closure " + std::to_string(closure)).c_str());
  }
  // A cardinal curve of one segment's worth of nothing (unknown closure) draws no region.
  curve.Closure = 3;
  const std::vector<int32_t> before = RegionSnapshot(bitmap->Region);
  EXPECT_EQ(Q_SetBitmapRgnCurve(bitmap.get(), nullptr, &curve, 1), -1);
  EXPECT_EQ(RegionSnapshot(bitmap->Region), before);
  DeleteDC(dc);
}

TEST_F(ShapeRegions, HandlesOfManyRectanglesArriveWhole) {
  ShapeBitmap bitmap;
  RegionHandle comb(ShiftedComb(300, 16));
  const DWORD bytes = GetRegionData(comb.Handle, 0, nullptr);
  ASSERT_GT((bytes - 32) / 16, 4000u) << "the test region should hold more than 4000 rectangles";
  ASSERT_EQ(Q_SetBitmapRgnHandle(bitmap.get(), nullptr, comb.Handle, 1), 1);
  ExpectSamePixels(bitmap.Record, comb.Handle, "comb");
  EXPECT_EQ(GetRegionData(comb.Handle, 0, nullptr), bytes) << "the caller's region must stay as it was";

  // Through a transform and a combine mode: moved by the offset, then cut by the existing
  // rectangle.
  const RgnTransform shift{1, 1, 1, 1, 1, 5, -2};
  const RECT keep{0, 0, 100, 100};
  ASSERT_EQ(Q_SetBitmapRgnHandle(bitmap.get(), &shift, comb.Handle, 1), 1);
  RegionHandle moved(CreateRectRgn(0, 0, 0, 0));
  CombineRgn(moved.Handle, comb.Handle, nullptr, RGN_COPY);
  OffsetRgn(moved.Handle, 5, -2);
  ExpectSamePixels(bitmap.Record, moved.Handle, "moved comb");
  ASSERT_EQ(RgnSetRect(bitmap.get(), nullptr, &keep, 1), 1);
  ASSERT_EQ(Q_SetBitmapRgnHandle(bitmap.get(), &shift, comb.Handle, 0), 1);
  RegionHandle box(CreateRectRgnIndirect(&keep));
  CombineRgn(moved.Handle, moved.Handle, box.Handle, RGN_AND);
  ExpectSamePixels(bitmap.Record, moved.Handle, "moved comb and rectangle");

  // An empty region is a region; a null handle removes the region whatever the mode.
  RegionHandle empty(CreateRectRgn(0, 0, 0, 0));
  ASSERT_EQ(Q_SetBitmapRgnHandle(bitmap.get(), nullptr, empty.Handle, 1), 1);
  ASSERT_NE(bitmap->Region, nullptr);
  EXPECT_TRUE(RgnIsEmpty(*bitmap->Region));
  for (uint32_t mode : {0u, 4u, 99u}) {
    ASSERT_EQ(RgnSetRect(bitmap.get(), nullptr, &keep, 1), 1);
    EXPECT_EQ(Q_SetBitmapRgnHandle(bitmap.get(), nullptr, nullptr, mode), 1);
    EXPECT_EQ(bitmap->Region, nullptr);
  }
  // A handle that is not a region is refused and changes nothing.
  ASSERT_EQ(RgnSetRect(bitmap.get(), nullptr, &keep, 1), 1);
  const std::vector<int32_t> before = RegionSnapshot(bitmap->Region);
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  EXPECT_EQ(Q_SetBitmapRgnHandle(bitmap.get(), nullptr, reinterpret_cast<HRGN>(brush), 1), -13);
  DeleteObject(brush);
  EXPECT_EQ(RegionSnapshot(bitmap->Region), before);
}

TEST_F(ShapeRegions, ArgumentsAreCheckedInTheDocumentedOrder) {
  ShapeBitmap bitmap;
  const RECT r{0, 0, 10, 10};
  const POINT points[] = {{0, 0}, {10, 0}, {0, 10}};
  POINT bezier[7] = {};
  CurveRecord curve{36, kCurveBezierPoints, 7, bezier, 0, 0.5, 0, 0};
  BitmapRecord wrongSize = bitmap.Record;
  wrongSize.StructSize = 163;
  BitmapRecord noStorage = bitmap.Record;
  noStorage.Flags &= ~QS_FLAG_STORAGE;
  RegionHandle gdi(CreateRectRgn(0, 0, 3, 3));

  EXPECT_EQ(Q_SetBitmapRgnRoundRect(nullptr, nullptr, nullptr, 2, 2, 1), -814);
  EXPECT_EQ(Q_SetBitmapRgnRoundRect(&wrongSize, nullptr, nullptr, 2, 2, 1), -789);
  EXPECT_EQ(Q_SetBitmapRgnRoundRect(bitmap.get(), nullptr, nullptr, 2, 2, 1), -13);
  EXPECT_EQ(Q_SetBitmapRgnEllipse(nullptr, nullptr, nullptr, 1), -13);
  EXPECT_EQ(Q_SetBitmapRgnEllipse(nullptr, nullptr, &r, 1), -814);
  EXPECT_EQ(Q_SetBitmapRgnEllipse(&wrongSize, nullptr, &r, 1), -789);
  EXPECT_EQ(Q_SetBitmapRgnPolygon(nullptr, nullptr, nullptr, 3, 2, 1), -814);
  EXPECT_EQ(Q_SetBitmapRgnPolygon(&wrongSize, nullptr, nullptr, 3, 2, 1), -789);
  EXPECT_EQ(Q_SetBitmapRgnPolygon(bitmap.get(), nullptr, nullptr, 3, 0, 1), -13);
  EXPECT_EQ(Q_SetBitmapRgnPolygon(bitmap.get(), nullptr, points, 3, 2, 1), -13);
  EXPECT_EQ(Q_SetBitmapRgnPolygon(bitmap.get(), nullptr, points, -1, 0, 1), -13);
  EXPECT_EQ(Q_SetBitmapRgnCurve(nullptr, nullptr, &curve, 1), -2);
  EXPECT_EQ(Q_SetBitmapRgnCurve(&noStorage, nullptr, &curve, 1), -2);
  EXPECT_EQ(Q_SetBitmapRgnCurve(&wrongSize, nullptr, &curve, 1), -789);
  EXPECT_EQ(Q_SetBitmapRgnCurve(bitmap.get(), nullptr, nullptr, 1), -13);
  EXPECT_EQ(Q_SetBitmapRgnHandle(nullptr, nullptr, gdi.Handle, 1), -13);
  EXPECT_EQ(Q_SetBitmapRgnHandle(&wrongSize, nullptr, gdi.Handle, 1), -789);
  const struct {
    const char* reason;
    CurveRecord curve;
  } curveCases[] = {
      {"size 40", {40, 0, 7, bezier, 0, 0.5, 0, 0}},
      {"type 2", {36, 2, 7, bezier, 0, 0.5, 0, 0}},
      {"Bezier of 5 points", {36, 0, 5, bezier, 0, 0.5, 0, 0}},
      {"Bezier of 1 point", {36, 0, 1, bezier, 0, 0.5, 0, 0}},
      {"tension above 1", {36, 1, 7, bezier, 0, 1.01, 0, 0}},
      {"tension below 0", {36, 1, 7, bezier, 0, -0.01, 0, 0}},
      {"tension not a number", {36, 1, 7, bezier, 0, std::nan(""), 0, 0}},
      {"null points", {36, 0, 7, nullptr, 0, 0.5, 0, 0}},
      {"cardinal of no points", {36, 1, 0, bezier, 0, 0.5, 0, 0}},
      {"fill mode 2", {36, 0, 7, bezier, 2, 0.5, 0, 0}},
  };
  for (const auto& c : curveCases) EXPECT_EQ(Q_SetBitmapRgnCurve(bitmap.get(), nullptr, &c.curve, 1), -13) << c.reason;

  // Transforms and modes are RgnCombine's to check: the bitmap keeps its region.
  ASSERT_EQ(RgnSetRect(bitmap.get(), nullptr, &r, 1), 1);
  const std::vector<int32_t> before = RegionSnapshot(bitmap->Region);
  const RgnTransform bad{9, 1, 1, 1, 1, 0, 0};
  EXPECT_EQ(Q_SetBitmapRgnEllipse(bitmap.get(), &bad, &r, 1), -13);
  EXPECT_EQ(Q_SetBitmapRgnPolygon(bitmap.get(), nullptr, points, 3, 0, 7), -13);
  EXPECT_EQ(RegionSnapshot(bitmap->Region), before);
}

TEST_F(ShapeRegions, AllocationFailuresLeaveTheRegionAsItWas) {
  ShapeBitmap bitmap;
  const RECT existing{10, 5, 60, 40};
  const RECT oval{-20, -10, 70, 50};
  const POINT star[] = {{50, 0}, {79, 90}, {2, 35}, {98, 35}, {21, 90}};
  POINT knots[] = {{10, 10}, {200, 30}, {160, 150}, {90, 60}, {20, 170}};
  CurveRecord cardinal{36, kCurveCardinal, 5, knots, 1, 0.5, kCurveClosed, 0};
  RegionHandle comb(ShiftedComb(40, 8));
  struct Producer {
    const char* name;
    std::function<int32_t()> make;
  } producers[] = {
      {"ellipse", [&] { return Q_SetBitmapRgnEllipse(bitmap.get(), nullptr, &oval, 5); }},
      {"round rect", [&] { return Q_SetBitmapRgnRoundRect(bitmap.get(), nullptr, &oval, 15, 9, 0); }},
      {"polygon", [&] { return Q_SetBitmapRgnPolygon(bitmap.get(), nullptr, star, 5, 1, 2); }},
      {"cardinal curve", [&] { return Q_SetBitmapRgnCurve(bitmap.get(), nullptr, &cardinal, 3); }},
      {"handle", [&] { return Q_SetBitmapRgnHandle(bitmap.get(), nullptr, comb.Handle, 4); }},
  };
  for (const Producer& p : producers) {
    // The unhindered result, then every allocation failing in turn from the same start.
    ASSERT_EQ(RgnSetRect(bitmap.get(), nullptr, &existing, 1), 1);
    ASSERT_EQ(p.make(), 1) << p.name;
    const std::vector<int32_t> wanted = RegionSnapshot(bitmap->Region);
    ASSERT_EQ(RgnSetRect(bitmap.get(), nullptr, &existing, 1), 1);
    const std::vector<int32_t> before = RegionSnapshot(bitmap->Region);
    int32_t refused = 0;
    const int32_t used = ForEachAllocationFailure(p.make, [&](int32_t result, int32_t nth) {
      if (result == 1) {  // a failed trim of a finished record is harmless
        EXPECT_EQ(RegionSnapshot(bitmap->Region), wanted) << p.name << ", allocation " << nth;
        ASSERT_EQ(RgnSetRect(bitmap.get(), nullptr, &existing, 1), 1);
        return;
      }
      ++refused;
      EXPECT_EQ(result, -1) << p.name << ", allocation " << nth;
      EXPECT_EQ(RegionSnapshot(bitmap->Region), before) << p.name << ", allocation " << nth;
    });
    EXPECT_GE(refused, 3) << p.name << " makes " << used << " allocations";
  }
}
