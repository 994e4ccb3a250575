// The paint tests' reference model and surfaces. The model, one pixel at a time: which picture
// pixel each destination pixel shows, where that pixel is stored, and the colour the device shows
// for it. The surfaces, read back as 0xRRGGBB: a fake device that decodes every band the painter
// sends (every build), and on Windows a 32-bit DIB section in a memory DC painted through
// Q_PaintDC. A painted canvas matches when every pixel is the colour of the picture pixel the
// model maps it to, or the background where the model paints nothing.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#endif

#include "common/kernel_fixture.h"
#include "frame/thread_state.h"
#include "kernel/pixel_model.h"
#include "paint/paint_path.h"
#include "paint/paint_paths.h"
#include "qsdisp.h"
#include "qskrn.h"

// A record described in place (no pixel storage), with its own tone table.
struct DescribedBitmap {
  BitmapRecord Record{};
  std::array<uint8_t, 256> Tone{};
  std::vector<uint32_t> WindowLut;
  DescribedBitmap(int32_t bits, int32_t order) {
    Record.StructSize = QS_RECORD_SIZE;
    Record.BitsPerPixel = bits, Record.Order = order, Record.Orientation = 1;
    Record.WindowHighBit = bits > 8 ? bits - 1 : 7;
    for (int i = 0; i < 256; ++i) Tone[i] = uint8_t(i);
    Record.PaintLUT = Tone.data();
  }
  void UseWindowLut(std::vector<uint32_t> lut) {
    WindowLut = std::move(lut);
    Record.LUT = WindowLut.data();
    Record.LUTLength = int32_t(WindowLut.size());
  }
};

// Sets the thread's display mode for one scope.
struct ModeScope {
  uint32_t Previous;
  explicit ModeScope(uint32_t mode) : Previous(Q_SetDisplayMode(0xFFFFFFFFu, mode)) {}
  ~ModeScope() { Q_SetDisplayMode(0xFFFFFFFFu, Previous); }
};

namespace paint_model {
using pixel_model::StoredOf;

inline int PictureW(const BitmapRecord& b) { return b.Orientation >= 5 ? b.Height : b.Width; }
inline int PictureH(const BitmapRecord& b) { return b.Orientation >= 5 ? b.Width : b.Height; }

// A rectangle in stored pixels as the picture sees it.
inline RECT PictureRect(const BitmapRecord& b, const RECT& stored) {
  const int pw = PictureW(b), ph = PictureH(b);
  int minX = INT_MAX, minY = INT_MAX, maxX = INT_MIN, maxY = INT_MIN;
  for (int py = 0; py < ph; ++py) {
    for (int px = 0; px < pw; ++px) {
      int sx, sy;
      StoredOf(b.Orientation, pw, ph, px, py, sx, sy);
      if (sx < stored.left || sx >= stored.right || sy < stored.top || sy >= stored.bottom) continue;
      minX = std::min(minX, px), maxX = std::max(maxX, px), minY = std::min(minY, py), maxY = std::max(maxY, py);
    }
  }
  return RECT{minX, minY, maxX + 1, maxY + 1};
}

// The source pixel (picture frame) that destination pixel (x, y) shows: the left edge and the
// bottom edge anchor the stepping.
struct Mapping {
  RECT Dst, Src;  // destination top-down; source in the picture frame
  int64_t Px(int x) const {
    return Src.left + (int64_t(x) - Dst.left) * (Src.right - Src.left) / (Dst.right - Dst.left);
  }
  int64_t Py(int y) const {
    return Src.bottom - 1 - (int64_t(Dst.bottom) - 1 - y) * (Src.bottom - Src.top) / (Dst.bottom - Dst.top);
  }
};

inline uint32_t Rgb(int r, int g, int b) { return uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b); }
inline int R(uint32_t c) { return int(c >> 16 & 255); }
inline int G(uint32_t c) { return int(c >> 8 & 255); }
inline int B(uint32_t c) { return int(c & 255); }

inline uint32_t Toned(const BitmapRecord& b, int r, int g, int bl) {
  if (!(b.Flags & QS_FLAG_PAINT_LUT)) return Rgb(r, g, bl);
  return Rgb(b.PaintLUT[r], b.PaintLUT[g], b.PaintLUT[bl]);
}

inline int Widen5(uint64_t v) { return int((v << 3) | (v >> 2)) & 255; }

// Grey windowing of a 12 or 16-bit grey pixel: the top `target` bits of the window.
inline uint32_t Windowed(const BitmapRecord& b, uint64_t pixel, int target, uint32_t& mask) {
  const int n = std::min(b.WindowHighBit - b.WindowLowBit + 1, target);
  mask = (1u << n) - 1;
  return uint32_t(pixel >> (b.WindowHighBit + 1 - n)) & mask;
}

