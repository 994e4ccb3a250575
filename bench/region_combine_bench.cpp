// RgnCombine in modes 0, 2, 4 and 5 on three pairs of large regions, beside the peer region
// library's intersect, subtract, union and exclusive or (two subtractions and a union) on the
// same shapes; then point tests and clip segments on regions of 1000 and 100000 rows beside the
// peer's point test. Each sample times one operation; the new region is copied before each
// call and the copy is not timed. After the runs a summary prints medians and ratios.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <random>

#include "bench/region_shapes.h"
#include "frame/library_state.h"
#include "qsdisp.h"
#include "region/rgn_combine.h"
#include "region/rgn_record.h"

#if QS_BENCH_HAVE_PIXMAN
#include <pixman.h>
#endif

namespace {
using Clock = std::chrono::steady_clock;

std::map<std::string, std::vector<double>>& Samples() {
  static std::map<std::string, std::vector<double>> samples;
  return samples;
}

void Record(benchmark::State& state, const std::string& name, Clock::time_point start) {
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  state.SetIterationTime(seconds);
  Samples()[name].push_back(seconds * 1e6);
}

constexpr uint32_t kModes[] = {kRgnCombineAnd, kRgnCombineNewMinusOld, kRgnCombineOr, kRgnCombineXor};
const char* const kModeNames[] = {"and", "", "minus", "", "or", "xor"};

struct Loaded {
  RgnOwner A, B;
};

Loaded& LoadedPair(size_t index) {
  static std::vector<Loaded> pairs = [] {
    std::vector<Loaded> out;
    for (const ShapePair& p : BenchShapePairs()) out.push_back(Loaded{RgnOwner(RecordFromRows(p.A)), RgnOwner(RecordFromRows(p.B))});
    return out;
  }();
  return pairs[index];
}

void OursCombine(benchmark::State& state, size_t pair, uint32_t mode, std::string name) {
  Loaded& shapes = LoadedPair(pair);
  BitmapRecord bitmap{};
  bitmap.StructSize = QS_RECORD_SIZE;
  bitmap.Width = 5000;
  bitmap.Height = 5000;
  bitmap.Orientation = 1;
  for (auto _ : state) {
    RgnRecord *existing = nullptr, *added = nullptr;
    Q_CopyQorbRgn(&existing, shapes.A.get());
    Q_CopyQorbRgn(&added, shapes.B.get());
    KrnFreeRgnMemory(bitmap.Region);
    bitmap.Region = existing;
    const Clock::time_point start = Clock::now();
    const int32_t code = RgnCombine(&bitmap, nullptr, added, mode);
    Record(state, name, start);
    if (code != 1) state.SkipWithError("RgnCombine failed");
  }
  KrnFreeRgnMemory(bitmap.Region);
}

#if QS_BENCH_HAVE_PIXMAN
struct PeerPair {
  pixman_region32_t A, B;
};

void PeerFromRows(pixman_region32_t* r, const ShapeRows& s) {
  std::vector<pixman_box32_t> boxes;
  for (size_t i = 0; i < s.Rows.size(); ++i)
    for (size_t k = 0; k < s.Rows[i].size(); k += 2)
      boxes.push_back({s.Rows[i][k], s.Top + int32_t(i), s.Rows[i][k + 1], s.Top + int32_t(i) + 1});
  pixman_region32_init_rects(r, boxes.data(), int(boxes.size()));
}

PeerPair& PeerShapes(size_t index) {
  static std::vector<PeerPair> pairs = [] {
    std::vector<PeerPair> out(BenchShapePairs().size());
    size_t i = 0;
    for (const ShapePair& p : BenchShapePairs()) {
      PeerFromRows(&out[i].A, p.A);
      PeerFromRows(&out[i].B, p.B);
      ++i;
    }
    return out;
  }();
  return pairs[index];
}

void PeerCombine(benchmark::State& state, size_t pair, uint32_t mode, std::string name) {
  PeerPair& p = PeerShapes(pair);
  for (auto _ : state) {
    pixman_region32_t result, ab, ba;
    pixman_region32_init(&result);
    pixman_region32_init(&ab);
    pixman_region32_init(&ba);
    const Clock::time_point start = Clock::now();
    switch (mode) {
      case kRgnCombineAnd:
        pixman_region32_intersect(&result, &p.B, &p.A);
        break;
      case kRgnCombineNewMinusOld:
        pixman_region32_subtract(&result, &p.B, &p.A);
        break;
      case kRgnCombineOr:
        pixman_region32_union(&result, &p.B, &p.A);
        break;
      default:
        pixman_region32_subtract(&ab, &p.B, &p.A);
        pixman_region32_subtract(&ba, &p.A, &p.B);
        pixman_region32_union(&result, &ab, &ba);
        break;
    }
    Record(state, name, start);
    pixman_region32_fini(&result);
    pixman_region32_fini(&ab);
    pixman_region32_fini(&ba);
  }
}
#endif

// Point tests and row queries on ellipses of 1000 and 100000 rows, 1024 calls per sample.
constexpr int32_t kCallsPerSample = 1024;

ShapeRows QueryShape(int32_t rows) { return EllipseRows(rows * 0.6, rows / 2.0, rows * 0.55, rows / 2.0); }

std::vector<POINT> QueryPoints(int32_t rows) {
  std::mt19937 rng{uint32_t(rows)};
  std::uniform_int_distribution<int32_t> x(0, int32_t(rows * 1.2)), y(0, rows - 1);
  std::vector<POINT> points(kCallsPerSample);
  for (POINT& p : points) p = POINT{x(rng), y(rng)};
  return points;
}

void OursQueries(benchmark::State& state, int32_t rows, bool segments, std::string name) {
  BitmapRecord bitmap{};
  bitmap.StructSize = QS_RECORD_SIZE;
  bitmap.Width = int32_t(rows * 1.2) + 1;
  bitmap.Height = rows;
  bitmap.Region = RecordFromRows(QueryShape(rows));
  const std::vector<POINT> points = QueryPoints(rows);
  std::vector<int32_t> buffer(16);
  for (auto _ : state) {
    int32_t hits = 0;
    uint32_t count = 0;
    const Clock::time_point start = Clock::now();
    for (const POINT& p : points) {
      if (segments) {
        Q_GetBitmapClipSegments(&bitmap, p.y, buffer.data(), &count);
        hits += int32_t(count);
      } else {
        hits += Q_IsPtInBitmapRgn(&bitmap, p.y, p.x);
      }
    }
    benchmark::DoNotOptimize(hits);
    Record(state, name, start);
  }
  KrnFreeRgnMemory(bitmap.Region);
}

#if QS_BENCH_HAVE_PIXMAN
void PeerPointTests(benchmark::State& state, int32_t rows, std::string name) {
  pixman_region32_t region;
  PeerFromRows(&region, QueryShape(rows));
  const std::vector<POINT> points = QueryPoints(rows);
  for (auto _ : state) {
    int32_t hits = 0;
    const Clock::time_point start = Clock::now();
    for (const POINT& p : points) hits += pixman_region32_contains_point(&region, p.x, p.y, nullptr);
    benchmark::DoNotOptimize(hits);
    Record(state, name, start);
  }
  pixman_region32_fini(&region);
}
#endif

std::string CombineName(const std::string& shape, uint32_t mode, const char* who) {
  return "combine/" + shape + "/" + kModeNames[mode] + "/" + who;
}

void PrintSummary() {
  std::printf("\nMedian microseconds per operation (ratio = RgnCombine / peer; target <= 1.0 on ellipses and shifted combs)\n");
  std::printf("%-14s %-6s %12s %12s %8s\n", "shapes", "mode", "RgnCombine", "peer", "ratio");
  for (const ShapePair& p : BenchShapePairs())
    for (uint32_t mode : kModes) {
      const double ours = MedianMicros(Samples()[CombineName(p.Name, mode, "ours")]);
      const double peer = MedianMicros(Samples()[CombineName(p.Name, mode, "peer")]);
      std::printf("%-14s %-6s %12.1f %12.1f %8.2f%s\n", p.Name.c_str(), kModeNames[mode], ours, peer,
                  peer > 0 ? ours / peer : 0.0, p.Name == "combs" ? "  (information only)" : "");
    }
  std::printf("\nNanoseconds per call\n");
  for (int32_t rows : {1000, 100000}) {
    const std::string r = std::to_string(rows);
    const double point = MedianMicros(Samples()["point/" + r + "/ours"]) * 1000 / kCallsPerSample;
    const double segs = MedianMicros(Samples()["segments/" + r + "/ours"]) * 1000 / kCallsPerSample;
    const double peer = MedianMicros(Samples()["point/" + r + "/peer"]) * 1000 / kCallsPerSample;
    std::printf("%6d rows: Q_IsPtInBitmapRgn %6.1f   Q_GetBitmapClipSegments %6.1f   peer point test %6.1f\n", rows,
                point, segs, peer);
  }
}
}  // namespace

