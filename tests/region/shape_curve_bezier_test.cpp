// Q_CurveToBezier: argument checks and counts, and the Bezier output evaluated against
// independent evaluations of the cardinal, natural and periodic splines (Hermite form and the
// second-derivative form of the cubic spline, solved by plain Gaussian elimination).
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "common/kernel_fixture.h"
#include "region/curve_bezier.h"

namespace {
struct Vec {
  double x, y;
};

CurveRecord MakeCurve(uint32_t type, std::vector<POINT>& points, uint32_t closure, double tension = 0.5) {
  CurveRecord c{};
  c.Size = 36;
  c.Type = type;
  c.Count = static_cast<int32_t>(points.size());
  c.Points = points.data();
  c.Tension = tension;
  c.Closure = closure;
  return c;
}

std::vector<POINT> RandomPoints(std::mt19937& rng, int n, int range) {
  std::uniform_int_distribution<int> d(-range, range);
  std::vector<POINT> p(n);
  for (auto& q : p) q = {d(rng), d(rng)};
  return p;
}

Vec BezierAt(const POINT* b, double t) {
  const double u = 1 - t;
  const double w[4] = {u * u * u, 3 * u * u * t, 3 * u * t * t, t * t * t};
  Vec v{0, 0};
  for (int i = 0; i < 4; ++i) {
    v.x += w[i] * b[i].x;
    v.y += w[i] * b[i].y;
  }
  return v;
}

// Cardinal segment from p1 to p2 in Hermite form, tangents s * (next - previous).
Vec CardinalAt(const POINT& p0, const POINT& p1, const POINT& p2, const POINT& p3, double s, double t) {
  const double h00 = 2 * t * t * t - 3 * t * t + 1, h10 = t * t * t - 2 * t * t + t;
  const double h01 = -2 * t * t * t + 3 * t * t, h11 = t * t * t - t * t;
  return {h00 * p1.x + h10 * s * (p2.x - p0.x) + h01 * p2.x + h11 * s * (p3.x - p1.x),
          h00 * p1.y + h10 * s * (p2.y - p0.y) + h01 * p2.y + h11 * s * (p3.y - p1.y)};
}

// Dense Gaussian elimination with partial pivoting.
std::vector<double> Solve(std::vector<std::vector<double>> a, std::vector<double> b) {
  const size_t n = b.size();
  for (size_t c = 0; c < n; ++c) {
    size_t best = c;
    for (size_t r = c + 1; r < n; ++r)
      if (std::fabs(a[r][c]) > std::fabs(a[best][c])) best = r;
    std::swap(a[c], a[best]);
    std::swap(b[c], b[best]);
    for (size_t r = c + 1; r < n; ++r) {
      const double f = a[r][c] / a[c][c];
      for (size_t k = c; k < n; ++k) a[r][k] -= f * a[c][k];
      b[r] -= f * b[c];
    }
  }
  std::vector<double> x(n);
  for (size_t c = n; c-- > 0;) {
    double s = b[c];
    for (size_t k = c + 1; k < n; ++k) s -= a[c][k] * x[k];
    x[c] = s / a[c][c];
  }
  return x;
}

// Second derivatives M of the unit-spaced cubic spline: M[k-1] + 4 M[k] + M[k+1] =
// 6 (p[k+1] - 2 p[k] + p[k-1]); natural ends (M = 0) or cyclic.
std::vector<double> SecondDerivatives(const std::vector<double>& p, bool periodic) {
  const size_t n = p.size();
  std::vector<std::vector<double>> a(n, std::vector<double>(n, 0.0));
  std::vector<double> b(n, 0.0);
  for (size_t k = 0; k < n; ++k) {
    if (!periodic && (k == 0 || k == n - 1)) {
      a[k][k] = 1;
      continue;
    }
    const size_t prev = (k + n - 1) % n, next = (k + 1) % n;
    a[k][prev] += 1;
    a[k][k] += 4;
    a[k][next] += 1;
    b[k] = 6 * (p[next] - 2 * p[k] + p[prev]);
  }
  return Solve(a, b);
}

double SplineAt(double p0, double p1, double m0, double m1, double t) {
  const double u = 1 - t;
  return u * p0 + t * p1 + (u * u * u - u) * m0 / 6 + (t * t * t - t) * m1 / 6;
}

// Every output segment must trace the reference curve: with control points truncated by less
// than one, the Bezier curve stays within one unit of the exact one.
void ExpectTraces(const std::vector<POINT>& out, int segments, const std::function<Vec(int, double)>& reference) {
  ASSERT_EQ(static_cast<int>(out.size()), 1 + 3 * segments);
  for (int s = 0; s < segments; ++s) {
    for (double t : {0.0, 0.25, 0.5, 0.75, 1.0}) {
      const Vec got = BezierAt(&out[3 * s], t), want = reference(s, t);
      ASSERT_LE(std::fabs(got.x - want.x), 1.0 + 1e-9) << "segment " << s << " t " << t << " x " << got.x << " want " << want.x;
      ASSERT_LE(std::fabs(got.y - want.y), 1.0 + 1e-9) << "segment " << s << " t " << t << " y " << got.y << " want " << want.y;
    }
  }
}

std::vector<POINT> Convert(CurveRecord& c) {
  int32_t count = 0;
  EXPECT_EQ(Q_CurveToBezier(&c, &count, nullptr), 1);
  std::vector<POINT> out(count);
  EXPECT_EQ(Q_CurveToBezier(&c, &count, out.data()), 1);
  out.resize(count);
  return out;
}
}  // namespace

