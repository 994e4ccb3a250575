#include <memory>

#include "qskrn.h"
#include "region/curve_bezier.h"

namespace {
struct MemFree {
  void operator()(double* block) const { KrnMemFree(block); }
};
using WorkArray = std::unique_ptr<double, MemFree>;

// Solves the tridiagonal system with ones beside the diagonal: x[k-1] + diag[k] x[k] + x[k+1] =
// rhs[k], k = 0..n-1 (x[-1] = x[n] = 0). scratch holds n values.
void SolveTridiagonal(const double* diag, const double* rhs, double* x, double* scratch, int32_t n) {
  if (n <= 0) return;
  double pivot = diag[0];
  x[0] = rhs[0] / pivot;
  for (int32_t k = 1; k < n; ++k) {
    scratch[k] = 1.0 / pivot;
    pivot = diag[k] - scratch[k];
    x[k] = (rhs[k] - x[k - 1]) / pivot;
  }
  for (int32_t k = n - 2; k >= 0; --k) x[k] -= scratch[k + 1] * x[k + 1];
}

double Coord(const POINT& p, int axis) { return axis == 0 ? p.x : p.y; }

// One segment's cubic q0 + q1 t + q2 t^2 + q3 t^3 as its three Bezier points after the start.
void StoreSegment(const double (&q)[2][4], POINT* out) {
  double b[3][2];
  for (int axis = 0; axis < 2; ++axis) {
    const double* c = q[axis];
    b[0][axis] = c[0] + c[1] / 3.0;
    b[1][axis] = c[0] + (2.0 * c[1] + c[2]) / 3.0;
    b[2][axis] = c[0] + c[1] + c[2] + c[3];
  }
  for (int i = 0; i < 3; ++i) out[i] = {TruncateCoordinate(b[i][0]), TruncateCoordinate(b[i][1])};
}

// Natural spline: g = half the second derivative at each knot, 0 at both ends.
void NaturalSpline(const POINT* p, int32_t n, double* work, double* rhs, POINT* out) {
  const int32_t inner = n - 2;
  double* diag = work;
  double* scratch = work + n;
  double* g[2] = {rhs + 2 * n, rhs + 3 * n};
  for (int32_t k = 0; k < inner; ++k) diag[k] = 4.0;
  for (int axis = 0; axis < 2; ++axis) {
    g[axis][0] = 0.0;
    g[axis][n - 1] = 0.0;
    for (int32_t k = 1; k <= inner; ++k)
      rhs[k - 1] = 3.0 * (Coord(p[k + 1], axis) - 2.0 * Coord(p[k], axis) + Coord(p[k - 1], axis));
    SolveTridiagonal(diag, rhs, g[axis] + 1, scratch, inner);
  }
  for (int32_t k = 0; k + 1 < n; ++k) {
    double q[2][4];
    for (int axis = 0; axis < 2; ++axis) {
      const double p0 = Coord(p[k], axis), p1 = Coord(p[k + 1], axis);
      const double g0 = g[axis][k], g1 = g[axis][k + 1];
      q[axis][0] = p0;
      q[axis][1] = (p1 - p0) - (2.0 * g0 + g1) / 3.0;
      q[axis][2] = g0;
      q[axis][3] = (g1 - g0) / 3.0;
    }
    StoreSegment(q, out + 1 + 3 * k);
  }
}

// Periodic spline: first derivatives D from the cyclic system, solved as a tridiagonal system
// plus a rank-one correction for the two corner ones.
void PeriodicSpline(const POINT* p, int32_t n, double* work, double* rhs, POINT* out) {
  double* diag = work;
  double* scratch = work + n;
  double* z = work + 2 * n;
  double* d[2] = {rhs + 2 * n, rhs + 3 * n};
  const double gamma = -4.0;
  for (int32_t k = 0; k < n; ++k) diag[k] = 4.0;
  diag[0] = 4.0 - gamma;
  diag[n - 1] = 4.0 - 1.0 / gamma;
  double* u = work + 3 * n;
  for (int32_t k = 0; k < n; ++k) u[k] = 0.0;
  u[0] = gamma;
  u[n - 1] = 1.0;
  SolveTridiagonal(diag, u, z, scratch, n);
  const double zDenominator = 1.0 + z[0] + z[n - 1] / gamma;
  for (int axis = 0; axis < 2; ++axis) {
    for (int32_t k = 0; k < n; ++k)
      rhs[k] = 3.0 * (Coord(p[(k + 1) % n], axis) - Coord(p[(k + n - 1) % n], axis));
    double* x = d[axis];
    SolveTridiagonal(diag, rhs, x, scratch, n);
    const double factor = (x[0] + x[n - 1] / gamma) / zDenominator;
    for (int32_t k = 0; k < n; ++k) x[k] -= factor * z[k];
  }
  for (int32_t k = 0; k < n; ++k) {
    const int32_t next = (k + 1) % n;
    double q[2][4];
    for (int axis = 0; axis < 2; ++axis) {
      const double p0 = Coord(p[k], axis), p1 = Coord(p[next], axis);
      const double d0 = d[axis][k], d1 = d[axis][next];
      q[axis][0] = p0;
      q[axis][1] = d0;
      q[axis][2] = 3.0 * (p1 - p0) - 2.0 * d0 - d1;
      q[axis][3] = 2.0 * (p0 - p1) + d0 + d1;
    }
    StoreSegment(q, out + 1 + 3 * k);
  }
}
}  // namespace

int32_t CubicSplineToBezier(const POINT* p, int32_t n, uint32_t closure, POINT* out, int32_t* written) {
  if (closure != kCurveOpen && closure != kCurveClosed) return -13;
  // Two work arrays of four values a point: the solver's diagonal, scratch, correction and its
  // right side; and the right side, a spare and the two solutions (x and y).
  const uint32_t bytes = static_cast<uint32_t>(n) * 32u;
  WorkArray work(static_cast<double*>(KrnMemAlloc(bytes)));
  if (!work) return -1;
  WorkArray rhs(static_cast<double*>(KrnMemAlloc(bytes)));
  if (!rhs) return -1;
  out[0] = p[0];
  if (closure == kCurveOpen) {
    NaturalSpline(p, n, work.get(), rhs.get(), out);
    *written = 3 * n - 2;
  } else {
    PeriodicSpline(p, n, work.get(), rhs.get(), out);
    *written = 3 * n + 1;
  }
  return 1;
}
