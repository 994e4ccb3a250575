// The fake device: decodes each band as a device-independent bitmap of 1, 4, 8, 16, 24 or 32
// bits (bottom-up or top-down, colour table or palette indices) onto the canvas.
#include <gtest/gtest.h>

#include <algorithm>

#include "frame/thread_state.h"
#include "kernel/pixel_model.h"
#include "paint/paint_canvas.h"
#include "paint/paint_path.h"
#include "paint/paint_paths.h"

namespace {
uint32_t Quad(const RGBQUAD& q) { return uint32_t(q.rgbRed) << 16 | uint32_t(q.rgbGreen) << 8 | q.rgbBlue; }

int32_t SendToFake(const PaintDevice& device, const BITMAPINFOHEADER* info, const void* bits, int32_t x, int32_t y,
                   int32_t width, int32_t height, int32_t sourceX, uint32_t usage) {
  auto& c = *static_cast<FakeCanvas*>(device.Handle);
  if (c.FailNextBand) {
    c.FailNextBand = false;
    return -1;
  }
  ++c.Bands;
  const int bpp = info->biBitCount;
  const int rows = info->biHeight < 0 ? -info->biHeight : info->biHeight;
  const uint32_t stride = uint32_t(((info->biWidth * bpp + 31) / 32) * 4);
  if (info->biSizeImage > c.LargestBandBytes) {
    c.LargestBandBytes = info->biSizeImage;
    c.LargestBandRow = stride;
  }
  EXPECT_EQ(height, rows) << "bands are sent whole";
  EXPECT_LE(sourceX + width, info->biWidth);
  const auto* quads = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const uint8_t*>(info) + info->biSize);
  for (int j = 0; j < height; ++j) {
    const int memoryRow = info->biHeight < 0 ? j : rows - 1 - j;
    const auto* row = static_cast<const uint8_t*>(bits) + size_t(memoryRow) * stride;
    for (int i = 0; i < width; ++i) {
      const int cx = x + i - c.OriginX, cy = y + j - c.OriginY;
      if (cx < 0 || cy < 0 || cx >= c.Width || cy >= c.Height) continue;
      const uint64_t v = pixel_model::Get(row, bpp, sourceX + i);
      uint32_t colour = 0;
      if (bpp <= 8) {
        colour = usage == 1 ? 0xFF000000u | uint32_t(v) : Quad(quads[v]);
        c.Indices[size_t(cy) * c.Width + cx] = uint8_t(v);
      } else if (bpp == 16) {
        auto w = [](uint64_t f) { return uint32_t((f << 3) | (f >> 2)) & 255; };
        colour = w(v >> 10 & 31) << 16 | w(v >> 5 & 31) << 8 | w(v & 31);
      } else {
        colour = uint32_t(v) & 0xFFFFFF;
      }
      c.Pixels[size_t(cy) * c.Width + cx] = colour;
      ++c.Writes[size_t(cy) * c.Width + cx];
    }
  }
  return 1;
}
}  // namespace

FakeCanvas::FakeCanvas(int width, int height, int depth, int originX, int originY)
    : Depth(depth), OriginX(originX), OriginY(originY) {
  Width = width;
  Height = height;
  Pixels.assign(size_t(width) * height, 0);
  Writes.assign(Pixels.size(), 0);
  Indices.assign(Pixels.size(), 0);
}

void FakeCanvas::Clear(uint32_t colour) {
  std::fill(Pixels.begin(), Pixels.end(), colour);
  std::fill(Writes.begin(), Writes.end(), 0);
}

int32_t FakeCanvas::Paint(BitmapRecord* bitmap, const RECT* src, const RECT* srcClip, const RECT* dst,
                          const RECT* dstClip) {
  std::fill(Writes.begin(), Writes.end(), 0);
  Bands = 0;
  LargestBandBytes = LargestBandRow = 0;
  const PaintDevice device{this, 0xCC0020, false, SendToFake, nullptr};
  const int32_t kind = SelectPaintKind(bitmap, GetThreadDisplayState()->DisplayMode, Depth);
  return PaintBitmapTo(device, bitmap, src, srcClip, dst, dstClip, Depth, kind);
}

CanvasList MakeCanvases(int width, int height) {
  CanvasList list;
  list.push_back(std::make_unique<FakeCanvas>(width, height, 24));
  AddPlatformCanvases(list, width, height);
  return list;
}
