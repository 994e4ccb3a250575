// A plain boolean-mask model of regions for the region tests: shapes rasterised pixel by
// pixel, the combine modes as per-pixel logic, transforms as per-pixel maps. It is the oracle
// the region records are compared with.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "common/kernel_fixture.h"
#include "qskrn.h"
#include "region/rgn_builder.h"
#include "region/rgn_record.h"
#include "region/rgn_region_data.h"
#include "region/rgn_validate.h"

// Pixels of the square window [kLo, kHi) x [kLo, kHi); everything outside is empty.
struct Mask {
  static constexpr int32_t kLo = -96, kHi = 160, kSide = kHi - kLo;
  std::vector<uint8_t> Bits = std::vector<uint8_t>(size_t(kSide) * kSide, 0);

  static bool Inside(int32_t x, int32_t y) { return x >= kLo && x < kHi && y >= kLo && y < kHi; }
  bool Get(int32_t x, int32_t y) const { return Inside(x, y) && Bits[size_t(y - kLo) * kSide + size_t(x - kLo)]; }
  void Set(int32_t x, int32_t y, bool on = true) {
    if (!Inside(x, y)) {
      ADD_FAILURE() << "model pixel (" << x << ", " << y << ") outside the window";
      return;
    }
    Bits[size_t(y - kLo) * kSide + size_t(x - kLo)] = on ? 1 : 0;
  }
  void FillRect(const RECT& r) {
    for (int32_t y = r.top; y < r.bottom; ++y)
      for (int32_t x = r.left; x < r.right; ++x) Set(x, y);
  }
  bool operator==(const Mask& other) const { return Bits == other.Bits; }
  template <typename F>
  void ForEach(F visit) const {
    for (int32_t y = kLo; y < kHi; ++y)
      for (int32_t x = kLo; x < kHi; ++x)
        if (Get(x, y)) visit(x, y);
  }
};

// Pixel centres inside the ellipse inscribed in r.
inline Mask EllipseMask(const RECT& r) {
  Mask m;
  const double cx = (r.left + r.right) / 2.0, cy = (r.top + r.bottom) / 2.0;
  const double rx = (r.right - r.left) / 2.0, ry = (r.bottom - r.top) / 2.0;
  for (int32_t y = r.top; y < r.bottom; ++y)
    for (int32_t x = r.left; x < r.right; ++x) {
      const double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
      if (dx * dx + dy * dy <= 1.0) m.Set(x, y);
    }
  return m;
}

// Pixel centres inside the polygon by the even-odd rule.
inline Mask PolygonMask(const std::vector<POINT>& p) {
  Mask m;
  RECT box{Mask::kHi, Mask::kHi, Mask::kLo, Mask::kLo};
  for (const POINT& q : p)
    box = RECT{std::min<int32_t>(box.left, q.x), std::min<int32_t>(box.top, q.y), std::max<int32_t>(box.right, q.x),
               std::max<int32_t>(box.bottom, q.y)};
  for (int32_t y = box.top; y < box.bottom; ++y)
    for (int32_t x = box.left; x < box.right; ++x) {
      const double px = x + 0.5, py = y + 0.5;
      bool in = false;
      for (size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) {
        if ((p[i].y > py) != (p[j].y > py) &&
            px < double(p[j].x - p[i].x) * (py - p[i].y) / double(p[j].y - p[i].y) + p[i].x)
          in = !in;
      }
      if (in) m.Set(x, y);
    }
  return m;
}

// A region record with exactly the mask's pixels, built row by row. With piece >= 2 every run
// is cut into touching segments of that many pixels.
inline RgnRecord* RegionFromMask(const Mask& m, int32_t piece = 0) {
  RgnBuilder b;
  if (RgnBegin(b, RECT{Mask::kLo, Mask::kLo, Mask::kHi, Mask::kHi}) != 1) return nullptr;
  for (int32_t y = Mask::kLo; y < Mask::kHi; ++y) {
    for (int32_t x = Mask::kLo; x < Mask::kHi;) {
      if (!m.Get(x, y)) {
        ++x;
        continue;
      }
      const int32_t start = x;
      while (x < Mask::kHi && m.Get(x, y)) ++x;
      for (int32_t from = start; from < x; from += piece >= 2 ? piece : x - start)
        RgnAppend(b, from, piece >= 2 && from + piece < x ? from + piece : x);
    }
    if (RgnEndRow(b) != 1) return nullptr;
  }
  RgnFinish(b);
  return b.Record;
}

