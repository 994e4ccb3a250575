#include "color/window_ramps.h"

#include <cmath>

namespace {
int32_t Channel(uint32_t colour, int index) { return int32_t((colour >> (8 * index)) & 0xFF); }

// The table entry of red, green and blue values (each kept modulo 256).
uint32_t Entry(int32_t red, int32_t green, int32_t blue) {
  return (uint32_t(red) & 0xFF) << 16 | (uint32_t(green) & 0xFF) << 8 | (uint32_t(blue) & 0xFF);
}

uint32_t EntryOf(uint32_t colour) { return Entry(Channel(colour, 0), Channel(colour, 1), Channel(colour, 2)); }

// Signed tables hold -(length / 2) .. (length - 1) / 2, unsigned ones 0 .. length - 1.
void Put(const WindowTable& table, int64_t value, uint32_t entry) {
  const int64_t n = table.Length;
  const bool inside = table.Signed ? value >= -(n / 2) && value <= (n - 1) / 2 : value >= 0 && value < n;
  if (inside) table.Entries[value < 0 ? value + n : value] = entry;
}

// The share of the way from p to q at step k of m along a curved ramp, 0 at k = 0.
double CurveShare(const RampShape& shape, int32_t p, int32_t q, int64_t k, int64_t m) {
  const double a = shape.Steepness, t = double(k) / double(m);
  switch (shape.Kind) {
    case kRampExponential:
      return (std::exp(a * t) - 1.0) / (std::exp(a) - 1.0);
    case kRampLogarithmic:
      return std::log(1.0 + a * t) / std::log(1.0 + a);
    default: {  // sigmoid about the middle of the ramp
      const double centre = (double(p) + double(q)) / 2.0;
      auto s = [&](double i) { return 1.0 / (1.0 + std::exp(2.0 * a * (i - centre) / double(m))); };
      return (s(double(p) + double(k)) - s(p)) / (s(q) - s(p));
    }
  }
}
}  // namespace

void FillSpan(const WindowTable& table, int32_t first, int32_t last, uint32_t colour) {
  const uint32_t entry = EntryOf(colour);
  for (int64_t v = first; v <= last; ++v) Put(table, v, entry);
}

void FillRamp(const WindowTable& table, int32_t p, int32_t q, uint32_t a, uint32_t b, const RampShape& shape) {
  const int64_t m = int64_t(q) - p;
  if (m == 0) {
    Put(table, p, EntryOf(shape.Kind == kRampLinear ? a : b));
    return;
  }
  int32_t from[3], delta[3];
  for (int c = 0; c < 3; ++c) from[c] = Channel(a, c), delta[c] = Channel(b, c) - Channel(a, c);
  for (int64_t k = 0; k < m; ++k) {
    int32_t v[3];
    if (shape.Kind == kRampLinear) {
      for (int c = 0; c < 3; ++c) v[c] = from[c] + int32_t(k * delta[c] / m);
    } else {
      const double share = CurveShare(shape, p, q, k, m);
      for (int c = 0; c < 3; ++c) v[c] = from[c] + int32_t(std::trunc(delta[c] * share));
    }
    Put(table, p + k, Entry(v[0], v[1], v[2]));
  }
  Put(table, q, EntryOf(b));
}
