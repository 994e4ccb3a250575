// The resampling sequence and the work records it reads through, and every allocating service of
// the kernel failing cleanly on every allocation.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "common/kernel_fixture.h"
#include "kernel/pixel_model.h"

namespace {
constexpr uint32_t kSmooth = KRN_RESIZE_SMOOTH | KRN_RESIZE_BGR;
constexpr uint32_t kSharp = KRN_RESIZE_SHARP | KRN_RESIZE_BGR;

// A bitmap whose pixel (x, y) is value(x, y), stored through the pixel model.
template <typename F>
void Fill(TestBitmap& b, int w, int h, int bits, int order, const RGBQUAD* palette, F value,
          int32_t kind = KRN_MEMORY_ONE_BLOCK) {
  ASSERT_EQ(KrnAllocateBitmap(b.get(), 164, kind, w, h, bits, order, palette, 1, nullptr, 0), 1);
  std::vector<uint8_t> row(size_t(b->BytesPerLine));
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) pixel_model::Put(row.data(), bits, x, value(x, y));
    KrnPutBitmapRow(b.get(), row.data(), y, 0, uint32_t(row.size()));
  }
}

struct Resized {
  int32_t Code = 0;
  int Bits = 24;
  std::vector<std::vector<uint8_t>> Rows;
  uint8_t Byte(int x, int y, int channel) const { return Rows[y][size_t(x) * Bits / 8 + channel]; }
};

// Rows asked for bottom first, as a painter walking a bottom-up band does.
Resized Resize(const BitmapRecord* source, int w, int h, int bits, uint32_t options, KrnRowSource rows = nullptr,
               const void* rowContext = nullptr) {
  Resized out{0, bits, {}};
  void* context = nullptr;
  out.Code = KrnStartResize(source, rows, rowContext, w, h, bits, nullptr, options, &context);
  if (out.Code != 1) return out;
  out.Rows.assign(size_t(h), std::vector<uint8_t>(size_t(w) * 4 + 4, 0));
  for (int y = h - 1; y >= 0 && out.Code == 1; --y) out.Code = KrnResizeRow(context, out.Rows[y].data(), y, 0, w);
  KrnStopResize(context);
  return out;
}
}  // namespace

using ResizeTest = KernelLeakTest;

TEST_F(ResizeTest, BothFiltersGiveTheExactSizeAndSmoothEdges) {
  TestBitmap b;  // left half black, right half white
  Fill(b, 8, 4, 24, 1, nullptr, [](int x, int) { return x < 4 ? 0u : 0xFFFFFFu; });
  for (uint32_t options : {kSmooth, kSharp}) {
    const Resized r = Resize(b.get(), 32, 9, 24, options);
    ASSERT_EQ(r.Code, 1);
    std::set<int> values{r.Byte(0, 4, 1)};
    for (int x = 1; x < 32; ++x) {
      EXPECT_GE(r.Byte(x, 4, 1), r.Byte(x - 1, 4, 1)) << "monotonic edge";
      values.insert(r.Byte(x, 4, 1));
    }
    EXPECT_TRUE(*values.begin() == 0 && *values.rbegin() == 255);
    EXPECT_GE(values.size(), 4u) << "an enlarged edge has intermediate values, options " << options;
  }
}

