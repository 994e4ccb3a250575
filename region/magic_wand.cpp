// The magic wand and the border fill: the 4-connected area around a seed pixel whose colours lie
// within tolerances of the seed's colour (and, for the border fill, share no channel with the
// border colour). The pixels that qualify are marked first in one bit plane; a scanline seed
// fill then marks the connected ones in a second plane, which becomes the new region.
#include <algorithm>

#include "frame/bitmap_checks.h"
#include "qsdisp.h"
#include "region/color_pixels.h"
#include "region/color_scan.h"
#include "region/rgn_combine.h"

namespace {

// One bit per pixel, most significant bit first; zero-filled.
struct BitPlane {
  uint8_t* Bits = nullptr;
  uint32_t Stride = 0;
  explicit BitPlane(const BitmapRecord& bitmap) : Stride((uint32_t(bitmap.Width) + 7) / 8) {
    Bits = static_cast<uint8_t*>(KrnMemAllocEx(std::max<uint32_t>(Stride * uint32_t(bitmap.Height), 1), 1));
  }
  ~BitPlane() { KrnMemFree(Bits); }
  BitPlane(const BitPlane&) = delete;
  BitPlane& operator=(const BitPlane&) = delete;
  uint8_t* Row(int32_t y) const { return Bits + size_t(y) * Stride; }
  bool Get(int32_t x, int32_t y) const { return (Row(y)[x >> 3] >> (7 - (x & 7))) & 1; }
  void Set(int32_t x, int32_t y) const { Row(y)[x >> 3] |= uint8_t(0x80 >> (x & 7)); }
  void Clear(int32_t x, int32_t y) const { Row(y)[x >> 3] &= uint8_t(~(0x80 >> (x & 7))); }
};

struct WandTest {
  Channels Low, High;
  bool HasBorder;
  Channels Border;
  bool operator()(const Channels& c) const {
    if (c.Red < Low.Red || c.Red > High.Red || c.Green < Low.Green || c.Green > High.Green || c.Blue < Low.Blue ||
        c.Blue > High.Blue)
      return false;
    // One channel equal to the border's is enough to stop the fill.
    return !HasBorder || (c.Red != Border.Red && c.Green != Border.Green && c.Blue != Border.Blue);
  }
};

// Pending runs of the seed fill: a run of columns on a row, and the side the fill came from.
struct FillEntry {
  int32_t Row, Left, Right, Down;  // Down 1: the next row to look at is below; 0: above
};

constexpr uint32_t kStackStep = 32768;  // entries added whenever the stack is full

class FillStack {
 public:
  FillStack() : entries_(static_cast<FillEntry*>(KrnMemAlloc(kStackStep * sizeof(FillEntry)))), capacity_(kStackStep) {}
  ~FillStack() { KrnMemFree(entries_); }
  FillStack(const FillStack&) = delete;
  FillStack& operator=(const FillStack&) = delete;
  bool Ready() const { return entries_ != nullptr; }
  bool Empty() const { return size_ == 0; }
  FillEntry Pop() { return entries_[--size_]; }
  // False when the stack could not grow.
  bool Push(const FillEntry& e) {
    if (size_ == capacity_) {
      void* grown = KrnMemRealloc(entries_, (capacity_ + kStackStep) * uint32_t(sizeof(FillEntry)));
      if (grown == nullptr) return false;
      entries_ = static_cast<FillEntry*>(grown);
      capacity_ += kStackStep;
    }
    entries_[size_++] = e;
    return true;
  }

 private:
  FillEntry* entries_;
  uint32_t capacity_;
  uint32_t size_ = 0;
};

// Marks in `filled` the 4-connected area of `open` pixels around (x, y), clearing them in
// `open` as it goes. Whole runs are filled at once; each run pushes the row it continues into
// and, where it reaches past the run it came from, the row it came from.
int32_t SeedFill(const BitPlane& open, const BitPlane& filled, int32_t width, int32_t height, int32_t x, int32_t y) {
  FillStack stack;
  if (!stack.Ready()) return kResultNoMemory;
  if (!open.Get(x, y)) return kResultOk;  // a seed on the border fills nothing
  bool ok = stack.Push({y, x, x, 1});
  if (y > 0) ok = ok && stack.Push({y - 1, x, x, 0});
  auto pushNext = [&](int32_t row, int32_t left, int32_t right, int32_t down) {
    const int32_t next = down ? row + 1 : row - 1;
    if (next >= 0 && next < height) ok = ok && stack.Push({next, left, right, down});
  };
  while (ok && !stack.Empty()) {
    const FillEntry e = stack.Pop();
    int32_t l = e.Left;
    if (open.Get(l, e.Row)) {
      while (l > 0 && open.Get(l - 1, e.Row)) --l;
      if (l < e.Left) pushNext(e.Row, l, e.Left - 1, 1 - e.Down);  // leaked past the left end
    } else {
      ++l;
      while (l <= e.Right && !open.Get(l, e.Row)) ++l;
      if (l > e.Right) continue;
    }
    while (true) {
      int32_t r = l;
      while (r + 1 < width && open.Get(r + 1, e.Row)) ++r;
      for (int32_t c = l; c <= r; ++c) {
        open.Clear(c, e.Row);
        filled.Set(c, e.Row);
      }
      pushNext(e.Row, l, r, e.Down);
      if (r > e.Right) pushNext(e.Row, e.Right + 1, r, 1 - e.Down);  // leaked past the right end
      l = r + 1;
      while (l <= e.Right && !open.Get(l, e.Row)) ++l;
      if (l > e.Right) break;
    }
  }
  return ok ? kResultOk : kResultNoMemory;
}

// The region of the set bits of a plane.
int32_t RegionOfPlane(const BitPlane& plane, int32_t width, int32_t height, RgnRecord** out) {
  RgnBuilder builder;
  if (RgnBegin(builder, RECT{0, 0, width, height}) != kResultOk) return kResultNoMemory;
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* row = plane.Row(y);
    int32_t x = 0;
    while (x < width) {
      // Whole bytes of clear or set bits are passed at once; bits past the width are never set.
      while (x < width && !plane.Get(x, y)) x += (x & 7) == 0 && row[x >> 3] == 0 ? 8 : 1;
      if (x >= width) break;
      const int32_t start = x;
      while (x < width && plane.Get(x, y)) x += (x & 7) == 0 && row[x >> 3] == 0xFF ? 8 : 1;
      RgnAppend(builder, start, x);
    }
    if (RgnEndRow(builder) != kResultOk) return kResultNoMemory;
  }
  RgnFinish(builder);
  *out = builder.Record;
  return kResultOk;
}

