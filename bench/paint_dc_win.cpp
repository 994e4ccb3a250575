// Q_PaintDC beside Wine's own StretchDIBits (COLORONCOLOR) of the same pixels into the same
// rectangles of a 32-bit DIB section (run under Wine): a 4000 x 3000 24-bit bitmap and an 8-bit
// palette bitmap at the same size, enlarged to 6000 x 4500 and reduced to 1000 x 750. Prints
// median milliseconds, the ratio to Wine's stretch and the target ratio, then the peak extra
// memory of painting a 20000 x 20000 8-bit bitmap.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include "qsdisp.h"
#include "qskrn.h"

namespace {
double NowMs() {
  static const LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return double(t.QuadPart) * 1e3 / double(frequency.QuadPart);
}

double MedianMs(int runs, const std::function<void()>& work) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const double start = NowMs();
    work();
    times.push_back(NowMs() - start);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

struct Surface {
  HDC Dc = nullptr;
  HBITMAP Section = nullptr;
  HGDIOBJ Old = nullptr;
  Surface(int w, int h) {
    BITMAPINFO info{};
    info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    Dc = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    Section = CreateDIBSection(Dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    Old = SelectObject(Dc, Section);
  }
  ~Surface() {
    SelectObject(Dc, Old);
    DeleteObject(Section);
    DeleteDC(Dc);
  }
};

// A generated picture: smooth gradients with a fine pattern, so no row or column repeats.
bool MakePicture(BitmapRecord& b, int w, int h, int bits) {
  std::vector<RGBQUAD> palette(256);
  for (int i = 0; i < 256; ++i) palette[i] = RGBQUAD{uint8_t(i * 7), uint8_t(255 - i), uint8_t(i * 3 + 11), 0};
  b.StructSize = 164;
  if (KrnAllocateBitmap(&b, 164, KRN_MEMORY_ONE_BLOCK, w, h, bits, 1, bits == 8 ? palette.data() : nullptr, 1,
                        nullptr, 0) != 1)
    return false;
  for (int y = 0; y < h; ++y) {
    auto* row = static_cast<uint8_t*>(b.Bits) + size_t(y) * b.BytesPerLine;
    for (int x = 0; x < w; ++x) {
      if (bits == 8) {
        row[x] = uint8_t((x / 7 + y / 5 + (x ^ y)) & 255);
      } else {
        row[3 * x] = uint8_t(x * 255 / w);
        row[3 * x + 1] = uint8_t(y * 255 / h);
        row[3 * x + 2] = uint8_t((x ^ y) & 255);
      }
    }
  }
  return true;
}

// The bitmap's own block as a packed top-down DIB header, for Wine's stretch.
struct DibHeader {
  BITMAPINFOHEADER Header;
  RGBQUAD Colors[256];
};

DibHeader HeaderOf(const BitmapRecord& b) {
  DibHeader d{};
  d.Header = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), b.Width, -b.Height, 1, WORD(b.BitsPerPixel), BI_RGB,
                              DWORD(b.BytesPerLine) * DWORD(b.Height), 0, 0, 0, 0};
  if (b.BitsPerPixel <= 8) {
    d.Header.biClrUsed = DWORD(b.ColorCount);
    std::memcpy(d.Colors, b.Palette, size_t(b.ColorCount) * sizeof(RGBQUAD));
  }
  return d;
}

void CompareWithWine(Surface& surface, BitmapRecord& b, const char* name) {
  const DibHeader dib = HeaderOf(b);
  struct Case {
    const char* Name;
    int W, H;
    double Target;  // largest ratio Q_PaintDC / StretchDIBits aimed at
  } cases[] = {{"same size", 4000, 3000, 1.5}, {"enlarged", 6000, 4500, 1.0}, {"reduced", 1000, 750, 0.25}};
  for (const Case& c : cases) {
    const RECT dst{0, 0, c.W, c.H};
    const int runs = c.W > 4000 ? 5 : 9;
    const double ours = MedianMs(runs, [&] { Q_PaintDC(surface.Dc, &b, nullptr, nullptr, &dst, nullptr, SRCCOPY); });
    SetStretchBltMode(surface.Dc, COLORONCOLOR);
    const double wine = MedianMs(runs, [&] {
      StretchDIBits(surface.Dc, 0, 0, c.W, c.H, 0, 0, b.Width, b.Height, b.Bits,
                    reinterpret_cast<const BITMAPINFO*>(&dib), DIB_RGB_COLORS, SRCCOPY);
    });
    std::printf("%-7s %-10s %5d x %-5d  Q_PaintDC %8.1f ms   StretchDIBits %8.1f ms   ratio %5.2f (target <= %.2f)\n",
                name, c.Name, c.W, c.H, ours, wine, ours / wine, c.Target);
  }
}

void PeakMemory() {
  BitmapRecord big{};
  if (!MakePicture(big, 20000, 20000, 8)) {
    std::printf("20000 x 20000 8-bit: not enough memory for the bitmap\n");
    return;
  }
  Surface small(1000, 1000);
  struct Case {
    const char* Name;
    int Orientation;
    RECT Dst;
  } cases[] = {{"same size", 1, {0, 0, 20000, 20000}},
               {"same size, turned (orientation 6)", 6, {0, 0, 20000, 20000}},
               {"reduced to 2000 x 2000", 1, {0, 0, 2000, 2000}},
               {"enlarged to 30000 x 30000", 1, {0, 0, 30000, 30000}}};
  for (const Case& c : cases) {
    big.Orientation = c.Orientation;
    KrnTestPeakBytes(1);
    const double start = NowMs();
    const int32_t code = Q_PaintDC(small.Dc, &big, nullptr, nullptr, &c.Dst, nullptr, SRCCOPY);
    const double ms = NowMs() - start;
    std::printf("20000 x 20000 8-bit, %-34s peak extra memory %7.1f KiB (target < 4096)  %7.0f ms  result %d\n",
                c.Name, double(KrnTestPeakBytes(0)) / 1024.0, ms, int(code));
  }
  KrnFreeBitmap(&big);
}
}  // namespace

int main() {
  Q_SetDisplayMode(0xFFFFFFFF, 0x8);  // colours, not palette indices
  Surface surface(6000, 4500);
  BitmapRecord rgb{}, indexed{};
  if (!MakePicture(rgb, 4000, 3000, 24) || !MakePicture(indexed, 4000, 3000, 8)) {
    std::printf("cannot allocate the test bitmaps\n");
    return 1;
  }
  CompareWithWine(surface, rgb, "24-bit");
  CompareWithWine(surface, indexed, "8-bit");
  KrnFreeBitmap(&rgb);
  KrnFreeBitmap(&indexed);
  PeakMemory();
  return 0;
}
