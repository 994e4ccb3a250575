// The resampling sequence and the work records it reads through: exact output sizes, smooth
// edges, flat areas kept flat at every source depth, area averages, output depths, row sources,
// and clean failure on every allocation.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

#include "common/kernel_fixture.h"
#include "kernel/pixel_model.h"
#include "qskrn.h"

namespace {
constexpr uint32_t kSmooth = KRN_RESIZE_SMOOTH | KRN_RESIZE_BGR;
constexpr uint32_t kSharp = KRN_RESIZE_SHARP | KRN_RESIZE_BGR;

// A bitmap whose pixel (x, y) is value(x, y), stored through the pixel model.
template <typename F>
void Fill(TestBitmap& b, int w, int h, int bits, int order, const RGBQUAD* palette, F value) {
  ASSERT_EQ(KrnAllocateBitmap(b.get(), 164, KRN_MEMORY_ONE_BLOCK, w, h, bits, order, palette, 1, nullptr, 0), 1);
  for (int y = 0; y < h; ++y) {
    auto* row = static_cast<uint8_t*>(b->Bits) + size_t(y) * b->BytesPerLine;
    for (int x = 0; x < w; ++x) pixel_model::Put(row, bits, x, value(x, y));
  }
}

struct Resized {
  int32_t Code = 0;
  int W = 0, H = 0, Bits = 24;
  std::vector<std::vector<uint8_t>> Rows;
  uint8_t Byte(int x, int y, int channel) const { return Rows[y][size_t(x) * Bits / 8 + channel]; }
};

Resized Resize(const BitmapRecord* source, int w, int h, int bits, uint32_t options, KrnRowSource rows = nullptr,
               const void* rowContext = nullptr) {
  Resized out;
  out.W = w;
  out.H = h;
  out.Bits = bits;
  void* context = nullptr;
  out.Code = KrnStartResize(source, rows, rowContext, w, h, bits, nullptr, options, &context);
  if (out.Code != 1) return out;
  // Rows asked for bottom first, as a painter walking a bottom-up band does.
  out.Rows.assign(size_t(h), std::vector<uint8_t>(size_t(w) * 4 + 4, 0));
  for (int y = h - 1; y >= 0 && out.Code == 1; --y) out.Code = KrnResizeRow(context, out.Rows[y].data(), y, 0, w);
  KrnStopResize(context);
  return out;
}
}  // namespace

class ResizeTest : public KernelLeakTest {};

TEST_F(ResizeTest, BothFiltersGiveTheExactSizeAndSmoothEdges) {
  TestBitmap b;  // left half black, right half white
  Fill(b, 8, 4, 24, 1, nullptr, [](int x, int) { return x < 4 ? 0u : 0xFFFFFFu; });
  for (uint32_t options : {kSmooth, kSharp}) {
    const Resized r = Resize(b.get(), 32, 9, 24, options);
    ASSERT_EQ(r.Code, 1);
    std::set<int> values;
    for (int x = 0; x < 32; ++x) values.insert(r.Byte(x, 4, 1));
    EXPECT_EQ(*values.begin(), 0);
    EXPECT_EQ(*values.rbegin(), 255);
    EXPECT_GE(values.size(), 4u) << "an enlarged edge has intermediate values, options " << options;
    for (int x = 1; x < 32; ++x) EXPECT_GE(r.Byte(x, 4, 1), r.Byte(x - 1, 4, 1)) << "monotonic edge";
  }
}

TEST_F(ResizeTest, FlatImagesStayFlatAtEverySourceDepth) {
  struct Case {
    int Bits, Order;
    uint64_t Value;
    uint8_t B, G, R;
  };
  RGBQUAD palette[256] = {};
  for (int i = 0; i < 256; ++i) palette[i] = RGBQUAD{uint8_t(i), uint8_t(255 - i), uint8_t(i / 2), 0};
  const Case cases[] = {
      {1, 0, 1, 1, 254, 0},         {4, 0, 9, 9, 246, 4},       {8, 0, 200, 200, 55, 100},
      {16, 1, 0x7C00, 0, 0, 255},   {16, 0, 0x7C00, 255, 0, 0}, {24, 1, 0x102030, 0x30, 0x20, 0x10},
      {24, 0, 0x102030, 0x10, 0x20, 0x30}, {32, 1, 0xFF405060, 0x60, 0x50, 0x40},
      {48, 1, 0x1111AA22BB33CCull, 0x33, 0x22, 0x11}, {64, 1, 0x0000A0A1B0B1C0C1ull, 0xC0, 0xB0, 0xA0},
  };
  for (const Case& c : cases) {
    TestBitmap b;
    Fill(b, 7, 5, c.Bits, c.Order, c.Bits <= 8 ? palette : nullptr, [&](int, int) { return c.Value; });
    for (uint32_t options : {kSmooth, kSharp}) {
      for (auto size : {std::pair{3, 2}, std::pair{17, 11}}) {
        const Resized r = Resize(b.get(), size.first, size.second, 24, options);
        ASSERT_EQ(r.Code, 1);
        for (int y = 0; y < r.H; ++y)
          for (int x = 0; x < r.W; ++x)
            ASSERT_TRUE(r.Byte(x, y, 0) == c.B && r.Byte(x, y, 1) == c.G && r.Byte(x, y, 2) == c.R)
                << "bits " << c.Bits << " order " << c.Order << " got " << int(r.Byte(x, y, 2)) << ","
                << int(r.Byte(x, y, 1)) << "," << int(r.Byte(x, y, 0));
      }
    }
  }
}

