// Q_CreatePaintPalette on the screen (run at depths 8, 16 and 24) and on a null device context.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "common/kernel_fixture.h"
#include "paint/fixed_palettes.h"
#include "qsdisp.h"

namespace {
class PaintPaletteScreen : public KernelLeakTest {
 protected:
  void SetUp() override {
    KernelLeakTest::SetUp();
    screen_ = GetDC(nullptr);
    depth_ = GetDeviceCaps(screen_, BITSPIXEL) * GetDeviceCaps(screen_, PLANES);
    previousMode_ = Q_SetDisplayMode(0xFFFFFFFFu, 12);
  }
  void TearDown() override {
    Q_SetDisplayMode(0xFFFFFFFFu, previousMode_);
    ReleaseDC(nullptr, screen_);
    KrnFreeBitmap(bitmap_.get());
    KernelLeakTest::TearDown();
  }
  void Allocate(int bits, int order, const RGBQUAD* palette = nullptr) {
    ASSERT_EQ(KrnAllocateBitmap(bitmap_.get(), 164, KRN_MEMORY_ONE_BLOCK, 8, 8, bits, order, palette, 1, nullptr, 0), 1);
  }
  void InvertTone() {
    for (int i = 0; i < 256; ++i) bitmap_->PaintLUT[i] = uint8_t(255 - i);
    bitmap_->Flags |= QS_FLAG_PAINT_LUT;
  }
  HDC screen_ = nullptr;
  int depth_ = 0;
  uint32_t previousMode_ = 0;
  TestBitmap bitmap_;
};

// The palette's entries, deleting it; empty for no palette.
std::vector<RGBQUAD> Entries(HPALETTE palette) {
  std::vector<RGBQUAD> out;
  if (palette == nullptr) return out;
  WORD count = 0;
  GetObjectW(palette, sizeof count, &count);
  std::vector<PALETTEENTRY> raw(count);
  GetPaletteEntries(palette, 0, count, raw.data());
  DeleteObject(palette);
  for (const PALETTEENTRY& e : raw) out.push_back(RGBQUAD{e.peBlue, e.peGreen, e.peRed, 0});
  return out;
}

std::vector<RGBQUAD> Table(const RGBQUAD* first, size_t n) { return std::vector<RGBQUAD>(first, first + n); }

std::vector<RGBQUAD> GreyRamp(bool inverted) {
  std::vector<RGBQUAD> ramp;
  for (int i = 0; i < 256; ++i) {
    const auto v = uint8_t(inverted ? 255 - i : i);
    ramp.push_back(RGBQUAD{v, v, v, 0});
  }
  return ramp;
}
}  // namespace

// Palettes compare by colour (a GDI palette keeps no reserved byte).
static bool operator==(const RGBQUAD& a, const RGBQUAD& b) {
  return a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen && a.rgbBlue == b.rgbBlue;
}

TEST_F(PaintPaletteScreen, TrueColourBitmapGetsTheFixedPaletteOnlyOnAPaletteScreen) {
  const char* asked = std::getenv("QS_XDEPTH");
  if (asked != nullptr && std::atoi(asked) == 8) {
    ASSERT_EQ(depth_, 8) << "the palette screen was not given";
  }
  Allocate(24, 0);
  EXPECT_EQ(Q_CreatePaintPalette(nullptr, bitmap_.get()), nullptr);  // a null context is 24 bits
  const std::vector<RGBQUAD> got = Entries(Q_CreatePaintPalette(screen_, bitmap_.get()));
  if (depth_ == 8) {
    EXPECT_EQ(got, Table(FixedPalette332.data(), 256));
    Q_SetDisplayMode(0x100, 0x100);
    EXPECT_EQ(Entries(Q_CreatePaintPalette(screen_, bitmap_.get())), Table(FixedPaletteCube.data(), 256));
  } else {
    EXPECT_TRUE(got.empty()) << "depth " << depth_;
  }
}

TEST_F(PaintPaletteScreen, FourBitBitmapKeepsItsOwnPalette) {
  Allocate(4, 0, FixedPalette16.data());
  Q_SetDisplayMode(0xFFFFFFFFu, 0x8C);  // with W a 4-bit bitmap dithers on an 8-bit screen
  const std::vector<RGBQUAD> got = Entries(Q_CreatePaintPalette(screen_, bitmap_.get()));
  if (depth_ == 8) {
    EXPECT_EQ(got, Table(FixedPalette332.data(), 256));
  } else {
    EXPECT_EQ(got, Table(FixedPalette16.data(), 16));
  }
  Q_SetDisplayMode(0xFFFFFFFFu, 12);
  EXPECT_EQ(Entries(Q_CreatePaintPalette(screen_, bitmap_.get())), Table(FixedPalette16.data(), 16));
}

TEST_F(PaintPaletteScreen, TonedPaletteBitmapComesBackThroughItsToneTable) {
  Allocate(8, 0);  // grey ramp palette
  EXPECT_EQ(Entries(Q_CreatePaintPalette(screen_, bitmap_.get())), GreyRamp(false));
  InvertTone();
  EXPECT_EQ(Entries(Q_CreatePaintPalette(screen_, bitmap_.get())), GreyRamp(true));
  EXPECT_EQ(Entries(Q_CreatePaintPalette(nullptr, bitmap_.get())), GreyRamp(true));
}

TEST_F(PaintPaletteScreen, DeepGreyAndGreyPaintedMonoGetTheToneMappedRamp) {
  Allocate(16, 2);
  InvertTone();
  EXPECT_EQ(Entries(Q_CreatePaintPalette(screen_, bitmap_.get())), GreyRamp(true));
  KrnFreeBitmap(bitmap_.get());
  Allocate(16, 0);  // 5-5-5 colour needs no palette on a deep screen, dithers on a palette one
  const std::vector<RGBQUAD> colour = Entries(Q_CreatePaintPalette(screen_, bitmap_.get()));
  EXPECT_EQ(colour.size(), depth_ == 8 ? 256u : 0u);

  KrnFreeBitmap(bitmap_.get());
  Allocate(1, 0);  // black, white
  Q_SetDisplayMode(0xFFFFFFFFu, 0x1C);
  EXPECT_EQ(Entries(Q_CreatePaintPalette(screen_, bitmap_.get())), GreyRamp(false));
}

TEST_F(PaintPaletteScreen, BadRecordsAndFailedAllocationsGiveNoPalette) {
  EXPECT_EQ(Q_CreatePaintPalette(screen_, nullptr), nullptr);
  Allocate(8, 0);
  bitmap_->StructSize = 165;
  EXPECT_EQ(Q_CreatePaintPalette(screen_, bitmap_.get()), nullptr);
  bitmap_->StructSize = 164;
  InvertTone();
  ForEachAllocationFailure(
      [&] {
        HPALETTE palette = Q_CreatePaintPalette(screen_, bitmap_.get());
        const int32_t made = palette != nullptr;
        if (palette) DeleteObject(palette);
        return made;
      },
      [](int32_t made, int32_t nth) { EXPECT_EQ(made, 0) << "allocation " << nth; });
}