using CurveToBezier = KernelLeakTest;

TEST_F(CurveToBezier, ChecksArgumentsInOrder) {
  std::vector<POINT> p(5, POINT{1, 2});
  const CurveRecord good = MakeCurve(kCurveCardinal, p, kCurveOpen);
  int32_t count = 0;
  EXPECT_EQ(Q_CurveToBezier(nullptr, &count, nullptr), -13);
  EXPECT_EQ(Q_CurveToBezier(&good, nullptr, nullptr), -13);
  struct Case {
    const char* reason;
    uint32_t size, type;
    int32_t count;
    uint32_t closure;
    int32_t expected;
  } cases[] = {
      {"size before everything else", 35, 7, 0, 9, -789},
      {"closure 3", 36, kCurveCardinal, 5, 3, -13},
      {"closed, 2 points", 36, kCurveCardinal, 2, kCurveClosed, -13},
      {"through, 2 points", 36, kCurveCubicSpline, 2, kCurveThrough, -13},
      {"closed, 3 points", 36, kCurveCubicSpline, 3, kCurveClosed, 1},
      {"open cardinal, 3 points", 36, kCurveCardinal, 3, kCurveOpen, -13},
      {"open cubic spline, 3 points", 36, kCurveCubicSpline, 3, kCurveOpen, 1},
      {"type 0", 36, kCurveBezierPoints, 5, kCurveOpen, -13},
      {"type 3", 36, 3, 5, kCurveOpen, -13},
      {"open cubic spline, no points", 36, kCurveCubicSpline, 0, kCurveOpen, -13},
      {"too many points", 36, kCurveCardinal, kCurveMaxPoints + 1, kCurveOpen, -13},
  };
  for (const Case& c : cases) {
    CurveRecord curve = good;
    curve.Size = c.size;
    curve.Type = c.type;
    curve.Count = c.count;
    curve.Closure = c.closure;
    EXPECT_EQ(Q_CurveToBezier(&curve, &count, nullptr), c.expected) << c.reason;
  }
}

TEST_F(CurveToBezier, CountsAndRoomForTheOutput) {
  std::vector<POINT> p(4, POINT{0, 0});
  struct Row {
    uint32_t type, closure;
    int32_t expected;
  } rows[] = {{kCurveCardinal, kCurveOpen, 4},     {kCurveCardinal, kCurveClosed, 13},
              {kCurveCardinal, kCurveThrough, 10}, {kCurveCubicSpline, kCurveOpen, 10},
              {kCurveCubicSpline, kCurveClosed, 13}, {kCurveCubicSpline, kCurveThrough, 10}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "type " << r.type << " closure " << r.closure);
    CurveRecord c = MakeCurve(r.type, p, r.closure);
    int32_t count = -1;
    ASSERT_EQ(Q_CurveToBezier(&c, &count, nullptr), 1);
    EXPECT_EQ(count, r.expected);
    std::vector<POINT> out(count + 1, POINT{77, 77});
    int32_t room = count - 1;
    EXPECT_EQ(Q_CurveToBezier(&c, &room, out.data()), -13);
    EXPECT_EQ(room, count - 1);
    EXPECT_EQ(out[0].x, 77);
    room = count + 1;
    const int32_t result = Q_CurveToBezier(&c, &room, out.data());
    if (r.type == kCurveCubicSpline && r.closure == kCurveThrough) {
      EXPECT_EQ(result, -13);  // counted, but there is no such spline
    } else {
      EXPECT_EQ(result, 1);
      EXPECT_EQ(room, count);
      EXPECT_EQ(out[count].x, 77) << "wrote past the points it reported";
    }
  }
  CurveRecord c = MakeCurve(kCurveCardinal, p, kCurveOpen);
  c.Points = nullptr;
  int32_t room = 10;
  POINT out[10];
  EXPECT_EQ(Q_CurveToBezier(&c, &room, out), -13);
}

