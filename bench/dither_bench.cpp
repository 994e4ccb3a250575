// Row kernel throughput on a generated 4096 x 4096 24-bit picture (smooth gradients plus noise),
// beside three references: an image library's Floyd-Steinberg remap to the same 256 colours, a
// plain Floyd-Steinberg loop to 3-3-2, and a memcpy of the source rows. One thread. After the
// runs a summary prints Mpixel/s and the ratios the kernels are held to.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "frame/library_state.h"
#include "paint/dither_table.h"
#include "paint/fixed_palettes.h"
#include "paint/row_kernels.h"
#include "qsdisp.h"

#if QS_BENCH_HAVE_MAGICK
#include <Magick++.h>
#endif

namespace {
constexpr int kSize = 4096;
constexpr int64_t kPixels = int64_t(kSize) * kSize;

struct Picture {
  std::vector<uint8_t> Rgb24;  // red, green, blue per pixel, rows of 3 x kSize bytes
  std::vector<uint8_t> Index8;  // the same picture as 8-bit indices into Palette
  std::vector<uint8_t> Rgb555;  // 16 bits, 5-5-5
  std::vector<uint8_t> Rgb48;   // 16-bit channels
  std::vector<uint8_t> Grey12;  // 12-bit grey, two pixels in three bytes
  std::vector<RGBQUAD> Palette;
};

const Picture& ThePicture() {
  static const Picture picture = [] {
    Picture p;
    std::mt19937 rng(2024);
    std::uniform_int_distribution<int> noise(-24, 24);
    auto clamp = [](int v) { return uint8_t(v < 0 ? 0 : (v > 255 ? 255 : v)); };
    p.Rgb24.resize(size_t(kPixels) * 3);
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x) {
        uint8_t* q = &p.Rgb24[(size_t(y) * kSize + x) * 3];
        q[0] = clamp(x * 255 / (kSize - 1) + noise(rng));
        q[1] = clamp(y * 255 / (kSize - 1) + noise(rng));
        q[2] = clamp((x + y) * 255 / (2 * kSize - 2) + noise(rng));
      }
    p.Palette.resize(256);
    for (int i = 0; i < 256; ++i) p.Palette[i] = RGBQUAD{uint8_t(i * 7), uint8_t(255 - i), uint8_t(i), 0};
    p.Index8.resize(size_t(kPixels));
    p.Rgb555.resize(size_t(kPixels) * 2);
    p.Rgb48.resize(size_t(kPixels) * 6);
    p.Grey12.resize(size_t(kPixels) / 2 * 3);
    for (int64_t i = 0; i < kPixels; ++i) {
      const uint8_t* q = &p.Rgb24[size_t(i) * 3];
      p.Index8[i] = uint8_t((q[0] + q[1] + q[2]) / 3);
      const uint16_t v = uint16_t((q[0] >> 3) | ((q[1] >> 3) << 5) | ((q[2] >> 3) << 10));
      p.Rgb555[2 * i] = uint8_t(v), p.Rgb555[2 * i + 1] = uint8_t(v >> 8);
      for (int c = 0; c < 3; ++c) p.Rgb48[6 * i + 2 * c] = q[c], p.Rgb48[6 * i + 2 * c + 1] = q[c];
      const unsigned grey = (q[0] * 16 + q[1] * 16) / 2, pair = size_t(i) / 2 * 3;
      if (i % 2 == 0) {
        p.Grey12[pair] = uint8_t(grey), p.Grey12[pair + 1] = uint8_t(grey >> 8);
      } else {
        p.Grey12[pair + 1] = uint8_t((p.Grey12[pair + 1] & 0x0F) | ((grey & 0x0F) << 4)), p.Grey12[pair + 2] = uint8_t(grey >> 4);
      }
    }
    return p;
  }();
  return picture;
}

struct Record {
  BitmapRecord Bitmap{};
  uint8_t Tone[256];
  Record(int bits, int order) {
    Bitmap.StructSize = QS_RECORD_SIZE;
    Bitmap.Width = Bitmap.Height = kSize;
    Bitmap.BitsPerPixel = bits;
    Bitmap.Order = order;
    Bitmap.WindowHighBit = bits == 12 ? 11 : 7;
    for (int i = 0; i < 256; ++i) Tone[i] = uint8_t(i);
    Bitmap.PaintLUT = Tone;
  }
};

// One whole picture through a dither kernel, row by row, one error row for the paint.
void RunKernel(benchmark::State& state, int srcBits, int dstBits, DitherMethod method, uint32_t mode) {
  const Picture& p = ThePicture();
  const std::vector<uint8_t>& source = srcBits == 8 ? p.Index8 : p.Rgb24;
  const size_t stride = size_t(kSize) * srcBits / 8;
  Record record(srcBits, 0);
  Q_SetDisplayMode(0xFFFFFFFFu, mode | (method == DitherMethod::kOrdered ? 1 : 0));
  const DitherRowFn kernel = FindDitherKernel(srcBits, dstBits, method);
  std::vector<uint8_t> out(size_t(kSize) * dstBits / 8 + 4);
  std::vector<int32_t> errors(3 * kSize);
  for (auto _ : state) {
    std::fill(errors.begin(), errors.end(), 0);
    for (int y = 0; y < kSize; ++y) {
      kernel(out.data(), &source[y * stride], &record.Bitmap, 0, kSize, 0, y, errors.data(), p.Palette.data());
      benchmark::DoNotOptimize(out.data());
    }
  }
  state.SetItemsProcessed(state.iterations() * kPixels);
}