TEST_F(ResizeTest, FlatImagesStayFlatAtEverySourceDepth) {
  RGBQUAD palette[256] = {};
  for (int i = 0; i < 256; ++i) palette[i] = RGBQUAD{uint8_t(i), uint8_t(255 - i), uint8_t(i / 2), 0};
  const struct {
    int Bits, Order;
    uint64_t Value;
    uint8_t B, G, R;
  } cases[] = {
      {1, 0, 1, 1, 254, 0},         {4, 0, 9, 9, 246, 4},       {8, 0, 200, 200, 55, 100},
      {16, 1, 0x7C00, 0, 0, 255},   {16, 0, 0x7C00, 255, 0, 0}, {24, 1, 0x102030, 0x30, 0x20, 0x10},
      {24, 0, 0x102030, 0x10, 0x20, 0x30}, {32, 1, 0xFF405060, 0x60, 0x50, 0x40},
      {48, 1, 0x1111AA22BB33CCull, 0x33, 0x22, 0x11}, {64, 1, 0x0000A0A1B0B1C0C1ull, 0xC0, 0xB0, 0xA0}};
  for (const auto& c : cases) {
    TestBitmap b;
    Fill(b, 7, 5, c.Bits, c.Order, c.Bits <= 8 ? palette : nullptr, [&](int, int) { return c.Value; });
    for (uint32_t options : {kSmooth, kSharp})
      for (auto [w, h] : {std::pair{3, 2}, std::pair{17, 11}}) {
        const Resized r = Resize(b.get(), w, h, 24, options);
        ASSERT_EQ(r.Code, 1);
        for (int y = 0; y < h; ++y)
          for (int x = 0; x < w; ++x)
            ASSERT_TRUE(r.Byte(x, y, 0) == c.B && r.Byte(x, y, 1) == c.G && r.Byte(x, y, 2) == c.R)
                << "bits " << c.Bits << " order " << c.Order << " at " << x << "," << y;
      }
  }
}

TEST_F(ResizeTest, AreaAverageOfAnExactReductionIsTheBlockMean) {
  TestBitmap b;  // 8-bit grey with the default grey palette
  Fill(b, 6, 4, 8, 0, nullptr, [](int x, int y) { return uint64_t((x * 40 + y * 7) % 256); });
  const Resized r = Resize(b.get(), 3, 2, 8, kSharp);
  ASSERT_EQ(r.Code, 1);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) {
      int sum = 0;
      for (int d = 0; d < 4; ++d) sum += ((2 * x + d % 2) * 40 + (2 * y + d / 2) * 7) % 256;
      EXPECT_NEAR(r.Rows[y][x], sum / 4.0, 0.51) << "block " << x << "," << y;
    }
}

TEST_F(ResizeTest, GreyDataIsWindowedAndShownThroughItsTable) {
  TestBitmap b;  // 16-bit grey, values 0..4095 in bits 4..15
  Fill(b, 4, 2, 16, 2, nullptr, [](int x, int) { return uint64_t(x * 1000) << 4; });
  b->LowBit = 4, b->HighBit = 15;
  Resized r = Resize(b.get(), 4, 2, 24, kSmooth);
  ASSERT_EQ(r.Code, 1);
  EXPECT_EQ(r.Byte(0, 0, 0), 0);
  EXPECT_EQ(r.Byte(3, 0, 0), 3000 >> 4);  // the top 8 bits of the 12-bit window
  std::vector<uint32_t> lut(4096);
  for (int i = 0; i < 4096; ++i) lut[i] = uint32_t(i >= 2000 ? 0x0000FF : 0xFF0000);  // red below, blue above
  b->LUT = lut.data(), b->LUTLength = 4096;
  r = Resize(b.get(), 4, 2, 24, kSmooth);
  b->LUT = nullptr;
  ASSERT_EQ(r.Code, 1);
  EXPECT_EQ(r.Byte(0, 1, 2) + r.Byte(3, 1, 0), 510);  // red, then blue
}