TEST_F(ResizeTest, AreaAverageOfAnExactReductionIsTheBlockMean) {
  TestBitmap b;  // 8-bit grey with the default grey palette
  Fill(b, 6, 4, 8, 0, nullptr, [](int x, int y) { return uint64_t((x * 40 + y * 7) % 256); });
  const Resized r = Resize(b.get(), 3, 2, 8, kSharp);
  ASSERT_EQ(r.Code, 1);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) {
      int sum = 0;
      for (int dy = 0; dy < 2; ++dy)
        for (int dx = 0; dx < 2; ++dx) sum += ((2 * x + dx) * 40 + (2 * y + dy) * 7) % 256;
      EXPECT_NEAR(r.Rows[y][x], sum / 4.0, 0.51) << "block " << x << "," << y;
    }
  }
}

TEST_F(ResizeTest, GreyDataIsWindowedAndShownThroughItsTable) {
  TestBitmap b;  // 16-bit grey, values 0..4095 in bits 4..15
  Fill(b, 4, 2, 16, 2, nullptr, [](int x, int) { return uint64_t(x * 1000) << 4; });
  b->LowBit = 4;
  b->HighBit = 15;
  Resized r = Resize(b.get(), 4, 2, 24, kSmooth);
  ASSERT_EQ(r.Code, 1);
  EXPECT_EQ(r.Byte(0, 0, 0), 0);
  EXPECT_EQ(r.Byte(3, 0, 0), 3000 >> 4);  // the top 8 bits of the 12-bit window

  std::vector<uint32_t> lut(4096);
  for (int i = 0; i < 4096; ++i) lut[i] = uint32_t(i >= 2000 ? 0x0000FF : 0xFF0000);  // red below, blue above
  b->LUT = lut.data();
  b->LUTLength = 4096;
  r = Resize(b.get(), 4, 2, 24, kSmooth);
  b->LUT = nullptr;
  ASSERT_EQ(r.Code, 1);
  EXPECT_EQ(r.Byte(0, 1, 2), 255);  // red
  EXPECT_EQ(r.Byte(3, 1, 0), 255);  // blue
}

TEST_F(ResizeTest, OutputDepthsAndChannelOrder) {
  TestBitmap b;  // stored red, green, blue (order 0)
  Fill(b, 4, 4, 24, 0, nullptr, [](int, int) { return uint64_t(0x804020); });
  Resized kept = Resize(b.get(), 2, 2, 24, KRN_RESIZE_SMOOTH);
  Resized bgr = Resize(b.get(), 2, 2, 32, kSmooth);
  ASSERT_EQ(kept.Code, 1);
  ASSERT_EQ(bgr.Code, 1);
  EXPECT_EQ(kept.Byte(0, 0, 0), 0x20);  // stored byte order kept
  EXPECT_EQ(bgr.Byte(1, 1, 0), 0x80);   // blue first
  EXPECT_EQ(bgr.Byte(1, 1, 3), 0);

  // Grey levels at 4 bits, and dithering to the 16-colour palette uses only black and 9-15.
  TestBitmap g;
  Fill(g, 16, 16, 8, 0, nullptr, [](int x, int) { return uint64_t(x * 17); });
  const Resized grey4 = Resize(g.get(), 16, 16, 4, kSmooth);
  ASSERT_EQ(grey4.Code, 1);
  EXPECT_EQ(grey4.Rows[3][0] >> 4, 0);
  EXPECT_EQ(grey4.Rows[3][7] & 15, 15);
  for (uint32_t dither : {KRN_RESIZE_DITHER, KRN_RESIZE_DITHER | KRN_RESIZE_ORDERED}) {
    const Resized d = Resize(g.get(), 16, 16, 4, kSmooth | dither);
    ASSERT_EQ(d.Code, 1);
    int white = 0;
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) {
        const int index = (d.Rows[y][x / 2] >> (x % 2 ? 0 : 4)) & 15;
        EXPECT_TRUE(index == 0 || index >= 9) << "index " << index;
        white += index == 15;
      }
    }
    EXPECT_NEAR(white, 128, 40) << "about half of a black-to-white ramp dithers to white";
  }
}