void RunUnpacker(benchmark::State& state, UnpackRowFn unpack, const std::vector<uint8_t>& source, int srcBits,
                 int outBits, int order) {
  Record record(srcBits, order);
  const size_t stride = source.size() / kSize;
  std::vector<uint8_t> out(size_t(kSize) * outBits / 8 + 4);
  for (auto _ : state) {
    for (int y = 0; y < kSize; ++y) {
      unpack(out.data(), &source[y * stride], &record.Bitmap, 0, kSize);
      benchmark::DoNotOptimize(out.data());
    }
  }
  state.SetItemsProcessed(state.iterations() * kPixels);
}

// ---- references ---------------------------------------------------------------------------------
// The textbook loop: two rows of errors, each channel quantised to its 3-3-2 level.
void PlainFloydSteinberg332(benchmark::State& state) {
  const Picture& p = ThePicture();
  std::vector<uint8_t> out(kSize);
  std::vector<int> current(3 * (kSize + 2)), next(3 * (kSize + 2));
  const int levels[3] = {7, 7, 3};
  for (auto _ : state) {
    std::fill(current.begin(), current.end(), 0);
    for (int y = 0; y < kSize; ++y) {
      std::fill(next.begin(), next.end(), 0);
      const uint8_t* row = &p.Rgb24[size_t(y) * kSize * 3];
      for (int x = 0; x < kSize; ++x) {
        int index = 0;
        for (int c = 0; c < 3; ++c) {
          int v = row[3 * x + c] + current[3 * (x + 1) + c] / 16;
          v = v < 0 ? 0 : (v > 255 ? 255 : v);
          const int level = (v * levels[c] + 127) / 255;
          const int err = v - level * 255 / levels[c];
          index = index * (levels[c] + 1) + level;
          current[3 * (x + 2) + c] += 7 * err;
          next[3 * x + c] += 3 * err;
          next[3 * (x + 1) + c] += 5 * err;
          next[3 * (x + 2) + c] += err;
        }
        out[x] = uint8_t(index);
      }
      benchmark::DoNotOptimize(out.data());
      std::swap(current, next);
    }
  }
  state.SetItemsProcessed(state.iterations() * kPixels);
}

