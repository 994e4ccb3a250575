// Every pixel of a paint against the reference model: each depth, all eight orientations,
// same size, enlarged and reduced, source and destination clips, bottom-up destinations, on the
// fake device and (Windows) in a memory DC through Q_PaintDC.
#include <gtest/gtest.h>

#include "paint/paint_expect.h"
#include "qsdisp.h"

using namespace paint_model;

namespace {
struct DepthCase {
  const char* Name;
  int Bits, Order;
  void (*Prepare)(BitmapRecord&);
};

void NoChange(BitmapRecord&) {}
void Window12(BitmapRecord& b) {
  b.WindowLowBit = 1;  // a 10-bit window: its top 8 bits
  b.WindowHighBit = 10;
}
void Window6(BitmapRecord& b) {  // fewer than 8 bits, stretched to 0..255
  b.WindowLowBit = 3;
  b.WindowHighBit = 8;
}
void WindowLevelLut(BitmapRecord& b) {  // 16-bit grey through a window-level table
  b.LUT = static_cast<uint32_t*>(KrnAlloc(65536 * 4));  // owned by the record
  for (int v = 0; v < 65536; ++v) b.LUT[v] = uint32_t(std::clamp((v - 10000) * 255 / 40000, 0, 255) * 0x010101);
  b.LUTLength = 65536;
  b.WindowLowBit = 0;
  b.WindowHighBit = 15;
}
void InvertedTone(BitmapRecord& b) {
  for (int i = 0; i < 256; ++i) b.PaintLUT[i] = uint8_t(255 - i / 2);
  b.Flags |= QS_FLAG_PAINT_LUT;
}

const DepthCase kDepths[] = {
    {"1", 1, 0, NoChange},         {"2", 2, 0, NoChange},       {"3", 3, 0, NoChange},
    {"4", 4, 0, NoChange},         {"5", 5, 0, NoChange},       {"6", 6, 0, NoChange},
    {"7", 7, 0, NoChange},         {"8", 8, 0, NoChange},       {"8 toned", 8, 0, InvertedTone},
    {"12 grey", 12, 2, Window12},  {"12 grey 6-bit window", 12, 2, Window6},
    {"16 grey LUT", 16, 2, WindowLevelLut},                     {"16 5-5-5", 16, 1, NoChange},
    {"24", 24, 1, NoChange},       {"24 toned", 24, 1, InvertedTone}, {"24 order 5", 24, 5, NoChange},
    {"32", 32, 1, NoChange},       {"48", 48, 1, NoChange},     {"64", 64, 1, NoChange},
};

// Rectangles for a bitmap whose picture is pw x ph (13 x 9 or 9 x 13).
struct Geometry {
  const char* Name;
  bool HasSrc, HasSrcClip, HasDstClip;
  RECT Src, SrcClip, DstClip;
  RECT (*Dst)(int pw, int ph, const RECT& picture);
};

int W(const RECT& r) { return r.right - r.left; }
int H(const RECT& r) { return r.bottom - r.top; }

const Geometry kGeometries[] = {
    {"same size", false, false, false, {}, {}, {}, [](int, int, const RECT& p) { return RECT{3, 5, 3 + W(p), 5 + H(p)}; }},
    {"enlarged", false, false, false, {}, {}, {}, [](int, int, const RECT& p) { return RECT{1, 2, 3 + 3 * W(p), 5 + 2 * H(p)}; }},
    {"reduced", false, false, false, {}, {}, {}, [](int, int, const RECT& p) { return RECT{4, 4, 4 + 2 * W(p) / 3, 4 + H(p) / 2}; }},
    {"clipped, enlarged", true, true, true, {2, 1, 11, 8}, {3, 2, 9, 6}, {5, 3, 35, 28},
     [](int, int, const RECT&) { return RECT{0, 0, 40, 30}; }},
    {"bottom-up, enlarged", false, false, false, {}, {}, {}, [](int, int, const RECT&) { return RECT{2, 40, 32, 15}; }},
    {"clipped, same size", true, true, true, {1, 1, 12, 8}, {0, 2, 10, 20}, {12, 11, 40, 40},
     [](int, int, const RECT& p) { return RECT{10, 10, 10 + W(p), 10 + H(p)}; }},
    {"clipped, reduced", true, true, false, {1, 0, 13, 9}, {4, 3, 13, 9}, {}, [](int, int, const RECT&) { return RECT{20, 20, 27, 25}; }},
};

constexpr int kCanvasW = 64, kCanvasH = 48;

class PaintPicture : public KernelLeakTest {
 protected:
  void SetUp() override {
    KernelLeakTest::SetUp();
    previousMode_ = Q_SetDisplayMode(0xFFFFFFFF, 0x8);  // colours, not palette indices
  }
  void TearDown() override {
    Q_SetDisplayMode(0xFFFFFFFF, previousMode_);
    KernelLeakTest::TearDown();
  }
  uint32_t previousMode_ = 0;
};

// Paints one request on every canvas and compares.
void PaintAndCompare(CanvasList& canvases, BitmapRecord& b, const Request& r, const ColourFn& colour,
                     const std::string& what) {
  for (auto& canvas : canvases) {
    canvas->Clear(kBackground);
    ASSERT_EQ(canvas->Paint(&b, r.Src, r.SrcClip, &r.Dst, r.DstClip), 1) << what << " on " << canvas->Name();
    const std::string diff = Compare(*canvas, b, r, colour);
    ASSERT_EQ(diff, "") << what << " on " << canvas->Name();
    EXPECT_EQ(b.KrnAccessCount, 0u) << "pixel access released";
  }
}
}  // namespace

TEST_F(PaintPicture, EveryDepthOrientationAndGeometryMatchesTheModel) {
  CanvasList canvases = MakeCanvases(kCanvasW, kCanvasH);
  uint32_t seed = 1;
  for (const DepthCase& d : kDepths) {
    for (int orientation = 1; orientation <= 8; ++orientation) {
      TestBitmap bitmap;
      const bool transposed = orientation >= 5;
      MakeRandom(bitmap, transposed ? 9 : 13, transposed ? 13 : 9, d.Bits, d.Order, orientation, seed++);
      d.Prepare(bitmap.Record);
      for (const Geometry& g : kGeometries) {
        // Source rectangles are given in picture terms and turned into stored pixels here, so
        // every orientation paints the same part of the picture.
        Request r;
        RECT src{}, srcClip{}, dstClip = g.DstClip;
        const RECT whole{0, 0, bitmap->Width, bitmap->Height};
        if (g.HasSrc) {
          src = g.Src;
          KrnRectFromPerspective(bitmap.get(), 1, &src);
          r.Src = &src;
        }
        if (g.HasSrcClip) {
          srcClip = g.SrcClip;
          KrnRectFromPerspective(bitmap.get(), 1, &srcClip);
          r.SrcClip = &srcClip;
        }
        if (g.HasDstClip) r.DstClip = &dstClip;
        r.Dst = g.Dst(PictureW(bitmap.Record), PictureH(bitmap.Record), PictureRect(bitmap.Record, g.HasSrc ? src : whole));
        const std::string what = std::string("depth ") + d.Name + ", orientation " + std::to_string(orientation) +
                                 ", " + g.Name;
        PaintAndCompare(canvases, bitmap.Record, r, Shown(bitmap.Record), what);
        if (HasFatalFailure()) return;
      }
    }
  }
}
