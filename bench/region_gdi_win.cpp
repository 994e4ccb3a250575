// RgnCombine beside GDI's CombineRgn on the same region pairs, in one process (run under Wine):
// modes 0, 2, 4, 5 as RGN_AND, RGN_DIFF, RGN_OR, RGN_XOR. Prints median microseconds and the
// ratio RgnCombine / CombineRgn (target: at most 0.5 on the ellipses and the shifted combs).
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "bench/region_shapes.h"
#include "qsdisp.h"
#include "region/rgn_combine.h"
#include "region/rgn_record.h"

namespace {
double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return double(t.QuadPart) * 1e6 / double(frequency.QuadPart);
}

// One region of up to `rowsPerPiece` rows straight from its rectangles.
HRGN PieceRegion(const ShapeRows& s, size_t first, size_t last) {
  std::vector<RECT> rects;
  for (size_t i = first; i < last; ++i)
    for (size_t k = 0; k < s.Rows[i].size(); k += 2)
      rects.push_back(RECT{s.Rows[i][k], s.Top + LONG(i), s.Rows[i][k + 1], s.Top + LONG(i) + 1});
  std::vector<char> block(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
  auto* data = reinterpret_cast<RGNDATA*>(block.data());
  data->rdh.dwSize = sizeof(RGNDATAHEADER);
  data->rdh.iType = RDH_RECTANGLES;
  data->rdh.nCount = DWORD(rects.size());
  data->rdh.nRgnSize = DWORD(rects.size() * sizeof(RECT));
  data->rdh.rcBound = RECT{-100000, s.Top + LONG(first), 100000, s.Top + LONG(last)};
  if (!rects.empty()) std::memcpy(data->Buffer, rects.data(), rects.size() * sizeof(RECT));
  return ExtCreateRegion(nullptr, DWORD(block.size()), data);
}

// The system's region creation grows quadratically with rows that cannot be merged, so the
// region is made of pieces of a few rows joined pairwise.
HRGN GdiRegion(const ShapeRows& s) {
  std::vector<HRGN> pieces;
  for (size_t first = 0; first < s.Rows.size(); first += 4)
    pieces.push_back(PieceRegion(s, first, std::min(s.Rows.size(), first + 4)));
  while (pieces.size() > 1) {
    std::vector<HRGN> joined;
    for (size_t i = 0; i + 1 < pieces.size(); i += 2) {
      CombineRgn(pieces[i], pieces[i], pieces[i + 1], RGN_OR);
      DeleteObject(pieces[i + 1]);
      joined.push_back(pieces[i]);
    }
    if (pieces.size() % 2) joined.push_back(pieces.back());
    pieces = joined;
  }
  return pieces.front();
}

DWORD RectCount(HRGN region) {
  const DWORD bytes = GetRegionData(region, 0, nullptr);
  return bytes >= sizeof(RGNDATAHEADER) ? DWORD((bytes - sizeof(RGNDATAHEADER)) / sizeof(RECT)) : 0;
}

uint32_t SegmentCount(const RgnRecord* region) { return region ? region->SegmentBytes / 8 : 0; }

struct PairedTimes {
  double Ours, Theirs;
};

// Samples both sides alternately, so that the speed of a shared machine drifting during the run
// shows on both: until 41 pairs are taken or about three seconds have passed (at least 5).
template <typename OurSample, typename TheirSample>
PairedTimes PairedMedians(OurSample ours, TheirSample theirs) {
  std::vector<double> a, b;
  const double begin = Now();
  while (a.size() < 41 && (a.size() < 5 || Now() - begin < 3e6)) {
    a.push_back(ours());
    b.push_back(theirs());
  }
  return PairedTimes{MedianMicros(a), MedianMicros(b)};
}
}  // namespace

int main() {
  const uint32_t modes[] = {kRgnCombineAnd, kRgnCombineNewMinusOld, kRgnCombineOr, kRgnCombineXor};
  const int gdiModes[] = {RGN_AND, RGN_DIFF, RGN_OR, RGN_XOR};
  const char* names[] = {"and", "minus", "or", "xor"};
  std::printf("Median microseconds per operation (ratio = RgnCombine / CombineRgn; target <= 0.5)\n");
  std::printf("%-14s %-6s %12s %12s %8s\n", "shapes", "mode", "RgnCombine", "CombineRgn", "ratio");
  for (const ShapePair& p : BenchShapePairs()) {
    RgnOwner a(RecordFromRows(p.A)), b(RecordFromRows(p.B));
    HRGN ga = GdiRegion(p.A), gb = GdiRegion(p.B);
    std::printf("%-14s GDI rectangles %lu and %lu, segments %u and %u\n", p.Name.c_str(), (unsigned long)RectCount(ga),
                (unsigned long)RectCount(gb), SegmentCount(a.get()), SegmentCount(b.get()));
    for (int m = 0; m < 4; ++m) {
      BitmapRecord bitmap{};
      bitmap.StructSize = QS_RECORD_SIZE;
      bitmap.Width = 5000;
      bitmap.Height = 5000;
      bitmap.Orientation = 1;
      HRGN check = CreateRectRgn(0, 0, 0, 0);
      CombineRgn(check, gb, ga, gdiModes[m]);
      const DWORD rects = RectCount(check);
      DeleteObject(check);
      const PairedTimes t = PairedMedians(
          [&] {
            RgnRecord *existing = nullptr, *added = nullptr;
            Q_CopyQorbRgn(&existing, a.get());
            Q_CopyQorbRgn(&added, b.get());
            KrnFreeRgnMemory(bitmap.Region);
            bitmap.Region = existing;
            const double start = Now();
            RgnCombine(&bitmap, nullptr, added, modes[m]);
            return Now() - start;
          },
          [&] {
            HRGN result = CreateRectRgn(0, 0, 0, 0);
            const double start = Now();
            CombineRgn(result, gb, ga, gdiModes[m]);
            const double took = Now() - start;
            DeleteObject(result);
            return took;
          });
      const uint32_t segments = SegmentCount(bitmap.Region);
      KrnFreeRgnMemory(bitmap.Region);
      const double ours = t.Ours, gdi = t.Theirs;
      std::printf("%-14s %-6s %12.1f %12.1f %8.2f   %u segments, %lu rectangles%s\n", p.Name.c_str(), names[m], ours,
                  gdi, gdi > 0 ? ours / gdi : 0.0, segments, (unsigned long)rects,
                  p.Name == "combs" ? "  (information only)" : "");
      std::fflush(stdout);
    }
    DeleteObject(ga);
    DeleteObject(gb);
  }
  return 0;
}