// A plain 8 x 8 ordered dither to 3-3-2.
void PlainOrdered332(benchmark::State& state) {
  static const int kBayer[8][8] = {{0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
                                   {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
                                   {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
                                   {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21}};
  const Picture& p = ThePicture();
  std::vector<uint8_t> out(kSize);
  for (auto _ : state) {
    for (int y = 0; y < kSize; ++y) {
      const uint8_t* row = &p.Rgb24[size_t(y) * kSize * 3];
      for (int x = 0; x < kSize; ++x) {
        const int d = kBayer[y & 7][x & 7] / 2 - 16;
        int v[3];
        for (int c = 0; c < 3; ++c) {
          const int s = row[3 * x + c] + d;
          v[c] = s < 0 ? 0 : (s > 255 ? 255 : s);
        }
        out[x] = uint8_t((v[0] & 0xE0) | ((v[1] & 0xE0) >> 3) | (v[2] >> 6));
      }
      benchmark::DoNotOptimize(out.data());
    }
  }
  state.SetItemsProcessed(state.iterations() * kPixels);
}

void MemcpyRows(benchmark::State& state) {
  const Picture& p = ThePicture();
  std::vector<uint8_t> out(size_t(kPixels) * 3);
  for (auto _ : state) {
    for (int y = 0; y < kSize; ++y) std::memcpy(&out[size_t(y) * kSize * 3], &p.Rgb24[size_t(y) * kSize * 3], size_t(kSize) * 3);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * kPixels);
}

#if QS_BENCH_HAVE_MAGICK
// The image library's Floyd-Steinberg remap to FixedPalette332. Each repetition gets a fresh image
// (made outside the timing): the library's pixel cache limit does not hold two of this size.
void PeerFloydSteinberg332(benchmark::State& state) {
  const Picture& p = ThePicture();
  std::vector<uint8_t> colours;
  for (const RGBQUAD& e : FixedPalette332) colours.insert(colours.end(), {e.rgbRed, e.rgbGreen, e.rgbBlue});
  const Magick::Image map(256, 1, "RGB", Magick::CharPixel, colours.data());
  for (auto _ : state) {
    state.PauseTiming();
    Magick::Image image(kSize, kSize, "RGB", Magick::CharPixel, p.Rgb24.data());
    image.quantizeDitherMethod(MagickCore::FloydSteinbergDitherMethod);
    state.ResumeTiming();
    image.map(map, true);
    benchmark::DoNotOptimize(image);
    state.PauseTiming();
    image = Magick::Image();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kPixels);
}
#endif

// Keeps each run's pixel rate for the summary.
class RateReporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> Mpixels;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const auto it = run.counters.find("items_per_second");
      // Names without the "/iterations:N" that a fixed iteration count appends.
      std::string name = run.benchmark_name();
      name = name.substr(0, name.find("/iterations:"));
      if (it != run.counters.end()) Mpixels[name] = it->second.value / 1e6;
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

void PrintSummary(const RateReporter& r) {
  auto rate = [&](const char* name) {
    const auto it = r.Mpixels.find(name);
    return it == r.Mpixels.end() ? 0.0 : it->second;
  };
  std::printf("\n%-34s %10s\n", "row routine (4096 x 4096)", "Mpixel/s");
  for (const auto& [name, mpx] : r.Mpixels) std::printf("%-34s %10.1f\n", name.c_str(), mpx);
  const double diffuse = rate("DiffuseTo8/332"), ordered = rate("OrderedTo8/332");
  const double peer = rate("Peer/FloydSteinberg332"), plain = rate("Plain/FloydSteinberg332");
  const double copy = rate("Limit/MemcpyRows");
  std::printf("\nratios\n");
  if (peer > 0) std::printf("  error diffusion to 8 bits / peer Floyd-Steinberg   %6.2f  (target >= 8)\n", diffuse / peer);
  if (plain > 0) std::printf("  error diffusion to 8 bits / plain Floyd-Steinberg  %6.2f  (about 2)\n", diffuse / plain);
  if (copy > 0) std::printf("  ordered dither to 8 bits / memcpy                  %6.3f  (target >= 0.2)\n", ordered / copy);
  if (copy > 0) std::printf("  ordered dither to 8 bits (cube) / memcpy           %6.3f\n", rate("OrderedTo8/Cube") / copy);
}
}  // namespace

int main(int argc, char** argv) {
  FrameProcessAttach(nullptr);
#if QS_BENCH_HAVE_MAGICK
  Magick::InitializeMagick(*argv);
  MagickCore::SetMagickResourceLimit(MagickCore::ThreadResource, 1);
#endif
  const Picture& p = ThePicture();
  using M = DitherMethod;
  benchmark::RegisterBenchmark("DiffuseTo8/332", RunKernel, 24, 8, M::kDiffuse, 0u);
  benchmark::RegisterBenchmark("DiffuseTo8/Cube", RunKernel, 24, 8, M::kDiffuse, 0x100u);
  benchmark::RegisterBenchmark("OrderedTo8/332", RunKernel, 24, 8, M::kOrdered, 0u);
  benchmark::RegisterBenchmark("OrderedTo8/Cube", RunKernel, 24, 8, M::kOrdered, 0x100u);
  benchmark::RegisterBenchmark("DiffuseTo4", RunKernel, 24, 4, M::kDiffuse, 0u);
  benchmark::RegisterBenchmark("OrderedTo4", RunKernel, 24, 4, M::kOrdered, 0u);
  benchmark::RegisterBenchmark("DiffuseTo1", RunKernel, 24, 1, M::kDiffuse, 0u);
  benchmark::RegisterBenchmark("OrderedTo1", RunKernel, 24, 1, M::kOrdered, 0u);
  benchmark::RegisterBenchmark("Palette8DiffuseTo8", RunKernel, 8, 8, M::kDiffuse, 0u);
  benchmark::RegisterBenchmark("Palette8OrderedTo8", RunKernel, 8, 8, M::kOrdered, 0u);
  benchmark::RegisterBenchmark("Unpack16To24", RunUnpacker, UnpackRow16To24, std::cref(p.Rgb555), 16, 24, 0);
  benchmark::RegisterBenchmark("Unpack48To24", RunUnpacker, UnpackRow48To24, std::cref(p.Rgb48), 48, 24, 0);
  benchmark::RegisterBenchmark("Unpack12GreyTo8", RunUnpacker, UnpackRow12GreyTo8, std::cref(p.Grey12), 12, 8, 2);
#if QS_BENCH_HAVE_MAGICK
  benchmark::RegisterBenchmark("Peer/FloydSteinberg332", PeerFloydSteinberg332)->Iterations(3);
#endif
  benchmark::RegisterBenchmark("Plain/FloydSteinberg332", PlainFloydSteinberg332);
  benchmark::RegisterBenchmark("Plain/Ordered332", PlainOrdered332);
  benchmark::RegisterBenchmark("Limit/MemcpyRows", MemcpyRows);
  benchmark::Initialize(&argc, argv);
  RateReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  PrintSummary(reporter);
  benchmark::Shutdown();
  FrameProcessDetach();
  return 0;
}