TEST_F(ResizeTest, OutputDepthsAndChannelOrder) {
  TestBitmap b;  // stored red, green, blue (order 0)
  Fill(b, 4, 4, 24, 0, nullptr, [](int, int) { return uint64_t(0x804020); });
  const Resized kept = Resize(b.get(), 2, 2, 24, KRN_RESIZE_SMOOTH), bgr = Resize(b.get(), 2, 2, 32, kSmooth);
  ASSERT_TRUE(kept.Code == 1 && bgr.Code == 1);
  EXPECT_EQ(kept.Byte(0, 0, 0), 0x20);  // stored byte order kept
  EXPECT_EQ(bgr.Byte(1, 1, 0), 0x80);   // blue first
  EXPECT_EQ(bgr.Byte(1, 1, 3), 0);
  // Grey levels at 4 bits, and dithering to the 16-colour palette uses only black and 9-15.
  TestBitmap g;
  Fill(g, 16, 16, 8, 0, nullptr, [](int x, int) { return uint64_t(x * 17); });
  const Resized grey4 = Resize(g.get(), 16, 16, 4, kSmooth);
  ASSERT_EQ(grey4.Code, 1);
  EXPECT_TRUE(grey4.Rows[3][0] >> 4 == 0 && (grey4.Rows[3][7] & 15) == 15);
  for (uint32_t dither : {KRN_RESIZE_DITHER, KRN_RESIZE_DITHER | KRN_RESIZE_ORDERED}) {
    const Resized d = Resize(g.get(), 16, 16, 4, kSmooth | dither);
    ASSERT_EQ(d.Code, 1);
    int white = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) {
        const int index = (d.Rows[y][x / 2] >> (x % 2 ? 0 : 4)) & 15;
        EXPECT_TRUE(index == 0 || index >= 9) << "index " << index;
        white += index == 15;
      }
    EXPECT_NEAR(white, 128, 40) << "about half of a black-to-white ramp dithers to white";
  }
}

namespace {
struct Supplier {
  const BitmapRecord* Real;
  int Calls = 0, FailAt = -1;
};

int32_t QSAPI SupplyRows(const BitmapRecord*, void* buffer, int32_t row, int32_t column, uint32_t bytes,
                         const void* context) {
  auto* s = static_cast<Supplier*>(const_cast<void*>(context));
  if (s->Calls++ == s->FailAt) return -7;
  // The work record covers columns 2.. and rows 1.. of the real bitmap.
  const int32_t got = KrnGetBitmapRow(s->Real, buffer, row + 1, column + 2, bytes);
  return got == int32_t(bytes) ? 1 : -7;
}
}  // namespace

TEST_F(ResizeTest, AWorkRecordReadsThroughItsRowSource) {
  TestBitmap b;
  Fill(b, 10, 6, 24, 1, nullptr, [](int x, int y) { return uint64_t(x * 20 + y * 0x10000); });
  BitmapRecord work{};
  ASSERT_EQ(KrnInitResizedBitmap(&work, b.get(), 164, 4, 3, 24, 0), 1);
  EXPECT_TRUE(work.Order == 1 && (work.Flags & QS_FLAG_STORAGE) == 0);
  Supplier supplier{b.get()};
  const Resized r = Resize(&work, 4, 3, 24, kSmooth, SupplyRows, &supplier);
  ASSERT_EQ(r.Code, 1);
  EXPECT_EQ(r.Byte(0, 0, 0), 40);  // real column 2
  EXPECT_EQ(r.Byte(3, 2, 2), 3);   // real row 3
  EXPECT_LE(supplier.Calls, 3) << "each source row is fetched once at the same size";

  supplier = Supplier{b.get(), 0, 1};
  EXPECT_EQ(Resize(&work, 8, 6, 24, kSmooth, SupplyRows, &supplier).Code, -7) << "a failing row source ends it";
  EXPECT_EQ(KrnReleaseTempBitmap(&work), 1);
  EXPECT_EQ(KrnReleaseTempBitmap(b.get()), -13) << "only work records are released this way";

  // Copying the info onto a work record takes the value range only.
  b->LowBit = 2, b->HighBit = 13, b->WindowLowBit = 4, b->MaxVal = 900;
  b->Flags |= QS_FLAG_WINDOW_LUT;
  ASSERT_EQ(KrnInitResizedBitmap(&work, b.get(), 164, 2, 2, 24, KRN_MEMORY_ONE_BLOCK), 1);
  work.LowBit = work.HighBit = work.WindowLowBit = work.MaxVal = 0;
  work.Flags &= ~QS_FLAG_WINDOW_LUT;
  void* bits = work.Bits;
  ASSERT_EQ(KrnCopyBitmapInfo(&work, b.get()), 1);
  EXPECT_EQ(std::vector<int32_t>({work.LowBit, work.HighBit, work.WindowLowBit, int32_t(work.MaxVal), work.Width}),
            std::vector<int32_t>({2, 13, 4, 900, 2}));
  EXPECT_TRUE((work.Flags & QS_FLAG_WINDOW_LUT) && work.Bits == bits);
  EXPECT_EQ(KrnReleaseTempBitmap(&work), 1);
}