int main(int argc, char** argv) {
  FrameProcessAttach(nullptr);
  const std::vector<ShapePair> pairs = BenchShapePairs();
  for (size_t i = 0; i < pairs.size(); ++i)
    for (uint32_t mode : kModes) {
      const std::string ours = CombineName(pairs[i].Name, mode, "ours");
      benchmark::RegisterBenchmark(ours.c_str(), OursCombine, i, mode, ours)->UseManualTime()->Unit(benchmark::kMicrosecond);
#if QS_BENCH_HAVE_PIXMAN
      const std::string peer = CombineName(pairs[i].Name, mode, "peer");
      benchmark::RegisterBenchmark(peer.c_str(), PeerCombine, i, mode, peer)->UseManualTime()->Unit(benchmark::kMicrosecond);
#endif
    }
  for (int32_t rows : {1000, 100000}) {
    const std::string r = std::to_string(rows);
    benchmark::RegisterBenchmark(("point/" + r + "/ours").c_str(), OursQueries, rows, false, "point/" + r + "/ours")
        ->UseManualTime();
    benchmark::RegisterBenchmark(("segments/" + r + "/ours").c_str(), OursQueries, rows, true, "segments/" + r + "/ours")
        ->UseManualTime();
#if QS_BENCH_HAVE_PIXMAN
    benchmark::RegisterBenchmark(("point/" + r + "/peer").c_str(), PeerPointTests, rows, "point/" + r + "/peer")
        ->UseManualTime();
#endif
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  PrintSummary();
  benchmark::Shutdown();
  FrameProcessDetach();
  return 0;
}
