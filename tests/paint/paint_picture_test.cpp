// Every pixel of a paint against the reference model: each depth (1-bit grey as grey levels too),
// all eight orientations, same size, enlarged and reduced, source and destination clips,
// bottom-up destinations; the ordered dither to the fixed 8-bit palette, and resampled paints;
// on the fake device and (Windows) in a memory DC through Q_PaintDC.
#include <gtest/gtest.h>

#include <set>

#include "paint/paint_model.h"

using namespace paint_model;
using PaintPicture = PaintTest;

namespace {
void InvertedTone(BitmapRecord& b) {
  for (int i = 0; i < 256; ++i) b.PaintLUT[i] = uint8_t(255 - i / 2);
  b.Flags |= QS_FLAG_PAINT_LUT;
}

// A grey palette, painted as grey levels (mode 0x10) through a tone table that maps 255 to 128.
void GreyLevels(BitmapRecord& b, uint8_t first) {
  const RGBQUAD palette[2] = {{first, first, first, 0}, {uint8_t(~first), uint8_t(~first), uint8_t(~first), 0}};
  KrnSetBitmapColors(&b, 0, 2, palette);
  for (int i = 0; i < 256; ++i) b.PaintLUT[i] = uint8_t(i / 2 + (i == 0 ? 7 : 1));
  b.Flags |= QS_FLAG_PAINT_LUT;
}

void WindowLevelLut(BitmapRecord& b) {
  b.LUT = static_cast<uint32_t*>(KrnAlloc(65536 * 4));  // owned by the record
  for (int v = 0; v < 65536; ++v) b.LUT[v] = uint32_t(std::clamp((v - 10000) * 255 / 40000, 0, 255) * 0x010101);
  b.LUTLength = 65536, b.WindowLowBit = 0, b.WindowHighBit = 15;
}

const struct {
  const char* Name;
  int Bits, Order;
  void (*Prepare)(BitmapRecord&) = nullptr;
} kDepths[] = {
    {"1", 1, 0},  {"2", 2, 0},  {"3", 3, 0},  {"4", 4, 0},  {"5", 5, 0}, {"6", 6, 0}, {"7", 7, 0}, {"8", 8, 0},
    {"16 5-5-5", 16, 1},        {"24", 24, 1}, {"24 order 5", 24, 5},   {"32", 32, 1}, {"48", 48, 1}, {"64", 64, 1},
    {"8 toned", 8, 0, InvertedTone}, {"24 toned", 24, 1, InvertedTone}, {"16 grey LUT", 16, 2, WindowLevelLut},
    {"1 grey up", 1, 0, [](BitmapRecord& b) { GreyLevels(b, 0); }},
    {"1 grey down", 1, 0, [](BitmapRecord& b) { GreyLevels(b, 255); }},
    // A 10-bit window: its top 8 bits; a 6-bit window, stretched to 0..255.
    {"12 grey", 12, 2, [](BitmapRecord& b) { b.WindowLowBit = 1, b.WindowHighBit = 10; }},
    {"12 grey 6-bit window", 12, 2, [](BitmapRecord& b) { b.WindowLowBit = 3, b.WindowHighBit = 8; }}};

int W(const RECT& r) { return r.right - r.left; }
int H(const RECT& r) { return r.bottom - r.top; }

// For a picture of 13 x 9 or 9 x 13: source rectangles in picture terms (empty: none), the
// destination worked from the painted part of the picture.
const struct {
  const char* Name;
  RECT Src, SrcClip, DstClip;
  RECT (*Dst)(const RECT& part);
} kGeometries[] = {
    {"same size", {}, {}, {}, [](const RECT& p) { return RECT{3, 5, 3 + W(p), 5 + H(p)}; }},
    {"enlarged", {}, {}, {}, [](const RECT& p) { return RECT{1, 2, 3 + 3 * W(p), 5 + 2 * H(p)}; }},
    {"reduced", {}, {}, {}, [](const RECT& p) { return RECT{4, 4, 4 + 2 * W(p) / 3, 4 + H(p) / 2}; }},
    {"clipped, enlarged", {2, 1, 11, 8}, {3, 2, 9, 6}, {5, 3, 35, 28}, [](const RECT&) { return RECT{0, 0, 40, 30}; }},
    {"bottom-up, enlarged", {}, {}, {}, [](const RECT&) { return RECT{2, 40, 32, 15}; }},
    {"clipped, same size", {1, 1, 12, 8}, {0, 2, 10, 20}, {12, 11, 40, 40},
     [](const RECT& p) { return RECT{10, 10, 10 + W(p), 10 + H(p)}; }},
    {"clipped, reduced", {1, 0, 13, 9}, {4, 3, 13, 9}, {}, [](const RECT&) { return RECT{20, 20, 27, 25}; }},
    // Empty intersections paint nothing; a bottom-up destination with any clip is one.
    {"source clip beside it", {}, {14, 0, 20, 9}, {}, [](const RECT&) { return RECT{0, 0, 30, 30}; }},
    {"destination clip away", {}, {}, {100, 100, 120, 120}, [](const RECT&) { return RECT{0, 0, 30, 30}; }},
    {"bottom-up, clipped", {}, {}, {0, 0, 64, 48}, [](const RECT&) { return RECT{2, 40, 32, 15}; }}};
}  // namespace

