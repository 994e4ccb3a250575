// Surfaces the paint tests paint on and read back: a fake device that decodes every band the
// painter sends (on every build), and on Windows a 32-bit DIB section in a memory DC painted
// through Q_PaintDC. Colours read back as 0xRRGGBB.
#pragma once
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#endif

#include "qsdisp.h"
#include "qsrecords.h"

struct Canvas {
  virtual ~Canvas() = default;
  virtual std::string Name() const = 0;
  virtual void Clear(uint32_t colour) = 0;
  virtual int32_t Paint(BitmapRecord* bitmap, const RECT* src, const RECT* srcClip, const RECT* dst,
                        const RECT* dstClip) = 0;
  virtual uint32_t Pixel(int x, int y) = 0;
  int Width = 0, Height = 0;
};

using CanvasList = std::vector<std::unique_ptr<Canvas>>;

// The fake device: depth is the device depth class the paint is chosen for (1, 4, 8 or 24);
// device pixels (x, y) land on canvas pixel (x - originX, y - originY).
struct FakeCanvas : Canvas {
  FakeCanvas(int width, int height, int depth, int originX = 0, int originY = 0);
  std::string Name() const override { return "fake device"; }
  void Clear(uint32_t colour) override;
  int32_t Paint(BitmapRecord* bitmap, const RECT* src, const RECT* srcClip, const RECT* dst,
                const RECT* dstClip) override;
  uint32_t Pixel(int x, int y) override { return Pixels[size_t(y) * Width + x]; }

  int Depth, OriginX, OriginY;
  std::vector<uint32_t> Pixels;
  std::vector<uint8_t> Writes;      // how often each canvas pixel was painted by the last paint
  std::vector<uint8_t> Indices;     // palette index written, for bands sent as palette indices
  int32_t Bands = 0;                // bands sent by the last paint
  uint32_t LargestBandBytes = 0;    // largest biSizeImage among them
  uint32_t LargestBandRow = 0;      // and its row stride
  bool FailNextBand = false;        // the next band is refused, as a device may
};

#if defined(_WIN32)
// A 32-bit top-down DIB section selected into a memory DC (which reports the screen's depth to
// the painter), painted through Q_PaintDC with `Rop` and read back from the section's bits.
// Inline, so that the screen-test program can use it on its own.
struct DibCanvas : Canvas {
  DibCanvas(int width, int height) {
    Width = width;
    Height = height;
    BITMAPINFO info{};
    info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    Dc = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    Section = CreateDIBSection(Dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
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
    const int32_t code = Q_PaintDC(Dc, bitmap, src, srcClip, dst, dstClip, Rop);
    GdiFlush();
    return code;
  }
  uint32_t Pixel(int x, int y) override { return Bits[size_t(y) * Width + x] & 0xFFFFFF; }
  HDC Dc = nullptr;
  HBITMAP Section = nullptr;
  HGDIOBJ Previous = nullptr;
  uint32_t* Bits = nullptr;
  uint32_t Rop = SRCCOPY;
};
#endif

// A fake device and, on Windows, a DIB section in a memory DC, both width x height.
CanvasList MakeCanvases(int width, int height);
// Adds this platform's own canvases (none on the host build).
void AddPlatformCanvases(CanvasList& list, int width, int height);