// The colour a 24-bit device shows for stored pixel (sx, sy), painted natively or converted.
inline uint32_t ShownColour(const BitmapRecord& b, int sx, int sy) {
  std::vector<uint8_t> bytes(size_t(b.BytesPerLine));
  KrnGetBitmapRow(&b, bytes.data(), sy, 0, uint32_t(bytes.size()));
  const uint8_t* row = bytes.data();
  const int bits = b.BitsPerPixel;
  const uint64_t v = pixel_model::Get(row, bits, sx);
  if (bits <= 8) {
    const RGBQUAD& e = b.Palette[v];
    return Toned(b, e.rgbRed, e.rgbGreen, e.rgbBlue);
  }
  if ((bits == 12 || bits == 16) && b.Order == 2) {
    uint32_t mask = 0;
    if (b.LUT != nullptr) {
      const uint32_t level = b.LUT[Windowed(b, v, bits, mask)] & 255;  // shown through a grey ramp
      return Rgb(level, level, level);
    }
    uint32_t level = Windowed(b, v, 8, mask) & 255;
    if (mask < 255) level = level * 255 / mask;
    return Rgb(level, level, level);
  }
  if (bits == 16) return Toned(b, Widen5(v >> 10 & 31), Widen5(v >> 5 & 31), Widen5(v & 31));
  const int step = bits >= 48 ? 2 : 1, at = bits >= 48 ? 1 : 0;
  const uint8_t* p = row + size_t(sx) * (bits / 8);
  return Toned(b, p[2 * step + at], p[step + at], p[at]);
}

// The threshold matrix of the 8-bit ordered dither, and the 3-3-2 palette.
inline const uint8_t kBayer[8][8] = {{0, 128, 32, 160, 8, 136, 40, 168},   {192, 64, 224, 96, 200, 72, 232, 104},
                                     {48, 176, 16, 144, 56, 184, 24, 152}, {236, 112, 208, 80, 244, 120, 216, 88},
                                     {12, 140, 44, 172, 4, 132, 36, 164},  {204, 76, 232, 108, 196, 68, 228, 100},
                                     {60, 188, 28, 156, 52, 180, 20, 148}, {248, 124, 220, 92, 240, 116, 212, 84}};

inline int Level(int v, int levels) { return (v * 255 * 2 + levels) / (2 * levels); }
inline uint32_t Palette332(int index) {
  return Rgb(Level(index >> 5, 7), Level(index >> 2 & 7, 7), Level(index & 3, 3));
}

// Ordered dither of colour c to the 3-3-2 palette with threshold t.
inline uint32_t Ordered332(const BitmapRecord& b, uint32_t c, int t) {
  const int d = (t >> 3) - 16;
  auto ch = [&](int v) { return int(b.PaintLUT[std::clamp(v + d, 0, 255)]); };
  const int r = ch(R(c)), g = ch(G(c)), bl = ch(B(c));
  return Palette332((r & 0xE0) | ((g & 0xE0) >> 3) | (bl >> 6));
}

// A bitmap of random pixels (and a random palette for 8 bits or fewer), in one block.
inline void MakeRandom(TestBitmap& t, int w, int h, int bits, int order, int orientation, uint32_t seed,
                       int memoryKind = KRN_MEMORY_ONE_BLOCK) {
  std::mt19937 rng(seed);
  std::vector<RGBQUAD> palette(256);
  for (auto& e : palette) e = RGBQUAD{uint8_t(rng()), uint8_t(rng()), uint8_t(rng()), 0};
  ASSERT_EQ(KrnAllocateBitmap(t.get(), 164, memoryKind, w, h, bits, order, bits <= 8 ? palette.data() : nullptr,
                              orientation, nullptr, 0),
            1);
  std::vector<uint8_t> row(size_t(t->BytesPerLine));
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) pixel_model::Put(row.data(), bits, x, (uint64_t(rng()) << 32 | rng()));
    KrnPutBitmapRow(t.get(), row.data(), y, 0, uint32_t(row.size()));
  }
}

struct Canvas {
  virtual ~Canvas() = default;
  virtual int32_t Paint(BitmapRecord* bitmap, const RECT* src, const RECT* srcClip, const RECT* dst,
                        const RECT* dstClip) = 0;
  void Clear(uint32_t colour) {
#if defined(_WIN32)
    GdiFlush();  // a memory DC's pending drawing lands first
#endif
    std::fill(Bits, Bits + size_t(Width) * Height, colour);
  }
  uint32_t Pixel(int x, int y) const { return Bits[size_t(y) * Width + x] & Mask; }
  std::string Name;
  int Width = 0, Height = 0;
  uint32_t* Bits = nullptr;
  uint32_t Mask = 0xFFFFFFFF;
};

using CanvasList = std::vector<std::unique_ptr<Canvas>>;

