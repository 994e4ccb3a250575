// Packed DIBs into bitmaps: every header kind, depth and mask set the kernel takes, compared
// pixel by pixel with the colours the DIB itself describes; refused headers; allocation
// failures; and the display library's own header arithmetic.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <random>
#include <vector>

#include "common/kernel_fixture.h"
#include "convert/dib_header.h"
#include "qskrn.h"
#include "tests/convert/record_colors.h"

namespace {
struct DibFormat {
  uint32_t HeaderBytes;  // 12, 40, 52 or 124
  int32_t Bits;
  std::array<uint32_t, 3> Masks;  // red, green, blue; all zero: no bit fields
  bool TopDown;
  uint32_t Used;  // colour-table entries named in the header (0: all)
};

// A packed DIB of random pixels and palette, as a program would hand it over.
struct PackedDib {
  DibFormat Format;
  int32_t Width, Height;
  std::vector<uint8_t> Block;
  uint32_t BitsOffset = 0, RowBytes = 0;

  PackedDib(const DibFormat& format, int32_t width, int32_t height, std::mt19937& rng)
      : Format(format), Width(width), Height(height) {
    const bool core = format.HeaderBytes == 12, fields = format.Masks[0] != 0;
    const uint32_t entries = format.Bits <= 8 ? (format.Used ? format.Used : 1u << format.Bits) : 0;
    const uint32_t tableBytes = entries * (core ? 3 : 4) + (fields && format.HeaderBytes == 40 ? 12 : 0);
    RowBytes = ((uint32_t(width) * uint32_t(format.Bits) + 31) / 32) * 4;
    BitsOffset = format.HeaderBytes + tableBytes;
    Block = RandomBytes(rng, BitsOffset + RowBytes * uint32_t(height));
    std::memset(Block.data(), 0, format.HeaderBytes);
    Put32(0, format.HeaderBytes);
    if (core) {
      Put16(4, uint16_t(width)), Put16(6, uint16_t(height)), Put16(8, 1), Put16(10, uint16_t(format.Bits));
    } else {
      Put32(4, uint32_t(width)), Put32(8, uint32_t(format.TopDown ? -height : height)), Put16(12, 1);
      Put16(14, uint16_t(format.Bits)), Put32(16, fields ? 3 : 0), Put32(24, 3780), Put32(28, 2835), Put32(32, format.Used);
      for (int i = 0; i < 3 && fields; ++i) Put32(40 + 4 * i, format.Masks[size_t(i)]);
    }
    if (format.Bits <= 8) {  // pixels name only entries the table holds
      for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) SetIndex(x, y, uint32_t(rng()) % entries);
    }
  }

  // The colour of pixel (x, y), y counted from the picture's top.
  Rgb ColorAt(int32_t x, int32_t y) const {
    const uint8_t* row = Block.data() + BitsOffset + RowBytes * uint32_t(Format.TopDown ? y : Height - 1 - y);
    if (Format.Bits <= 8) {
      const uint8_t* e = Block.data() + Format.HeaderBytes + Index(row, x) * (Format.HeaderBytes == 12 ? 3 : 4);
      return {e[2], e[1], e[0]};
    }
    const uint8_t* p = row + x * (Format.Bits / 8);
    if (Format.Bits == 24 || (Format.Bits == 32 && Format.Masks[0] == 0)) return {p[2], p[1], p[0]};
    uint32_t v = 0;
    std::memcpy(&v, p, size_t(Format.Bits / 8));
    const std::array<uint32_t, 3> masks = Format.Masks[0] ? Format.Masks : std::array<uint32_t, 3>{0x7C00, 0x3E0, 0x1F};
    return {MaskChannel(v, masks[0]), MaskChannel(v, masks[1]), MaskChannel(v, masks[2])};
  }

 private:
  void Put32(size_t at, uint32_t v) { std::memcpy(&Block[at], &v, 4); }
  void Put16(size_t at, uint16_t v) { std::memcpy(&Block[at], &v, 2); }
  uint32_t Index(const uint8_t* row, int32_t x) const {
    const int32_t b = Format.Bits, bit = x * b;
    return (row[bit / 8] >> (8 - b - bit % 8)) & ((1u << b) - 1);
  }
  void SetIndex(int32_t x, int32_t y, uint32_t index) {
    uint8_t* row = &Block[BitsOffset + RowBytes * uint32_t(y)];
    const int32_t b = Format.Bits, bit = x * b, shift = 8 - b - bit % 8;
    row[bit / 8] = uint8_t((row[bit / 8] & ~(((1u << b) - 1) << shift)) | (index << shift));
  }
};

