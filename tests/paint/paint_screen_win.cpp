// Painting on screens of depth 8, 16 and 24 (run once per Xvfb depth): the device's depth class
// decides whether a paint dithers to the fixed palette, palette-index bands show the fixed palette
// through the paint palette, a window shows the picture; and Q_CreatePaintPalette on the screen
// and on a null device context.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <vector>

#include "paint/fixed_palettes.h"
#include "paint/paint_model.h"

using namespace paint_model;

namespace {
class ScreenPaint : public PaintTest {
 protected:
  void SetUp() override {
    PaintTest::SetUp();
    screen_ = GetDC(nullptr);
    depth_ = GetDeviceCaps(screen_, BITSPIXEL) * GetDeviceCaps(screen_, PLANES);
  }
  void TearDown() override {
    ReleaseDC(nullptr, screen_);
    KrnFreeBitmap(bitmap_.get());
    PaintTest::TearDown();
  }
  void Allocate(int bits, int order, const RGBQUAD* palette = nullptr, bool invertTone = false) {
    KrnFreeBitmap(bitmap_.get());
    ASSERT_EQ(KrnAllocateBitmap(bitmap_.get(), 164, KRN_MEMORY_ONE_BLOCK, 8, 8, bits, order, palette, 1, nullptr, 0),
              1);
    if (!invertTone) return;
    for (int i = 0; i < 256; ++i) bitmap_->PaintLUT[i] = uint8_t(255 - i);
    bitmap_->Flags |= QS_FLAG_PAINT_LUT;
  }
  // The palette made for the bitmap on `dc`, deleted; empty for no palette.
  std::vector<RGBQUAD> Made(HDC dc) {
    HPALETTE palette = Q_CreatePaintPalette(dc, bitmap_.get());
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
  std::vector<RGBQUAD> Made() { return Made(screen_); }
  HDC screen_ = nullptr;
  int depth_ = 0;
  TestBitmap bitmap_;
};

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

TEST_F(ScreenPaint, PaletteScreensDitherToTheFixedPaletteOthersPaintColours) {
  // Ordered dither on palette devices; on palette screens also as indices through the paint
  // palette.
  for (uint32_t indices : {0, 0x4}) {
    if (indices && depth_ > 8) continue;
    Mode(0x8 | 0x1 | indices);
    TestBitmap bitmap;
    MakeRandom(bitmap, 10, 10, 24, 1, 1, 55);
    DibCanvas canvas(40, 40);
    HPALETTE palette = indices ? Q_CreatePaintPalette(canvas.Dc, bitmap.get()) : nullptr;
    ASSERT_EQ(palette != nullptr, indices != 0);
    HPALETTE old = palette ? SelectPalette(canvas.Dc, palette, FALSE) : nullptr;
    if (palette) RealizePalette(canvas.Dc);
    const RECT dst{2, 3, 37, 38};
    const ColourFn model = depth_ <= 8 ? OrderedModel(bitmap.Record, dst, false) : Shown(bitmap.Record);
    EXPECT_EQ(PaintAndCompare(canvas, bitmap.Record, {.Dst = dst}, model), "")
        << "screen depth " << depth_ << " indices " << indices;
    if (old) SelectPalette(canvas.Dc, old, FALSE);
    if (palette) DeleteObject(palette);
  }
}

TEST_F(ScreenPaint, AWindowShowsThePicture) {
  // Primaries, black and white read back exactly at every screen depth; the picture is stored
  // turned (orientation 6) and painted enlarged.
  const uint32_t colours[] = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF, 0xFF00FF};
  TestBitmap bitmap;
  ASSERT_EQ(KrnAllocateBitmap(bitmap.get(), 164, KRN_MEMORY_ONE_BLOCK, 4, 8, 24, 1, nullptr, 6, nullptr, 0), 1);
  std::vector<uint8_t> row(size_t(bitmap->BytesPerLine));
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 8; ++x) {
      int sx, sy;
      StoredOf(6, 8, 4, x, y, sx, sy);
      KrnGetBitmapRow(bitmap.get(), row.data(), sy, 0, uint32_t(row.size()));
      pixel_model::Put(row.data(), 24, sx, colours[(x + y) % 8]);  // blue, green, red bytes
      KrnPutBitmapRow(bitmap.get(), row.data(), sy, 0, uint32_t(row.size()));
    }
  }
  HWND window = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 10, 10, 64, 32, nullptr, nullptr,
                                nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  UpdateWindow(window);
  HDC dc = GetDC(window);
  const RECT dst{0, 0, 64, 32};
  ASSERT_EQ(Q_PaintDC(dc, bitmap.get(), nullptr, nullptr, &dst, nullptr, SRCCOPY), 1);
  DibCanvas copy(64, 32);
  BitBlt(copy.Dc, 0, 0, 64, 32, dc, 0, 0, SRCCOPY);
  GdiFlush();
  ReleaseDC(window, dc);
  DestroyWindow(window);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 64; ++x) ASSERT_EQ(copy.Pixel(x, y), colours[(x / 8 + y / 8) % 8]) << x << "," << y;
}