// The fake device: depth is the device depth class (1, 4, 8 or 24) the paint is chosen for;
// device pixel (x, y) lands on canvas pixel (x - originX, y - originY). Bands of 1 to 32 bits,
// bottom-up or top-down, colour table or palette indices (read back as 0xFF000000 | index).
struct FakeCanvas : Canvas {
  FakeCanvas(int width, int height, int depth, int originX = 0, int originY = 0)
      : Depth(depth), OriginX(originX), OriginY(originY), Pixels(size_t(width) * height), Writes(Pixels.size()),
        Indices(Pixels.size()) {
    Name = "fake device", Width = width, Height = height, Bits = Pixels.data();
  }
  int32_t Paint(BitmapRecord* bitmap, const RECT* src, const RECT* srcClip, const RECT* dst,
                const RECT* dstClip) override {
    std::fill(Writes.begin(), Writes.end(), 0);
    Bands = 0;
    LargestBandBytes = LargestBandRow = 0;
    const PaintDevice device{this, 0xCC0020, false, Send, nullptr};
    const int32_t kind = SelectPaintKind(bitmap, GetThreadDisplayState()->DisplayMode, Depth);
    return PaintBitmapTo(device, bitmap, src, srcClip, dst, dstClip, Depth, kind);
  }
  static int32_t Send(const PaintDevice& device, const BITMAPINFOHEADER* info, const void* bits, int32_t x, int32_t y,
                      int32_t width, int32_t height, int32_t sourceX, uint32_t usage) {
    auto& c = *static_cast<FakeCanvas*>(device.Handle);
    if (c.FailNextBand) return c.FailNextBand = false, -1;
    ++c.Bands;
    const int bpp = info->biBitCount, rows = std::abs(info->biHeight);
    const uint32_t stride = uint32_t(((info->biWidth * bpp + 31) / 32) * 4);
    if (info->biSizeImage > c.LargestBandBytes) c.LargestBandBytes = info->biSizeImage, c.LargestBandRow = stride;
    EXPECT_EQ(height, rows) << "bands are sent whole";
    EXPECT_LE(sourceX + width, info->biWidth);
    const auto* quads = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const uint8_t*>(info) + info->biSize);
    for (int j = 0; j < height; ++j) {
      const auto* row = static_cast<const uint8_t*>(bits) + size_t(info->biHeight < 0 ? j : rows - 1 - j) * stride;
      for (int i = 0; i < width; ++i) {
        const int cx = x + i - c.OriginX, cy = y + j - c.OriginY;
        if (cx < 0 || cy < 0 || cx >= c.Width || cy >= c.Height) continue;
        const uint64_t v = pixel_model::Get(row, bpp, sourceX + i);
        const size_t at = size_t(cy) * c.Width + cx;
        if (bpp <= 8) {
          const RGBQUAD& q = quads[v];
          c.Pixels[at] = usage == 1 ? 0xFF000000u | uint32_t(v) : Rgb(q.rgbRed, q.rgbGreen, q.rgbBlue);
          c.Indices[at] = uint8_t(v);
        } else if (bpp == 16) {
          c.Pixels[at] = Rgb(Widen5(v >> 10 & 31), Widen5(v >> 5 & 31), Widen5(v & 31));
        } else {
          c.Pixels[at] = uint32_t(v) & 0xFFFFFF;
        }
        ++c.Writes[at];
      }
    }
    return 1;
  }

  int Depth, OriginX, OriginY;
  std::vector<uint32_t> Pixels;
  std::vector<uint8_t> Writes;    // how often each canvas pixel was painted by the last paint
  std::vector<uint8_t> Indices;   // palette index written, for bands of 8 bits or fewer
  int32_t Bands = 0;              // bands sent by the last paint
  uint32_t LargestBandBytes = 0;  // largest biSizeImage among them
  uint32_t LargestBandRow = 0;    // and its row stride
  bool FailNextBand = false;      // the next band is refused, as a device may
};