// The record's pixels as a mask; fails the test when the record is malformed or leaves the window.
inline Mask MaskFromRegion(const RgnRecord& r) {
  Mask m;
  EXPECT_TRUE(RgnIsWellFormed(r));
  if (RgnIsEmpty(r)) return m;
  EXPECT_TRUE(Mask::Inside(r.Bounds.left, r.Bounds.top) && Mask::Inside(r.Bounds.right - 1, r.Bounds.bottom - 1));
  for (int32_t y = r.Bounds.top; y < r.Bounds.bottom; ++y) {
    const RgnRow& row = *RgnRowOf(r, y);
    const int32_t* v = RgnRowValues(r, row);
    for (int32_t k = 0; k < row.Count; k += 2) m.FillRect(RECT{v[k], y, v[k + 1], y + 1});
  }
  return m;
}

// "" when the record holds exactly the mask's pixels, else the first pixel that differs.
inline std::string MaskDiff(const Mask& expected, const RgnRecord& r) {
  const Mask got = MaskFromRegion(r);
  for (int32_t y = Mask::kLo; y < Mask::kHi; ++y)
    for (int32_t x = Mask::kLo; x < Mask::kHi; ++x)
      if (expected.Get(x, y) != got.Get(x, y))
        return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + "): expected " +
               std::to_string(expected.Get(x, y)) + ", got " + std::to_string(got.Get(x, y));
  return "";
}

// Pixel membership of a record anywhere in the plane.
inline bool RgnContains(const RgnRecord& r, int32_t x, int32_t y) {
  const RgnRow* row = RgnRowOf(r, y);
  if (row == nullptr) return false;
  const int32_t* v = RgnRowValues(r, *row);
  for (int32_t i = 0; i < row->Count; i += 2)
    if (v[i] <= x && x < v[i + 1]) return true;
  return false;
}

inline std::vector<int32_t> Edges(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

// A region-data block: the 32-byte header, then the rectangles.
inline std::vector<uint8_t> RegionDataBlock(const std::vector<RECT>& rects, uint32_t size = 32, uint32_t type = 1) {
  std::vector<uint8_t> block(32 + rects.size() * sizeof(RECT));
  const RgnDataHeader header{size, type, uint32_t(rects.size()), uint32_t(rects.size() * sizeof(RECT)), {}};
  std::memcpy(block.data(), &header, sizeof header);
  if (!rects.empty()) std::memcpy(block.data() + 32, rects.data(), rects.size() * sizeof(RECT));
  return block;
}

// Bounds and every line's values: enough to tell whether a record changed.
inline std::vector<int32_t> RegionSnapshot(const RgnRecord* r) {
  if (r == nullptr) return {-1};
  std::vector<int32_t> s = {r->Bounds.left, r->Bounds.top, r->Bounds.right, r->Bounds.bottom};
  for (int32_t i = 0; i < RgnRowCount(*r); ++i) {
    const RgnRow& row = r->RowTable[i];
    s.push_back(row.Count);
    const int32_t* v = RgnRowValues(*r, row);
    s.insert(s.end(), v, v + row.Count);
  }
  return s;
}

// The documented upward rounding of a scaled coordinate.
inline int32_t ModelUp(int32_t v, int32_t num, int32_t den) {
  return int32_t((int64_t(v) * num + den - 1) / den);
}

// Random rectangles, ellipses and polygons within about (-8, -8) .. (54, 54), so that offsets,
// scales up to 2 and turns within frames of up to 45 pixels stay inside the mask window.
struct ShapeSource {
  std::mt19937 Rng;
  explicit ShapeSource(uint32_t seed) : Rng(seed) {}
  int32_t Uniform(int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(Rng); }
  RECT Box() {
    const int32_t l = Uniform(-8, 30), t = Uniform(-8, 30);
    return RECT{l, t, l + Uniform(1, 24), t + Uniform(1, 24)};
  }
  Mask Next() {
    switch (Uniform(0, 2)) {
      case 0: {
        Mask m;
        m.FillRect(Box());
        return m;
      }
      case 1:
        return EllipseMask(Box());
      default: {
        std::vector<POINT> p(size_t(Uniform(3, 7)));
        for (POINT& q : p) q = POINT{Uniform(-8, 50), Uniform(-8, 50)};
        return PolygonMask(p);
      }
    }
  }
};

// Kernel blocks owned by a record (record, row table, segments).
inline int32_t RegionBlocks(const RgnRecord* r) {
  return r == nullptr ? 0 : 1 + (r->RowTable != nullptr) + (r->Segments != nullptr);
}

// A bitmap record without pixels for region operations: its size, whether its regions are cut
// to it, and a region made from a mask when one is given.
struct RegionBitmap : TestBitmap {
  explicit RegionBitmap(int32_t width = 20, int32_t height = 10, bool clips = true, const Mask* m = nullptr) {
    Record.Width = width;
    Record.Height = height;
    Record.Orientation = 1;
    Record.Flags = clips ? 0 : QS_FLAG_RGN_UNCLIPPED;
    if (m != nullptr) Record.Region = RegionFromMask(*m);
  }
};