TEST_F(ResizeTest, RefusesBadRequests) {
  TestBitmap b;
  Fill(b, 4, 4, 8, 0, nullptr, [](int, int) { return 0u; });
  void* context = reinterpret_cast<void*>(1);
  auto start = [&](const BitmapRecord* source, int32_t w, int32_t bits, uint32_t options) {
    return KrnStartResize(source, nullptr, nullptr, w, 4, bits, nullptr, options, &context);
  };
  EXPECT_EQ(start(b.get(), 4, 24, KRN_RESIZE_BGR), -13);  // no filter
  EXPECT_EQ(context, nullptr);
  EXPECT_EQ(start(b.get(), 4, 24, kSmooth | KRN_RESIZE_SHARP), -13);
  EXPECT_EQ(start(b.get(), 0, 24, kSmooth), -13);
  EXPECT_EQ(start(b.get(), 4, 16, kSmooth), -13);
  EXPECT_EQ(start(nullptr, 4, 24, kSmooth), -2);
  ASSERT_EQ(start(b.get(), 4, 24, kSmooth), 1);
  std::vector<uint8_t> row(64);
  EXPECT_EQ(KrnResizeRow(context, row.data(), 4, 0, 4), -13);
  EXPECT_EQ(KrnResizeRow(context, row.data(), 0, 2, 3), -13);
  EXPECT_EQ(KrnStopResize(context), 1);
}

// Every allocating service, every allocation failing in turn: -1 and the caller's record exactly
// as it was; the fixture proves that nothing leaked.
TEST_F(ResizeTest, EveryAllocationFailureLeavesTheRecordAsItWas) {
  TestBitmap source;  // rows apart, so that copies allocate row by row
  Fill(source, 40, 30, 4, 0, nullptr, [](int x, int y) { return uint64_t((x + y) % 16); }, KRN_MEMORY_ROWS);
  source->PaintLUT[10] = 99;
  auto allocate = [](int32_t kind) {
    return [kind](BitmapRecord* r) { return KrnAllocateBitmap(r, 164, kind, 40, 6, 4, 0, nullptr, 1, nullptr, 0); };
  };
  const struct {
    const char* Name;
    std::function<int32_t(BitmapRecord*)> Make;
    int32_t(QSAPI* Release)(BitmapRecord*);
  } services[] = {
      {"allocate, one block", allocate(KRN_MEMORY_ONE_BLOCK), KrnFreeBitmap},
      {"allocate, rows apart", allocate(KRN_MEMORY_ROWS), KrnFreeBitmap},
      {"copy", [&](BitmapRecord* r) { return KrnCopyBitmap(r, source.get(), 164); }, KrnFreeBitmap},
      {"work record",
       [&](BitmapRecord* r) { return KrnInitResizedBitmap(r, source.get(), 164, 5, 6, 8, KRN_MEMORY_ROWS); },
       KrnReleaseTempBitmap},
      {"resample and dither",
       [&](BitmapRecord*) { return Resize(source.get(), 13, 71, 8, kSharp | KRN_RESIZE_DITHER).Code; }, nullptr},
  };
  for (const auto& s : services) {
    BitmapRecord record;
    std::memset(&record, 0x37, sizeof record);
    const BitmapRecord pattern = record;
    const int32_t made = ForEachAllocationFailure([&] { return s.Make(&record); }, [&](int32_t result, int32_t nth) {
      EXPECT_EQ(result, -1) << s.Name << ", allocation " << nth;
      EXPECT_TRUE(SameBytes(record, pattern)) << s.Name << ", allocation " << nth;
    });
    EXPECT_GT(made, 1) << s.Name;
    if (s.Release) {  // the last run succeeded
      ASSERT_FALSE(SameBytes(record, pattern)) << s.Name;
      EXPECT_EQ(s.Release(&record), 1) << s.Name;
    }
  }
}