TEST_F(PaintPicture, EveryDepthOrientationAndGeometryMatchesTheModel) {
  Mode(0x8 | 0x10);
  CanvasList canvases = MakeCanvases(64, 48);
  uint32_t seed = 1;
  for (const auto& d : kDepths) {
    for (int orientation = 1; orientation <= 8; ++orientation) {
      TestBitmap bitmap;
      MakeRandom(bitmap, orientation >= 5 ? 9 : 13, orientation >= 5 ? 13 : 9, d.Bits, d.Order, orientation, seed++);
      if (d.Prepare) d.Prepare(bitmap.Record);
      for (const auto& g : kGeometries) {
        // Turned into stored pixels here, so that every orientation paints the same part.
        RECT src = W(g.Src) > 0 ? g.Src : RECT{0, 0, PictureW(bitmap.Record), PictureH(bitmap.Record)};
        RECT srcClip = g.SrcClip;
        KrnRectFromPerspective(bitmap.get(), 1, &src);
        KrnRectFromPerspective(bitmap.get(), 1, &srcClip);
        const Request r{W(g.Src) > 0 ? &src : nullptr, W(g.SrcClip) > 0 ? &srcClip : nullptr,
                        g.Dst(PictureRect(bitmap.Record, src)), W(g.DstClip) > 0 ? &g.DstClip : nullptr};
        for (auto& canvas : canvases) {
          ASSERT_EQ(PaintAndCompare(*canvas, bitmap.Record, r, Shown(bitmap.Record)), "")
              << "depth " << d.Name << ", orientation " << orientation << ", " << g.Name;
          EXPECT_EQ(bitmap->KrnAccessCount, 0u) << "pixel access released";
        }
      }
    }
  }
}

TEST_F(PaintPicture, OrderedDitherMatchesThePerPixelModel) {
  FakeCanvas canvas(48, 40, 8);
  for (int orientation = 1; orientation <= 8; ++orientation) {
    for (int bits : {24, 8}) {
      TestBitmap bitmap;
      MakeRandom(bitmap, orientation >= 5 ? 9 : 11, orientation >= 5 ? 11 : 9, bits, 1, orientation, orientation);
      for (int i = 0; i < 256; ++i) bitmap->PaintLUT[i] = uint8_t(i * 3 / 4 + 20);
      const RECT scaled{2, 3, 40, 35}, same{5, 6, 5 + PictureW(bitmap.Record), 6 + PictureH(bitmap.Record)};
      for (uint32_t indices : {0, 0x4}) {  // dither on 8-bit devices too, ordered; colours or indices
        Mode(0x8 | 0x80 | 0x1 | indices);
        for (const RECT& dst : {scaled, same}) {
          SCOPED_TRACE(testing::Message() << "bits " << bits << " orientation " << orientation << " indices " << indices
                                          << (dst.right == same.right ? " same size" : " scaled"));
          const ColourFn ordered = OrderedModel(bitmap.Record, dst, dst.right == same.right);
          // Sent as indices of the fixed palette: the index's colour is the model's.
          const ColourFn viaIndex = [&](int x, int y, int px, int py, int sx, int sy) {
            const uint8_t index = canvas.Indices[size_t(y) * canvas.Width + x];
            return Palette332(index) == ordered(x, y, px, py, sx, sy) ? 0xFF000000u | index : 0x1000000u;
          };
          EXPECT_EQ(PaintAndCompare(canvas, bitmap.Record, {.Dst = dst}, indices ? viaIndex : ordered), "");
        }
      }
    }
  }
}

