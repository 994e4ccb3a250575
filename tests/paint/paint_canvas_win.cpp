// The Windows canvas: a 32-bit top-down DIB section selected into a memory DC, painted through
// Q_PaintDC and read back from the section's bits.
#include <windows.h>

#include <gtest/gtest.h>

#include "paint/paint_canvas.h"
#include "qsdisp.h"

namespace {
struct DibCanvas : Canvas {
  HDC Dc = nullptr;
  HBITMAP Section = nullptr;
  HGDIOBJ Previous = nullptr;
  uint32_t* Bits = nullptr;

  DibCanvas(int width, int height) {
    Width = width;
    Height = height;
    BITMAPINFO info{};
    info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    Dc = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    Section = CreateDIBSection(Dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    EXPECT_NE(Section, nullptr);
    Bits = static_cast<uint32_t*>(bits);
    Previous = SelectObject(Dc, Section);
  }
  ~DibCanvas() override {
    SelectObject(Dc, Previous);
    DeleteObject(Section);
    DeleteDC(Dc);
  }
  std::string Name() const override { return "memory DC"; }
  void Clear(uint32_t colour) override {
    GdiFlush();
    std::fill(Bits, Bits + size_t(Width) * Height, colour);
  }
  int32_t Paint(BitmapRecord* bitmap, const RECT* src, const RECT* srcClip, const RECT* dst,
                const RECT* dstClip) override {
    const int32_t code = Q_PaintDC(Dc, bitmap, src, srcClip, dst, dstClip, SRCCOPY);
    GdiFlush();
    return code;
  }
  uint32_t Pixel(int x, int y) override { return Bits[size_t(y) * Width + x] & 0xFFFFFF; }
};
}  // namespace

void AddPlatformCanvases(CanvasList& list, int width, int height) {
  list.push_back(std::make_unique<DibCanvas>(width, height));
}