TEST_F(ScreenPaint, TrueColourBitmapGetsTheFixedPaletteOnlyOnAPaletteScreen) {
  Mode(12);
  const char* asked = std::getenv("QS_XDEPTH");
  if (asked != nullptr && std::atoi(asked) == 8) {
    ASSERT_EQ(depth_, 8) << "the palette screen was not given";
  }
  Allocate(24, 0);
  EXPECT_EQ(Made(nullptr).size(), 0u) << "a null context is 24 bits";
  if (depth_ == 8) {
    EXPECT_EQ(Made(), Table(FixedPalette332.data(), 256));
    Mode(0x100 | 12);
    EXPECT_EQ(Made(), Table(FixedPaletteCube.data(), 256));
  } else {
    EXPECT_EQ(Made().size(), 0u) << "depth " << depth_;
  }
  Allocate(16, 0);  // 5-5-5 colour needs no palette on a deep screen, dithers on a palette one
  Mode(12);
  EXPECT_EQ(Made().size(), depth_ == 8 ? 256u : 0u);
}

TEST_F(ScreenPaint, PaletteBitmapsKeepTheirOwnPaletteThroughTheirToneTable) {
  Allocate(4, 0, FixedPalette16.data());
  Mode(0x8C);  // with W a 4-bit bitmap dithers on an 8-bit screen
  EXPECT_EQ(Made(), depth_ == 8 ? Table(FixedPalette332.data(), 256) : Table(FixedPalette16.data(), 16));
  Mode(12);
  EXPECT_EQ(Made(), Table(FixedPalette16.data(), 16));
  Allocate(8, 0);  // grey ramp palette
  EXPECT_EQ(Made(), GreyRamp(false));
  Allocate(8, 0, nullptr, true);
  EXPECT_EQ(Made(), GreyRamp(true));
  EXPECT_EQ(Made(nullptr), GreyRamp(true));
  Allocate(16, 2, nullptr, true);  // deep grey: the tone-mapped ramp
  EXPECT_EQ(Made(), GreyRamp(true));
  Allocate(1, 0);  // black and white painted as grey levels
  Mode(0x1C);
  EXPECT_EQ(Made(), GreyRamp(false));
}

TEST_F(ScreenPaint, BadRecordsAndFailedAllocationsGiveNoPalette) {
  Mode(12);
  EXPECT_EQ(Q_CreatePaintPalette(screen_, nullptr), nullptr);
  Allocate(8, 0, nullptr, true);
  bitmap_->StructSize = 165;
  EXPECT_EQ(Q_CreatePaintPalette(screen_, bitmap_.get()), nullptr);
  bitmap_->StructSize = 164;
  ForEachAllocationFailure([&] { return int32_t(Made().size()); },
                           [](int32_t made, int32_t nth) { EXPECT_EQ(made, 0) << "allocation " << nth; });
}
