// The region pairs the region benchmarks time, as rows of segments, and their records.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "region/rgn_builder.h"

// Rows of [start, end) values from line Top down.
struct ShapeRows {
  int32_t Top = 0;
  std::vector<std::vector<int32_t>> Rows;
};

inline ShapeRows EllipseRows(double cx, double cy, double rx, double ry) {
  ShapeRows s;
  s.Top = int32_t(std::floor(cy - ry));
  for (int32_t y = s.Top; y < int32_t(std::ceil(cy + ry)); ++y) {
    const double dy = (y + 0.5 - cy) / ry;
    std::vector<int32_t> row;
    if (dy * dy < 1.0) {
      const double half = rx * std::sqrt(1.0 - dy * dy);
      const int32_t start = int32_t(std::lround(cx - half)), end = int32_t(std::lround(cx + half));
      if (start < end) row = {start, end};
    }
    s.Rows.push_back(row);
  }
  return s;
}

// 64 teeth of width 20 every 40 pixels from `offset`; odd rows moved right by `oddShift`.
inline ShapeRows CombRows(int32_t rows, int32_t offset, int32_t oddShift) {
  ShapeRows s;
  for (int32_t y = 0; y < rows; ++y) {
    std::vector<int32_t> row;
    const int32_t shift = offset + (y % 2 ? oddShift : 0);
    for (int32_t k = 0; k < 64; ++k) {
      row.push_back(shift + 40 * k);
      row.push_back(shift + 40 * k + 20);
    }
    s.Rows.push_back(row);
  }
  return s;
}

struct ShapePair {
  std::string Name;
  ShapeRows A, B;  // A is the bitmap's region, B the new one
};

// The three pairs of the comparison: overlapping ellipses 4000 pixels tall, combs whose
// neighbouring rows all differ, and the same combs unshifted.
inline std::vector<ShapePair> BenchShapePairs() {
  return {
      {"ellipses", EllipseRows(2000, 2000, 1900, 2000), EllipseRows(2600, 2300, 1700, 1900)},
      {"shifted-combs", CombRows(4000, 0, 5), CombRows(4000, 10, 5)},
      {"combs", CombRows(4000, 0, 0), CombRows(4000, 10, 0)},
  };
}

inline RgnRecord* RecordFromRows(const ShapeRows& s) {
  int32_t left = INT32_MAX, right = INT32_MIN;
  for (const auto& row : s.Rows)
    if (!row.empty()) {
      left = std::min(left, row.front());
      right = std::max(right, row.back());
    }
  RgnBuilder b;
  if (RgnBegin(b, RECT{left, s.Top, right, s.Top + int32_t(s.Rows.size())}) != 1) return nullptr;
  for (const auto& row : s.Rows) {
    for (size_t k = 0; k < row.size(); k += 2) RgnAppend(b, row[k], row[k + 1]);
    if (RgnEndRow(b) != 1) return nullptr;
  }
  RgnFinish(b);
  return b.Record;
}

// Times in microseconds: the median of a run of samples.
inline double MedianMicros(std::vector<double> samples) {
  if (samples.empty()) return 0;
  std::nth_element(samples.begin(), samples.begin() + samples.size() / 2, samples.end());
  return samples[samples.size() / 2];
}
