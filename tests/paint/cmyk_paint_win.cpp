// CMYK planes painted in a memory DC: every pixel against the CMYK model at 8 and 16 bits per
// sample, a source clip that starts inside the image, the checks in order, and the colour
// library loaded for a transform and unloaded after.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "colorlib/qsclr.h"
#include "paint/paint_model.h"

using namespace paint_model;
using CmykPaint = PaintTest;

namespace {
struct Planes {
  TestBitmap Plane[4];
  BitmapRecord* Pointers[4];
  explicit Planes(int32_t bits, int32_t width = 13, int32_t height = 9) {
    for (int p = 0; p < 4; ++p) {
      MakeRandom(Plane[p], width, height, bits, 2, 1, uint32_t(40 + p));
      Pointers[p] = Plane[p].get();
    }
  }
  // Sample (x, y) of plane p on 0..255 (16-bit samples by their high byte after the sum).
  int32_t Sample(int p, int32_t x, int32_t y) {
    std::vector<uint8_t> row(size_t(Plane[p]->BytesPerLine));
    KrnGetBitmapRow(Plane[p].get(), row.data(), y, 0, uint32_t(row.size()));
    return int32_t(pixel_model::Get(row.data(), Plane[p]->BitsPerPixel, x));
  }
  // The colour shown for (x, y): each channel the full value less its ink and the black.
  uint32_t Shown(int32_t x, int32_t y) {
    const int32_t full = Plane[0]->BitsPerPixel == 8 ? 255 : 65535, k = Sample(3, x, y);
    auto channel = [&](int p) { return std::max(0, full - k - Sample(p, x, y)) >> (full == 255 ? 0 : 8); };
    return Rgb(channel(0), channel(1), channel(2));
  }
};

std::string Compare(DibCanvas& canvas, Planes& planes, const RECT& shown) {
  GdiFlush();
  for (int32_t y = 0; y < canvas.Height; ++y)
    for (int32_t x = 0; x < canvas.Width; ++x) {
      const bool inside = x >= shown.left + 2 && x < shown.right + 2 && y >= shown.top + 3 && y < shown.bottom + 3;
      const uint32_t want = inside ? planes.Shown(x - 2, y - 3) : (kBackground & 0xFFFFFF);
      if (canvas.Pixel(x, y) != want)
        return "pixel " + std::to_string(x) + "," + std::to_string(y) + ": " + std::to_string(canvas.Pixel(x, y)) +
               " not " + std::to_string(want);
    }
  return "";
}
}  // namespace

TEST_F(CmykPaint, PlanesPaintAsTheirColours) {
  for (int32_t bits : {8, 16}) {
    Planes planes(bits);
    const RECT dst{2, 3, 15, 12};
    DibCanvas canvas(20, 16);
    canvas.Clear(kBackground);
    ASSERT_EQ(Q_PaintDCCMYKArray(canvas.Dc, planes.Pointers, 4, nullptr, nullptr, &dst, nullptr, SRCCOPY, nullptr), 1);
    EXPECT_EQ(Compare(canvas, planes, RECT{0, 0, 13, 9}), "") << bits << " bits";
    const RECT clip{4, 2, 11, 7};  // columns from 4 on land at their own place
    canvas.Clear(kBackground);
    ASSERT_EQ(Q_PaintDCCMYKArray(canvas.Dc, planes.Pointers, 4, nullptr, &clip, &dst, nullptr, SRCCOPY, nullptr), 1);
    EXPECT_EQ(Compare(canvas, planes, clip), "") << bits << " bits, clipped";
  }
}

TEST_F(CmykPaint, ChecksComeInOrder) {
  Planes planes(8);
  const RECT dst{0, 0, 13, 9};
  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_EQ(Q_PaintDCCMYKArray(dc, planes.Pointers, 3, nullptr, nullptr, &dst, nullptr, SRCCOPY, nullptr), -13);
  EXPECT_EQ(Q_PaintDCCMYKArray(dc, nullptr, 4, nullptr, nullptr, &dst, nullptr, SRCCOPY, nullptr), -814);
  BitmapRecord* withNull[4] = {planes.Pointers[0], planes.Pointers[1], nullptr, planes.Pointers[3]};
  EXPECT_EQ(Q_PaintDCCMYKArray(dc, withNull, 4, nullptr, nullptr, &dst, nullptr, SRCCOPY, nullptr), -814);
  TestBitmap oneBit, taller;
  MakeRandom(oneBit, 13, 9, 1, 0, 1, 1);
  MakeRandom(taller, 13, 10, 8, 2, 1, 1);
  BitmapRecord* mono[4] = {oneBit.get(), planes.Pointers[1], planes.Pointers[2], planes.Pointers[3]};
  EXPECT_EQ(Q_PaintDCCMYKArray(dc, mono, 4, nullptr, nullptr, &dst, nullptr, SRCCOPY, nullptr), -2);
  BitmapRecord* uneven[4] = {planes.Pointers[0], taller.get(), planes.Pointers[2], planes.Pointers[3]};
  EXPECT_EQ(Q_PaintDCCMYKArray(dc, uneven, 4, nullptr, nullptr, &dst, nullptr, SRCCOPY, nullptr), -13);
  DeleteDC(dc);
}

// The transform's library converts the rows and is let go when the paint ends.
TEST_F(CmykPaint, TheColourLibraryServesTransformsAndIsReleased) {
  HMODULE library = LoadLibraryA("QSCLR14N.DLL");
  ASSERT_NE(library, nullptr);
  auto create = reinterpret_cast<void*(QSCLR_API*)(int32_t)>(
      reinterpret_cast<void*>(GetProcAddress(library, "ClrCreateCmykTransform")));
  auto uses = reinterpret_cast<int32_t(QSCLR_API*)(const void*)>(
      reinterpret_cast<void*>(GetProcAddress(library, "ClrTransformUses")));
  auto release = reinterpret_cast<void(QSCLR_API*)(void*)>(
      reinterpret_cast<void*>(GetProcAddress(library, "ClrDeleteTransform")));
  ASSERT_TRUE(create && uses && release);
  void* transform = create(8);
  Planes planes(8);
  const RECT dst{2, 3, 15, 12};
  DibCanvas canvas(20, 16);
  canvas.Clear(kBackground);
  ASSERT_EQ(Q_PaintDCCMYKArray(canvas.Dc, planes.Pointers, 4, nullptr, nullptr, &dst, nullptr, SRCCOPY, transform), 1);
  EXPECT_EQ(uses(transform), 9) << "one conversion per row";
  EXPECT_EQ(Compare(canvas, planes, RECT{0, 0, 13, 9}), "");
  release(transform);
  FreeLibrary(library);
  EXPECT_EQ(GetModuleHandleA("QSCLR14N.DLL"), nullptr) << "the paint kept the library loaded";
}