int32_t Fill(BitmapRecord* bitmap, int32_t x, int32_t y, const uint32_t* border, uint32_t lowerTolerance,
             uint32_t upperTolerance, uint32_t mode) {
  int32_t code = CheckRegionBitmap(bitmap, true);
  if (code != kResultOk) return code;
  if (bitmap->Flags & QS_FLAG_NO_SCAN) return kResultNoScan;
  const int32_t width = bitmap->Width, height = bitmap->Height;
  if (x < 0 || y < 0 || x >= width || y >= height) return kResultBadArgument;

  PixelRows rows;
  code = OpenPixelRows(rows, *bitmap);
  if (code != kResultOk) return code;
  struct Closer {
    PixelRows& Rows;
    ~Closer() { ClosePixelRows(Rows); }
  } closer{rows};

  Channels seed{};
  {
    MemBlock seedRow(uint32_t(width) * uint32_t(sizeof(Channels)));
    if (seedRow.Block == nullptr) return kResultNoMemory;
    code = ReadChannelRow(rows, y, static_cast<Channels*>(seedRow.Block));
    if (code != kResultOk) return code;
    seed = static_cast<Channels*>(seedRow.Block)[x];
  }
  Channels lower = DecodeColor(rows, lowerTolerance), upper = DecodeColor(rows, upperTolerance);
  if (bitmap->Order == 2) {  // grey data: the smallest channel of each tolerance serves for all
    const int32_t lo = std::min({lower.Red, lower.Green, lower.Blue}), hi = std::min({upper.Red, upper.Green, upper.Blue});
    lower = {lo, lo, lo};
    upper = {hi, hi, hi};
  }
  const int32_t top = rows.Maximum;
  const WandTest test{{std::max(0, seed.Red - lower.Red), std::max(0, seed.Green - lower.Green),
                       std::max(0, seed.Blue - lower.Blue)},
                      {std::min(top, seed.Red + upper.Red), std::min(top, seed.Green + upper.Green),
                       std::min(top, seed.Blue + upper.Blue)},
                      border != nullptr,
                      border != nullptr ? DecodeColor(rows, *border) : Channels{}};

  BitPlane open(*bitmap);
  if (open.Bits == nullptr) return kResultNoMemory;
  BitPlane filled(*bitmap);
  if (filled.Bits == nullptr) return kResultNoMemory;
  code = ClassifyRows(rows, test, nullptr, [&](int32_t row, const uint8_t* pass) {
    for (int32_t c = 0; c < width; ++c)
      if (pass[c]) open.Set(c, row);
    return kResultOk;
  });
  if (code != kResultOk) return code;
  code = SeedFill(open, filled, width, height, x, y);
  if (code != kResultOk) return code;
  RgnRecord* region = nullptr;
  code = RegionOfPlane(filled, width, height, &region);
  if (code != kResultOk) return code;
  return RgnCombine(bitmap, nullptr, region, mode);
}

}  // namespace

int32_t QSAPI Q_SetBitmapRgnMagicWand(BitmapRecord* bitmap, int32_t x, int32_t y, uint32_t lowerTolerance,
                                      uint32_t upperTolerance, uint32_t mode) {
  return Fill(bitmap, x, y, nullptr, lowerTolerance, upperTolerance, mode);
}

int32_t QSAPI Q_SetBitmapRgnBorder(BitmapRecord* bitmap, int32_t x, int32_t y, uint32_t border,
                                   uint32_t lowerTolerance, uint32_t upperTolerance, uint32_t mode) {
  return Fill(bitmap, x, y, &border, lowerTolerance, upperTolerance, mode);
}