namespace {
struct Supplier {
  const BitmapRecord* Real;
  int Calls = 0;
  int FailAt = -1;
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
  EXPECT_EQ(work.Order, 1);
  EXPECT_EQ(work.Flags & QS_FLAG_STORAGE, 0u);
  Supplier supplier{b.get()};
  const Resized r = Resize(&work, 4, 3, 24, kSmooth, SupplyRows, &supplier);
  ASSERT_EQ(r.Code, 1);
  EXPECT_EQ(r.Byte(0, 0, 0), 40);    // real column 2
  EXPECT_EQ(r.Byte(3, 2, 2), 3);     // real row 3
  EXPECT_LE(supplier.Calls, 3) << "each source row is fetched once at the same size";

  supplier = Supplier{b.get(), 0, 1};
  EXPECT_EQ(Resize(&work, 8, 6, 24, kSmooth, SupplyRows, &supplier).Code, -7) << "a failing row source ends it";
  EXPECT_EQ(KrnReleaseTempBitmap(&work), 1);
  EXPECT_EQ(KrnReleaseTempBitmap(b.get()), -13) << "only work records are released this way";
}

TEST_F(ResizeTest, RefusesBadRequests) {
  TestBitmap b;
  Fill(b, 4, 4, 8, 0, nullptr, [](int, int) { return 0u; });
  void* context = reinterpret_cast<void*>(1);
  EXPECT_EQ(KrnStartResize(b.get(), nullptr, nullptr, 4, 4, 24, nullptr, KRN_RESIZE_BGR, &context), -13);
  EXPECT_EQ(context, nullptr);
  EXPECT_EQ(KrnStartResize(b.get(), nullptr, nullptr, 4, 4, 24, nullptr, kSmooth | KRN_RESIZE_SHARP, &context), -13);
  EXPECT_EQ(KrnStartResize(b.get(), nullptr, nullptr, 0, 4, 24, nullptr, kSmooth, &context), -13);
  EXPECT_EQ(KrnStartResize(b.get(), nullptr, nullptr, 4, 4, 16, nullptr, kSmooth, &context), -13);
  EXPECT_EQ(KrnStartResize(nullptr, nullptr, nullptr, 4, 4, 24, nullptr, kSmooth, &context), -2);
  ASSERT_EQ(KrnStartResize(b.get(), nullptr, nullptr, 4, 4, 24, nullptr, kSmooth, &context), 1);
  std::vector<uint8_t> row(64);
  EXPECT_EQ(KrnResizeRow(context, row.data(), 4, 0, 4), -13);
  EXPECT_EQ(KrnResizeRow(context, row.data(), 0, 2, 3), -13);
  EXPECT_EQ(KrnStopResize(context), 1);
}

TEST_F(ResizeTest, EveryAllocationFailureIsCleanAndLeaksNothing) {
  TestBitmap b;
  Fill(b, 40, 30, 4, 0, nullptr, [](int x, int y) { return uint64_t((x + y) % 16); });
  const int32_t made = ForEachAllocationFailure(
      [&] { return Resize(b.get(), 13, 71, 8, kSharp | KRN_RESIZE_DITHER).Code; },
      [](int32_t result, int32_t nth) { EXPECT_EQ(result, -1) << "allocation " << nth; });
  EXPECT_GT(made, 5);

  BitmapRecord work{};
  work.StructSize = 164;
  ForEachAllocationFailure(
      [&] {
        const int32_t code = KrnInitResizedBitmap(&work, b.get(), 164, 5, 6, 8, KRN_MEMORY_ROWS);
        if (code == 1) KrnReleaseTempBitmap(&work);
        return code;
      },
      [&](int32_t result, int32_t) {
        EXPECT_EQ(result, -1);
        EXPECT_EQ(work.Width, 0) << "a failed call leaves the record as it was";
      });
}

TEST_F(ResizeTest, CopyBitmapInfoTakesTheValueRangeOnly) {
  TestBitmap b;
  Fill(b, 4, 4, 16, 2, nullptr, [](int, int) { return 0u; });
  b->LowBit = 2;
  b->HighBit = 13;
  b->WindowLowBit = 4;
  b->WindowHighBit = 11;
  b->MinVal = 5;
  b->MaxVal = 900;
  b->Flags |= QS_FLAG_WINDOW_LUT;
  BitmapRecord work{};
  ASSERT_EQ(KrnInitResizedBitmap(&work, b.get(), 164, 2, 2, 16, KRN_MEMORY_ONE_BLOCK), 1);
  work.LowBit = work.HighBit = work.MinVal = 0;
  work.Flags &= ~QS_FLAG_WINDOW_LUT;
  void* bits = work.Bits;
  ASSERT_EQ(KrnCopyBitmapInfo(&work, b.get()), 1);
  EXPECT_EQ(work.LowBit, 2);
  EXPECT_EQ(work.HighBit, 13);
  EXPECT_EQ(work.WindowLowBit, 4);
  EXPECT_EQ(work.MaxVal, 900);
  EXPECT_EQ(work.Order, 2);
  EXPECT_NE(work.Flags & QS_FLAG_WINDOW_LUT, 0u);
  EXPECT_EQ(work.Bits, bits);
  EXPECT_EQ(work.Width, 2);
  EXPECT_EQ(KrnReleaseTempBitmap(&work), 1);
}