using DibImport = KernelLeakTest;

TEST_F(DibImport, EveryFormatShowsTheColoursTheDibDescribes) {
  const std::array<uint32_t, 3> none{}, rgb555{0x7C00, 0x3E0, 0x1F}, rgb565{0xF800, 0x7E0, 0x1F},
      bgr32{0xFF0000, 0xFF00, 0xFF}, rgb32{0xFF, 0xFF00, 0xFF0000}, wide10{0x3FF00000, 0xFFC00, 0x3FF};
  const struct {
    DibFormat Format;
    int32_t Bits, Order;  // what the record stores
  } cases[] = {
      {{12, 1, none, false, 0}, 1, 0},        {{12, 4, none, false, 0}, 4, 0},
      {{12, 8, none, false, 0}, 8, 0},        {{12, 24, none, false, 0}, 24, 1},
      {{40, 1, none, false, 0}, 1, 0},        {{40, 4, none, true, 5}, 4, 0},
      {{40, 8, none, false, 17}, 8, 0},       {{124, 8, none, true, 0}, 8, 0},
      {{40, 16, none, false, 0}, 16, 1},      {{40, 16, rgb555, true, 0}, 16, 1},
      {{40, 16, rgb565, false, 0}, 24, 1},    {{52, 16, rgb565, true, 0}, 24, 1},
      {{40, 24, none, true, 0}, 24, 1},       {{40, 32, none, false, 0}, 32, 1},
      {{40, 32, bgr32, false, 0}, 32, 1},     {{40, 32, rgb32, true, 0}, 32, 0},
      {{108, 32, wide10, false, 0}, 24, 1},
  };
  std::mt19937 rng(5);
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "header " << c.Format.HeaderBytes << ", " << c.Format.Bits << " bits, masks "
                                    << c.Format.Masks[0] << ", top-down " << c.Format.TopDown);
    for (int32_t width : {1, 7, 33}) {
      const PackedDib dib(c.Format, width, 5, rng);
      TestBitmap b;
      ASSERT_EQ(KrnDIBToBitmap(b.get(), QS_RECORD_SIZE, dib.Block.data(), dib.Block.data() + dib.BitsOffset), 1);
      EXPECT_EQ(b->BitsPerPixel, c.Bits);
      EXPECT_EQ(b->Order, c.Order);
      EXPECT_EQ(b->Orientation, c.Format.TopDown ? 1 : 4);
      ASSERT_EQ(b->Width, width);
      ASSERT_EQ(b->Height, 5);
      for (int32_t y = 0; y < 5; ++y)
        for (int32_t x = 0; x < width; ++x) ASSERT_EQ(RecordColorAt(b.get(), x, y), dib.ColorAt(x, y)) << x << "," << y;
      if (c.Format.HeaderBytes > 12) {  // 3780 and 2835 per metre
        EXPECT_EQ(std::vector<int32_t>({b->XResolution, b->YResolution}), std::vector<int32_t>({96, 72}));
      }
    }
  }
}

