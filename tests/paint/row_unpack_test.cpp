// Row unpackers: each member against values worked by hand from its rule, over offsets and
// partial bytes.
#include <gtest/gtest.h>

#include "paint/row_kernels.h"
#include "paint_test_support.h"

namespace {
std::vector<uint8_t> Unpack(UnpackRowFn fn, const BitmapRecord& bitmap, const std::vector<uint8_t>& src, int x0,
                            int x1, size_t outBytes, uint8_t fill = 0xA5) {
  std::vector<uint8_t> out(outBytes, fill);
  fn(out.data(), src.data(), &bitmap, x0, x1);
  return out;
}
}  // namespace

TEST(RowUnpackers, SelectorPairsAndMisses) {
  const std::pair<int, int> pairs[] = {{2, 4},  {3, 4},   {5, 8},   {6, 8},   {7, 8},   {12, 8},
                                       {12, 24}, {16, 8}, {16, 24}, {32, 24}, {48, 24}, {64, 24}};
  for (auto [src, out] : pairs) EXPECT_NE(SelectUnpackRow(src, out), nullptr) << src << " to " << out;
  for (auto [src, out] : {std::pair{1, 4}, std::pair{4, 4}, std::pair{8, 8}, std::pair{24, 24}, std::pair{2, 8},
                          std::pair{32, 8}, std::pair{0, 0}})
    EXPECT_EQ(SelectUnpackRow(src, out), nullptr) << src << " to " << out;
}

TEST(RowUnpackers, PackedValuesBecomeNibblesOrBytesFromAnyOffset) {
  DescribedBitmap bitmap(3, 0);
  // 3-bit values 0..7 then 7..0, packed most significant bit first.
  const std::vector<uint8_t> three = {0b00000101, 0b00111001, 0b01110111, 0b11111010, 0b11000000, 0b00000000};
  // x0 = 1, eleven values: 1..7, 7, 6, 5, 4; the last nibble keeps the low half of its byte.
  EXPECT_EQ(Unpack(UnpackRow3To4, bitmap.Record, three, 1, 12, 7),
            (std::vector<uint8_t>{0x12, 0x34, 0x56, 0x77, 0x65, 0x45, 0xA5}));

  const std::vector<uint8_t> two = {0b00011011, 0b11100100};
  EXPECT_EQ(Unpack(UnpackRow2To4, bitmap.Record, two, 1, 8, 4), (std::vector<uint8_t>{0x12, 0x33, 0x21, 0x05}));

  // 5-bit values 1, 2, 31, 16: 00001 00010 11111 10000.
  const std::vector<uint8_t> five = {0b00001000, 0b10111111, 0b00000000};
  EXPECT_EQ(Unpack(UnpackRow5To8, bitmap.Record, five, 0, 4, 5), (std::vector<uint8_t>{1, 2, 31, 16, 0xA5}));
  // 6-bit: 63, 1, 32; 7-bit: 127, 64.
  EXPECT_EQ(Unpack(UnpackRow6To8, bitmap.Record, {0b11111100, 0b00011000, 0b00000000}, 1, 3, 2),
            (std::vector<uint8_t>{1, 32}));
  EXPECT_EQ(Unpack(UnpackRow7To8, bitmap.Record, {0b11111111, 0b00000000, 0}, 0, 2, 2),
            (std::vector<uint8_t>{127, 64}));
}

TEST(RowUnpackers, TwelveBitOddPixelReadsTheHighBitsOfTheNextWord) {
  DescribedBitmap bitmap(12, 2);
  const std::vector<uint8_t> src = {0x21, 0x43, 0x65, 0x87, 0xA9, 0xCB};  // 0x321, 0x654, 0x987, 0xCBA
  // The full 12-bit window is read at its top 8 bits.
  EXPECT_EQ(Unpack(UnpackRow12GreyTo8, bitmap.Record, src, 1, 4, 4), (std::vector<uint8_t>{0x65, 0x98, 0xCB, 0xA5}));
  EXPECT_EQ(Unpack(UnpackRow12GreyTo24, bitmap.Record, src, 1, 2, 4), (std::vector<uint8_t>{0x65, 0x65, 0x65, 0xA5}));
  // A 4-bit window (bits 4..7) is spread over 0..255: v x 255 / 15.
  bitmap.Record.WindowLowBit = 4;
  bitmap.Record.WindowHighBit = 7;
  EXPECT_EQ(Unpack(UnpackRow12GreyTo8, bitmap.Record, src, 0, 4, 4), (std::vector<uint8_t>{0x22, 0x55, 0x88, 0xBB}));
}

TEST(RowUnpackers, DeepGreyWithWindowLevelTableWritesItsColour) {
  DescribedBitmap bitmap(16, 2);
  std::vector<uint32_t> lut(65536);
  for (uint32_t i = 0; i < lut.size(); ++i) lut[i] = 0x00102030u + i * 0x01000000u;
  lut[0x1234] = 0x00ABCDEF;
  bitmap.UseWindowLut(lut);
  const std::vector<uint8_t> src = {0x34, 0x12, 0x00, 0x00};
  EXPECT_EQ(Unpack(UnpackRow16GreyTo8, bitmap.Record, src, 0, 2, 3), (std::vector<uint8_t>{0xEF, 0x30, 0xA5}));
  EXPECT_EQ(Unpack(UnpackRow16To24, bitmap.Record, src, 0, 2, 7),
            (std::vector<uint8_t>{0xEF, 0xCD, 0xAB, 0x30, 0x20, 0x10, 0xA5}));
}

TEST(RowUnpackers, FiveFiveFiveKeepsStoredFieldOrderAndWidens) {
  for (int32_t order : {0, 1}) {
    DescribedBitmap bitmap(16, order);
    // fields (bits 0-4, 5-9, 10-14): (31, 0, 16) and (1, 2, 3)
    const uint16_t a = 31 | (16 << 10), b = 1 | (2 << 5) | (3 << 10);
    const std::vector<uint8_t> src = {uint8_t(a), uint8_t(a >> 8), uint8_t(b), uint8_t(b >> 8)};
    EXPECT_EQ(Unpack(UnpackRow16To24, bitmap.Record, src, 0, 2, 6),
              (std::vector<uint8_t>{255, 0, 132, 8, 16, 24}));
  }
}

TEST(RowUnpackers, DeepColourKeepsThreeBytesOrHighBytes) {
  DescribedBitmap bitmap(32, 0);
  EXPECT_EQ(Unpack(UnpackRow32To24, bitmap.Record, {1, 2, 3, 4, 5, 6, 7, 8}, 1, 2, 4),
            (std::vector<uint8_t>{5, 6, 7, 0xA5}));
  EXPECT_EQ(Unpack(UnpackRow48To24, bitmap.Record, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, 0, 2, 6),
            (std::vector<uint8_t>{2, 4, 6, 8, 10, 12}));
  EXPECT_EQ(Unpack(UnpackRow64To24, bitmap.Record, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}, 1, 2, 3),
            (std::vector<uint8_t>{10, 12, 14}));
}