TEST_F(CurveToBezier, CardinalFollowsTheHermiteCurveForEveryClosure) {
  std::mt19937 rng(1234);
  for (int trial = 0; trial < 60; ++trial) {
    const int n = 3 + trial % 9;
    std::vector<POINT> p = RandomPoints(rng, n, 100000);
    const double s = (trial % 5) / 4.0;
    for (uint32_t closure : {kCurveOpen, kCurveClosed, kCurveThrough}) {
      if (closure == kCurveOpen && n < 4) continue;
      SCOPED_TRACE(testing::Message() << "n " << n << " tension " << s << " closure " << closure);
      CurveRecord c = MakeCurve(kCurveCardinal, p, closure, s);
      const std::vector<POINT> out = Convert(c);
      // First knot of each closure's first segment, and the segments that follow it.
      const int start = closure == kCurveThrough ? 0 : 1;
      const int segments = closure == kCurveOpen ? n - 3 : (closure == kCurveClosed ? n : n - 1);
      auto at = [&](int k) { return p[((k % n) + n) % n]; };
      ExpectTraces(out, segments, [&](int seg, double t) {
        const int k = start + seg;
        return CardinalAt(at(k - 1), at(k), at(k + 1), at(k + 2), s, t);
      });
      // The curve passes exactly through its knots.
      for (int seg = 0; seg <= segments; ++seg) {
        EXPECT_EQ(out[3 * seg].x, at(start + seg).x);
        EXPECT_EQ(out[3 * seg].y, at(start + seg).y);
      }
    }
  }
}

TEST_F(CurveToBezier, CubicSplinesFollowTheSecondDerivativeForm) {
  std::mt19937 rng(99);
  for (int trial = 0; trial < 60; ++trial) {
    const int n = 1 + trial % 12;
    std::vector<POINT> p = RandomPoints(rng, n, 100000);
    for (uint32_t closure : {kCurveOpen, kCurveClosed}) {
      if (closure == kCurveClosed && n < 3) continue;
      SCOPED_TRACE(testing::Message() << "n " << n << " closure " << closure);
      const bool periodic = closure == kCurveClosed;
      std::vector<double> xs, ys;
      for (const POINT& q : p) {
        xs.push_back(q.x);
        ys.push_back(q.y);
      }
      const std::vector<double> mx = n > 1 ? SecondDerivatives(xs, periodic) : std::vector<double>{0};
      const std::vector<double> my = n > 1 ? SecondDerivatives(ys, periodic) : std::vector<double>{0};
      CurveRecord c = MakeCurve(kCurveCubicSpline, p, closure);
      const std::vector<POINT> out = Convert(c);
      EXPECT_EQ(out[0].x, p[0].x);
      EXPECT_EQ(out[0].y, p[0].y);
      ExpectTraces(out, periodic ? n : n - 1, [&](int k, double t) {
        const int j = (k + 1) % n;
        return Vec{SplineAt(xs[k], xs[j], mx[k], mx[j], t), SplineAt(ys[k], ys[j], my[k], my[j], t)};
      });
    }
  }
}

TEST_F(CurveToBezier, WorkMemoryFailureLeavesTheCountAndLeaksNothing) {
  std::vector<POINT> p = {{0, 0}, {10, 40}, {50, 20}, {90, 70}};
  for (uint32_t closure : {kCurveOpen, kCurveClosed}) {
    CurveRecord c = MakeCurve(kCurveCubicSpline, p, closure);
    std::vector<POINT> out(13);
    int32_t count = 13;
    const int32_t used = ForEachAllocationFailure([&] { return Q_CurveToBezier(&c, &count, out.data()); },
                                                  [&](int32_t result, int32_t nth) {
                                                    EXPECT_EQ(result, -1) << "allocation " << nth;
                                                    EXPECT_EQ(count, 13);
                                                  });
    EXPECT_EQ(used, 2);
  }
}