TEST_F(DibImport, RefusedHeadersAndFailuresLeaveTheRecordAsItWas) {
  std::mt19937 rng(8);
  const PackedDib good({40, 8, {}, false, 0}, 6, 4, rng);
  const struct {
    const char* Why;
    size_t At;
    uint32_t Value, Bytes;
  } breakages[] = {
      {"header size 64", 0, 64, 4},   {"width 0", 4, 0, 4},        {"height 0", 8, 0, 4},
      {"2 planes", 12, 2, 2},          {"2 bits", 14, 2, 2},        {"run-length coded", 16, 1, 4},
      {"embedded image", 16, 4, 4},    {"300 colours", 32, 300, 4},
  };
  TestBitmap b;
  b->Width = 77;
  const BitmapRecord before = b.Record;
  for (const auto& breakage : breakages) {
    PackedDib dib = good;
    std::memcpy(&dib.Block[breakage.At], &breakage.Value, breakage.Bytes);
    EXPECT_EQ(KrnDIBToBitmap(b.get(), QS_RECORD_SIZE, dib.Block.data(), dib.Block.data() + dib.BitsOffset), -13)
        << breakage.Why;
  }
  PackedDib holes({40, 16, {0xF000, 0x0F0F, 0x00F0}, false, 0}, 4, 2, rng);  // a green mask in pieces
  EXPECT_EQ(KrnDIBToBitmap(b.get(), QS_RECORD_SIZE, holes.Block.data(), holes.Block.data() + holes.BitsOffset), -13);
  const uint8_t* rows = good.Block.data() + good.BitsOffset;
  EXPECT_EQ(KrnDIBToBitmap(nullptr, QS_RECORD_SIZE, good.Block.data(), rows), -2);
  EXPECT_EQ(KrnDIBToBitmap(b.get(), 0, good.Block.data(), rows), -789);
  EXPECT_EQ(KrnDIBToBitmap(b.get(), QS_RECORD_SIZE, nullptr, rows), -13);
  EXPECT_EQ(KrnDIBToBitmap(b.get(), QS_RECORD_SIZE, good.Block.data(), nullptr), -13);
  EXPECT_TRUE(SameBytes(b.Record, before));
  const int32_t used = ForEachAllocationFailure(
      [&] { return KrnDIBToBitmap(b.get(), QS_RECORD_SIZE, good.Block.data(), rows); },
      [&](int32_t result, int32_t nth) {
        EXPECT_EQ(result, -1) << "allocation " << nth;
        EXPECT_TRUE(SameBytes(b.Record, before)) << "allocation " << nth;
      });
  EXPECT_GE(used, 2);
}

TEST(DibHeader, TableLengthsAndTheHeaderForReadingGdiBitmaps) {
  const struct {
    uint32_t Size, Bits, Compression, Used, Entries;
  } tables[] = {{40, 1, 0, 0, 2}, {40, 4, 0, 0, 16}, {40, 8, 0, 0, 256}, {40, 8, 0, 12, 12}, {40, 24, 0, 0, 0},
                {40, 16, 3, 0, 3}, {40, 32, 3, 0, 3}, {40, 32, 0, 0, 0},  {124, 32, 3, 0, 0}, {12, 8, 0, 0, 256},
                {12, 24, 0, 0, 0}};
  for (const auto& t : tables) {
    uint8_t h[124] = {};
    std::memcpy(h, &t.Size, 4);
    std::memcpy(h + (t.Size == 12 ? 10 : 14), &t.Bits, 2);
    std::memcpy(h + 16, &t.Compression, 4);
    if (t.Size != 12) std::memcpy(h + 32, &t.Used, 4);
    EXPECT_EQ(DibColorCount(h), t.Entries) << t.Size << " " << t.Bits;
    EXPECT_EQ(DibBitsPointer(h), h + t.Size + t.Entries * (t.Size == 12 ? 3 : 4));
  }
  const struct {
    int32_t Depth;
    uint16_t Bits;
    uint32_t Compression, Red;
  } depths[] = {{1, 1, 0, 0}, {2, 4, 0, 0}, {4, 4, 0, 0}, {8, 8, 0, 0}, {15, 15, 0, 0},
                {16, 16, 3, 0x7C00}, {24, 24, 0, 0}, {32, 32, 3, 0xFF}};
  for (const auto& d : depths) {
    const DdbHeader made = MakeDdbHeader(30, 20, d.Depth);
    uint32_t size = 0, compression = 0;
    std::memcpy(&size, made.Header, 4);
    std::memcpy(&compression, made.Header + 16, 4);
    EXPECT_EQ(size, 40u);
    EXPECT_EQ(DibBitCount(made.Header), d.Bits) << d.Depth;
    EXPECT_EQ(compression, d.Compression) << d.Depth;
    EXPECT_EQ(made.Masks[0], d.Red) << d.Depth;
    EXPECT_EQ(made.Masks[3], 0u);
  }
  EXPECT_EQ(DibImageSize(30, 20, 24), 92u * 20u);
  EXPECT_EQ(DibImageSize(33, 2, 1), 16u);
}
}  // namespace
