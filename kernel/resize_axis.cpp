#include "kernel/resize_axis.h"

#include <cmath>

#include "frame/result_codes.h"
#include "qskrn.h"

namespace {
double TriangleWeight(double t) {
  t = std::fabs(t);
  return t < 1.0 ? 1.0 - t : 0.0;
}

double CubicWeight(double t) {
  constexpr double a = -0.5;
  t = std::fabs(t);
  if (t < 1.0) return ((a + 2.0) * t - (a + 3.0)) * t * t + 1.0;
  if (t < 2.0) return (((t - 5.0) * t + 8.0) * t - 4.0) * a;
  return 0.0;
}

// Weight of source pixel i for output o: the filter at the pixel centres' distance, measured in
// source pixels for enlarging and in output pixels for reducing; the area filter is the overlap
// of [i, i + 1) with the output's footprint.
struct Shape {
  ResizeFilter Filter;
  double Scale;   // source pixels per output pixel
  double Spread;  // filter stretch: max(1, Scale) except for the area filter
  double Radius;  // source pixels either side of the centre that can weigh
};

Shape ShapeFor(ResizeFilter filter, int32_t sourceLength, int32_t outputLength) {
  Shape s{filter, double(sourceLength) / outputLength, 1.0, 0.0};
  s.Spread = s.Scale > 1.0 ? s.Scale : 1.0;
  switch (filter) {
    case ResizeFilter::Triangle: s.Radius = s.Spread; break;
    case ResizeFilter::Cubic: s.Radius = 2.0 * s.Spread; break;
    case ResizeFilter::Area: s.Radius = s.Scale / 2.0 + 1.0; break;
  }
  return s;
}

double Weight(const Shape& s, int32_t o, int32_t i) {
  if (s.Filter == ResizeFilter::Area) {
    const double lo = o * s.Scale, hi = (o + 1) * s.Scale;
    const double a = i > lo ? i : lo, b = i + 1 < hi ? i + 1 : hi;
    return b > a ? b - a : 0.0;
  }
  const double centre = (o + 0.5) * s.Scale - 0.5;
  const double t = (i - centre) / s.Spread;
  return s.Filter == ResizeFilter::Triangle ? TriangleWeight(t) : CubicWeight(t);
}

int32_t Clamp(int32_t v, int32_t hi) { return v < 0 ? 0 : (v > hi ? hi : v); }
}  // namespace

int32_t BuildResizeAxis(ResizeAxis& axis, int32_t sourceLength, int32_t outputLength, ResizeFilter filter) {
  const Shape shape = ShapeFor(filter, sourceLength, outputLength);
  const int32_t span = int32_t(std::ceil(2.0 * shape.Radius)) + 2;  // positions any output can touch
  axis = ResizeAxis{};
  axis.Outputs = outputLength;
  axis.First = static_cast<int32_t*>(KrnMemAlloc(uint32_t(outputLength) * 4));
  axis.Count = static_cast<int32_t*>(KrnMemAlloc(uint32_t(outputLength) * 4));
  axis.Offset = static_cast<int32_t*>(KrnMemAlloc(uint32_t(outputLength) * 4));
  const uint64_t weightCount = uint64_t(outputLength) * uint64_t(span < sourceLength ? span : sourceLength);
  axis.Weights = weightCount > 0x3FFFFFFF ? nullptr : static_cast<float*>(KrnMemAlloc(uint32_t(weightCount) * 4));
  if (!axis.First || !axis.Count || !axis.Offset || !axis.Weights) {
    FreeResizeAxis(axis);
    return kResultNoMemory;
  }
  int32_t used = 0;
  for (int32_t o = 0; o < outputLength; ++o) {
    const double centre = (o + 0.5) * shape.Scale - 0.5;
    const int32_t from = int32_t(std::floor(centre - shape.Radius));
    const int32_t to = int32_t(std::ceil(centre + shape.Radius));
    // Fold positions outside the source onto the edges, so the run stays within the source.
    const int32_t first = Clamp(from, sourceLength - 1), last = Clamp(to, sourceLength - 1);
    float* w = axis.Weights + used;
    const int32_t count = last - first + 1;
    for (int32_t k = 0; k < count; ++k) w[k] = 0.0f;
    double total = 0.0;
    for (int32_t i = from; i <= to; ++i) {
      const double v = Weight(shape, o, i);
      if (v == 0.0) continue;
      w[Clamp(i, sourceLength - 1) - first] += float(v);
      total += v;
    }
    if (total == 0.0) {  // cannot happen for these filters; keep the nearest pixel all the same
      w[Clamp(int32_t(std::lround(centre)), sourceLength - 1) - first] = 1.0f;
      total = 1.0;
    }
    for (int32_t k = 0; k < count; ++k) w[k] = float(w[k] / total);
    // Positions of zero weight at either end need not be read at all.
    int32_t lead = 0, kept = count;
    while (kept > 1 && w[lead] == 0.0f) ++lead, --kept;
    while (kept > 1 && w[lead + kept - 1] == 0.0f) --kept;
    for (int32_t k = 0; k < kept; ++k) w[k] = w[lead + k];
    axis.First[o] = first + lead;
    axis.Count[o] = kept;
    axis.Offset[o] = used;
    used += kept;
    if (kept > axis.MaxCount) axis.MaxCount = kept;
  }
  return kResultOk;
}

void FreeResizeAxis(ResizeAxis& axis) {
  KrnMemFree(axis.First);
  KrnMemFree(axis.Count);
  KrnMemFree(axis.Offset);
  KrnMemFree(axis.Weights);
  axis = ResizeAxis{};
}
