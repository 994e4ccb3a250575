// 1-bit grey bitmaps painted as grey levels (kinds 3 and 4) at the same size, and the bit
// expansion beneath them.
#include <gtest/gtest.h>

#include "paint/paint_expect.h"
#include "paint/paint_mono.h"
#include "qsdisp.h"

using namespace paint_model;

TEST(ExpandMonoRow, OneByteOfZeroOr255PerBitFromAnyFirstBit) {
  const uint8_t row[] = {0xA5, 0x3C, 0xF0, 0x81};
  for (int invert = 0; invert < 2; ++invert) {
    for (int x = 0; x < 12; ++x) {
      for (int n = 0; n <= 32 - x; ++n) {
        uint8_t out[40];
        std::fill(std::begin(out), std::end(out), 0x77);
        ExpandMonoRow(out, row, x, n, invert);
        for (int i = 0; i < n; ++i) {
          const int bit = (row[(x + i) / 8] >> (7 - (x + i) % 8)) & 1;
          ASSERT_EQ(out[i], (bit ^ invert) ? 255 : 0) << "x " << x << " n " << n << " i " << i;
        }
        ASSERT_EQ(out[n], 0x77) << "nothing past n";
      }
    }
  }
}

namespace {
class PaintMonoGray : public KernelLeakTest {
 protected:
  void TearDown() override {
    Q_SetDisplayMode(0xFFFFFFFF, 12);
    KernelLeakTest::TearDown();
  }
};
}  // namespace

TEST_F(PaintMonoGray, GreyPalettesPaintThroughTheToneTableInEveryOrientation) {
  Q_SetDisplayMode(0xFFFFFFFF, 0x8 | 0x10);
  const RGBQUAD ascending[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
  const RGBQUAD descending[2] = {{255, 255, 255, 0}, {0, 0, 0, 0}};
  CanvasList canvases = MakeCanvases(40, 40);
  for (int kind = 3; kind <= 4; ++kind) {
    for (int orientation = 1; orientation <= 8; ++orientation) {
      TestBitmap bitmap;
      MakeRandom(bitmap, orientation >= 5 ? 11 : 21, orientation >= 5 ? 21 : 11, 1, 0, orientation, 100 + orientation);
      KrnSetBitmapColors(bitmap.get(), 0, 2, kind == 3 ? ascending : descending);
      // A tone table that maps 255 to 128: set pixels of an ascending bitmap show mid grey.
      for (int i = 0; i < 256; ++i) bitmap->PaintLUT[i] = uint8_t(i / 2 + (i == 0 ? 7 : 1));
      bitmap->Flags |= QS_FLAG_PAINT_LUT;
      const RECT srcClip{3, 2, 30, 30};
      const RECT dst{4, 6, 4 + PictureW(bitmap.Record), 6 + PictureH(bitmap.Record)};
      const ColourFn model = [&](int, int, int, int, int sx, int sy) {
        std::vector<uint8_t> row(size_t(bitmap->BytesPerLine));
        KrnGetBitmapRow(bitmap.get(), row.data(), sy, 0, uint32_t(row.size()));
        const int bit = int(pixel_model::Get(row.data(), 1, sx));
        const int level = bitmap->PaintLUT[(bit ^ (kind == 4)) ? 255 : 0];
        return Rgb(level, level, level);
      };
      for (auto& canvas : canvases) {
        canvas->Clear(kBackground);
        ASSERT_EQ(canvas->Paint(bitmap.get(), nullptr, &srcClip, &dst, nullptr), 1);
        ASSERT_EQ(Compare(*canvas, bitmap.Record, Request{nullptr, &srcClip, dst, nullptr}, model), "")
            << "kind " << kind << " orientation " << orientation << " on " << canvas->Name();
      }
    }
  }
}