#if defined(_WIN32)
// A memory DC (it reports the screen's depth to the painter) painted through Q_PaintDC with `Rop`.
struct DibCanvas : Canvas {
  DibCanvas(int width, int height) {
    Name = "memory DC", Width = width, Height = height, Mask = 0xFFFFFF;
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
  int32_t Paint(BitmapRecord* bitmap, const RECT* src, const RECT* srcClip, const RECT* dst,
                const RECT* dstClip) override {
    const int32_t code = Q_PaintDC(Dc, bitmap, src, srcClip, dst, dstClip, Rop);
    GdiFlush();
    return code;
  }
  HDC Dc = nullptr;
  HBITMAP Section = nullptr;
  HGDIOBJ Previous = nullptr;
  uint32_t Rop = SRCCOPY;
};
#endif

// A fake device and, on Windows, a memory DC, both width x height.
inline CanvasList MakeCanvases(int width, int height) {
  CanvasList list;
  list.push_back(std::make_unique<FakeCanvas>(width, height, 24));
#if defined(_WIN32)
  list.push_back(std::make_unique<DibCanvas>(width, height));
#endif
  return list;
}

inline constexpr uint32_t kBackground = 0x0A0B0C;

struct Request {
  const RECT* Src = nullptr;
  const RECT* SrcClip = nullptr;
  RECT Dst{};
  const RECT* DstClip = nullptr;
};

// The expected colour of canvas pixel (x, y) showing picture pixel (px, py), stored at (sx, sy).
using ColourFn = std::function<uint32_t(int x, int y, int px, int py, int sx, int sy)>;

inline bool Intersect(RECT& out, const RECT& a, const RECT& b) {
  out =
      RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
  return out.right > out.left && out.bottom > out.top;
}

// Returns a description of the first mismatches, or "" when the canvas matches.
inline std::string Compare(Canvas& canvas, const BitmapRecord& b, const Request& r, const ColourFn& colour) {
  const RECT bounds{0, 0, b.Width, b.Height};
  const RECT stored = r.Src ? *r.Src : bounds;
  RECT clip = stored;
  bool any = !(r.SrcClip && !Intersect(clip, stored, *r.SrcClip)) && Intersect(clip, clip, bounds);
  RECT dst = r.Dst, dstClip = r.Dst;
  if (dst.bottom < dst.top) std::swap(dst.top, dst.bottom);
  if (r.DstClip) any = any && Intersect(dstClip, r.Dst, *r.DstClip);
  if (dstClip.bottom < dstClip.top) std::swap(dstClip.top, dstClip.bottom);
  const RECT pictureClip = any ? PictureRect(b, clip) : RECT{};
  const Mapping m{dst, PictureRect(b, stored)};
  std::ostringstream out;
  int bad = 0;
  for (int y = 0; y < canvas.Height; ++y) {
    for (int x = 0; x < canvas.Width; ++x) {
      uint32_t want = kBackground;
      const bool inDst = x >= dst.left && x < dst.right && y >= dst.top && y < dst.bottom && x >= dstClip.left &&
                         x < dstClip.right && y >= dstClip.top && y < dstClip.bottom;
      if (any && inDst) {
        const int64_t px = m.Px(x), py = m.Py(y);
        if (px >= pictureClip.left && px < pictureClip.right && py >= pictureClip.top && py < pictureClip.bottom) {
          int sx, sy;
          StoredOf(b.Orientation, PictureW(b), PictureH(b), int(px), int(py), sx, sy);
          want = colour(x, y, int(px), int(py), sx, sy);
        }
      }
      const uint32_t got = canvas.Pixel(x, y);
      if (got != want && bad++ < 4)
        out << " (" << x << "," << y << ") want " << std::hex << want << " got " << got << std::dec;
    }
  }
  if (bad == 0) return "";
  out << " ... " << bad << " pixels differ";
  return out.str();
}

// Clears the canvas, paints the request and compares; "" when the canvas matches.
inline std::string PaintAndCompare(Canvas& canvas, BitmapRecord& b, const Request& r, const ColourFn& colour) {
  canvas.Clear(kBackground);
  const int32_t code = canvas.Paint(&b, r.Src, r.SrcClip, &r.Dst, r.DstClip);
  if (code != 1) return canvas.Name + ": paint returned " + std::to_string(code);
  const std::string diff = Compare(canvas, b, r, colour);
  return diff.empty() ? diff : canvas.Name + ":" + diff;
}

// The ordered-dither colour of a pixel: the threshold comes from the destination position for
// scaled paints, from the picture position for same-size paints. Lines of transposed orientations
// are destination columns walked upward, so their pattern is the transposed one.
inline ColourFn OrderedModel(const BitmapRecord& b, const RECT& dst, bool sameSize) {
  return [&b, dst, sameSize](int x, int y, int px, int py, int sx, int sy) {
    int row, column;
    if (b.Orientation < 5) {
      row = sameSize ? py : y - dst.top;
      column = sameSize ? px : x - dst.left;
    } else {
      row = sameSize ? px : x - dst.left;
      column = sameSize ? PictureH(b) - 1 - py : dst.bottom - 1 - y;
    }
    return Ordered332(b, ShownColour(b, sx, sy), kBayer[row & 7][column & 7]);
  };
}

inline ColourFn Shown(const BitmapRecord& b) {
  return [&b](int, int, int, int, int sx, int sy) { return ShownColour(b, sx, sy); };
}

// Paint tests start in display mode 0x8 (colours, dithering on palette devices) and leave the
// thread's mode as they found it.
class PaintTest : public KernelLeakTest {
 protected:
  static void Mode(uint32_t mode) { Q_SetDisplayMode(0xFFFFFFFF, mode); }
  ModeScope mode_{0x8};
};
}  // namespace paint_model