TEST_F(PaintPicture, ErrorDiffusionKeepsToThePaletteAndTheColour) {
  TestBitmap bitmap;  // a flat colour between palette levels
  ASSERT_EQ(KrnAllocateBitmap(bitmap.get(), 164, KRN_MEMORY_ONE_BLOCK, 16, 16, 24, 1, nullptr, 1, nullptr, 0), 1);
  KrnFillBitmap(bitmap.get(), 0x60A050);  // red 0x50, green 0xA0, blue 0x60
  FakeCanvas canvas(40, 40, 8);
  const RECT dst{0, 0, 40, 40};
  canvas.Clear(kBackground);
  ASSERT_EQ(canvas.Paint(bitmap.get(), nullptr, nullptr, &dst, nullptr), 1);
  int sum[3] = {};
  for (int i = 0; i < 1600; ++i) {
    const uint32_t c = canvas.Pixels[i];
    ASSERT_EQ(c, Palette332(canvas.Indices[i])) << "a fixed-palette colour";
    sum[0] += R(c), sum[1] += G(c), sum[2] += B(c);
  }
  EXPECT_NEAR(sum[0] / 1600.0, 0x50, 4);
  EXPECT_NEAR(sum[1] / 1600.0, 0xA0, 4);
  EXPECT_NEAR(sum[2] / 1600.0, 0x60, 4);
}

// Resampling (0x200 and 0x400) of a picture whose left half is dark red and right half light blue:
// exactly the visible destination painted, the picture upright, an enlarged edge smooth.
TEST_F(PaintPicture, BothResamplingOptionsPaintExactlyTheDestinationSmoothlyAndUpright) {
  CanvasList canvases = MakeCanvases(60, 40);
  RGBQUAD palette[256] = {{0x10, 0x10, 0xA0, 0}, {0xF0, 0xC0, 0x40, 0}};  // full: the resampler may read any entry
  for (int orientation = 1; orientation <= 8; ++orientation) {
    for (int bits : {24, 8}) {
      TestBitmap bitmap;
      const bool turned = orientation >= 5;
      ASSERT_EQ(KrnAllocateBitmap(bitmap.get(), 164, KRN_MEMORY_ONE_BLOCK, turned ? 6 : 8, turned ? 8 : 6, bits, 1,
                                  bits <= 8 ? palette : nullptr, orientation, nullptr, 0),
                1);
      std::vector<uint8_t> row(size_t(bitmap->BytesPerLine));
      for (int py = 0; py < 6; ++py)
        for (int px = 0; px < 8; ++px) {
          int sx, sy;
          StoredOf(orientation, 8, 6, px, py, sx, sy);
          KrnGetBitmapRow(bitmap.get(), row.data(), sy, 0, uint32_t(row.size()));
          pixel_model::Put(row.data(), bits, sx, bits <= 8 ? uint64_t(px >= 4) : (px >= 4 ? 0x40C0F0 : 0xA01010));
          KrnPutBitmapRow(bitmap.get(), row.data(), sy, 0, uint32_t(row.size()));
        }
      for (uint32_t option : {0x200u, 0x400u}) {
        Mode(0x8 | option);
        for (const RECT& dst : {RECT{3, 2, 53, 37}, RECT{5, 5, 9, 8}}) {  // enlarged and reduced
          const RECT clip{4, 3, 50, 36};
          RECT visible;
          Intersect(visible, dst, clip);
          for (auto& canvas : canvases) {
            SCOPED_TRACE(testing::Message()
                         << canvas->Name << " option " << option << " orientation " << orientation << " bits " << bits);
            canvas->Clear(kBackground);
            ASSERT_EQ(canvas->Paint(bitmap.get(), nullptr, nullptr, &dst, &clip), 1);
            std::set<uint32_t> middle;
            for (int y = 0; y < canvas->Height; ++y) {
              for (int x = 0; x < canvas->Width; ++x) {
                const bool in = x >= visible.left && x < visible.right && y >= visible.top && y < visible.bottom;
                const uint32_t c = canvas->Pixel(x, y);
                ASSERT_EQ(c != kBackground, in) << "(" << x << "," << y << ")";
                if (!in) continue;
                const int dx = x - dst.left, w = dst.right - dst.left;
                EXPECT_TRUE(4 * dx >= w - 4 || R(c) > B(c)) << "left half reddish at " << x;
                EXPECT_TRUE(4 * dx <= 3 * w + 4 || B(c) > R(c)) << "right half bluish at " << x;
                if (y == (visible.top + visible.bottom) / 2) middle.insert(c);
              }
            }
            EXPECT_TRUE(W(dst) <= 20 || middle.size() >= 3u) << "an enlarged edge has intermediate colours";
          }
        }
      }
    }
  }
}
