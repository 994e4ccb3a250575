// A host of the two DLLs: paints one picture through several paint modes into a contact sheet
// and writes it as a 24-bit BMP file.
//
//   contact_sheet [picture.bmp] [sheet.bmp]
//
// Without a picture it paints its own generated test picture. Rows of the sheet: the picture at
// the same size, enlarged, reduced and resampled both ways; dithered to the fixed 8-bit palette
// (on an 8-bit screen, where the painter dithers); the picture stored in each of the eight
// orientations, every one painted upright.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "qsdisp.h"
#include "qskrn.h"

namespace {
constexpr int kTileGap = 12, kLabel = 16;

struct Surface {
  HDC Dc = nullptr;
  HBITMAP Section = nullptr;
  HGDIOBJ Old = nullptr;
  uint32_t* Bits = nullptr;
  int W = 0, H = 0;
  Surface(int w, int h) : W(w), H(h) {
    BITMAPINFO info{};
    info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    Dc = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    Section = CreateDIBSection(Dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    Bits = static_cast<uint32_t*>(bits);
    Old = SelectObject(Dc, Section);
  }
  ~Surface() {
    SelectObject(Dc, Old);
    DeleteObject(Section);
    DeleteDC(Dc);
  }
  bool Valid() const { return Bits != nullptr; }
};

// The generated picture: colour bars, gradients, rings and an arrow pointing up-right, so that
// a turned or mirrored tile would show at once.
void GeneratePicture(std::vector<uint32_t>& pixels, int w, int h) {
  const uint32_t bars[] = {0xFFFFFF, 0xFFFF00, 0x00FFFF, 0x00FF00, 0xFF00FF, 0xFF0000, 0x0000FF, 0x000000};
  pixels.resize(size_t(w) * h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      uint32_t c;
      if (y < h / 4) {
        c = bars[x * 8 / w];
      } else if (y < h / 2) {
        const int v = x * 255 / (w - 1), u = (y - h / 4) * 255 / (h / 4);
        c = uint32_t(v) << 16 | uint32_t(255 - v) << 8 | uint32_t(u);
      } else {
        const double dx = x - w * 0.3, dy = y - h * 0.75;
        const int ring = int(std::sqrt(dx * dx + dy * dy) / 4) & 1;
        c = ring ? 0x203060 : 0xE0C080;
      }
      pixels[size_t(y) * w + x] = c;
    }
  }
  // The arrow: a shaft from the lower middle to the upper right, with a head.
  for (int t = 0; t < h / 3; ++t) {
    for (int k = -2; k <= 2; ++k) {
      const int x = w * 6 / 10 + t + k, y = h - 8 - t;
      if (x >= 0 && x < w && y >= 0 && y < h) pixels[size_t(y) * w + x] = 0xD00000;
    }
  }
  const int tipX = w * 6 / 10 + h / 3, tipY = h - 8 - h / 3;
  for (int i = 0; i < 14; ++i) {
    for (int k = -1; k <= 1; ++k) {
      if (tipX - i >= 0 && tipY + k >= 0 && tipY + k < h) pixels[size_t(tipY + k) * w + tipX - i] = 0xD00000;
      if (tipX + k < w && tipY + i < h) pixels[size_t(tipY + i) * w + tipX + k] = 0xD00000;
    }
  }
}

// Reads any BMP the system can load, as 32-bit pixels (0xRRGGBB, rows top-down).
bool LoadPicture(const char* path, std::vector<uint32_t>& pixels, int& w, int& h) {
  HBITMAP loaded = static_cast<HBITMAP>(LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  if (loaded == nullptr) return false;
  BITMAP info{};
  GetObject(loaded, sizeof(info), &info);
  w = info.bmWidth;
  h = info.bmHeight;
  BITMAPINFO request{};
  request.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  pixels.resize(size_t(w) * h);
  HDC dc = CreateCompatibleDC(nullptr);
  const int rows = GetDIBits(dc, loaded, 0, UINT(h), pixels.data(), &request, DIB_RGB_COLORS);
  DeleteDC(dc);
  DeleteObject(loaded);
  for (auto& p : pixels) p &= 0xFFFFFF;
  return rows == h;
}

// The picture stored in orientation `orientation` as a 24-bit bitmap of the kernel library:
// each stored pixel takes the picture pixel it shows.
bool StoreAs(BitmapRecord& b, const std::vector<uint32_t>& picture, int w, int h, int orientation) {
  const bool turned = orientation >= 5;
  b = BitmapRecord{};
  b.StructSize = 164;
  if (KrnAllocateBitmap(&b, 164, KRN_MEMORY_ONE_BLOCK, turned ? h : w, turned ? w : h, 24, 1, nullptr, orientation,
                        nullptr, 0) != 1)
    return false;
  for (int y = 0; y < b.Height; ++y) {
    auto* row = static_cast<uint8_t*>(b.Bits) + size_t(y) * b.BytesPerLine;
    for (int x = 0; x < b.Width; ++x) {
      POINT p{x, y};
      KrnPointToPerspective(&b, 1, &p);
      const uint32_t c = picture[size_t(p.y) * w + p.x];
      row[3 * x] = uint8_t(c);
      row[3 * x + 1] = uint8_t(c >> 8);
      row[3 * x + 2] = uint8_t(c >> 16);
    }
  }
  return true;
}

// A picture larger than 320 x 240 is first reduced to fit, painted with the library's own
// area-average resampling.
void FitPicture(std::vector<uint32_t>& picture, int& w, int& h) {
  const double scale = std::min(320.0 / w, 240.0 / h);
  if (scale >= 1.0) return;
  BitmapRecord b;
  if (!StoreAs(b, picture, w, h, 1)) return;
  const int fw = std::max(1, int(w * scale)), fh = std::max(1, int(h * scale));
  Surface fitted(fw, fh);
  const RECT dst{0, 0, fw, fh};
  const uint32_t previous = Q_SetDisplayMode(0xFFFFFFFF, 0x400);
  const int32_t code = Q_PaintDC(fitted.Dc, &b, nullptr, nullptr, &dst, nullptr, SRCCOPY);
  Q_SetDisplayMode(0xFFFFFFFF, previous);
  GdiFlush();
  KrnFreeBitmap(&b);
  if (code != 1) return;
  picture.assign(fitted.Bits, fitted.Bits + size_t(fw) * fh);
  for (auto& p : picture) p &= 0xFFFFFF;
  w = fw;
  h = fh;
}

struct Tile {
  const char* Label;
  uint32_t Mode;
  int Orientation;
  double Scale;
};

// Paints one tile at (x, y) with its label above it; returns the tile's width.
int PaintTile(Surface& sheet, const std::vector<uint32_t>& picture, int w, int h, const Tile& t, int x, int y) {
  BitmapRecord b;
  if (!StoreAs(b, picture, w, h, t.Orientation)) return 0;
  const int tw = int(std::lround(w * t.Scale)), th = int(std::lround(h * t.Scale));
  const RECT dst{x, y + kLabel, x + tw, y + kLabel + th};
  Q_SetDisplayMode(0xFFFFFFFF, t.Mode);
  const int32_t code = Q_PaintDC(sheet.Dc, &b, nullptr, nullptr, &dst, nullptr, SRCCOPY);
  KrnFreeBitmap(&b);
  TextOutA(sheet.Dc, x, y, t.Label, int(std::strlen(t.Label)));
  if (code != 1) std::fprintf(stderr, "tile \"%s\": Q_PaintDC returned %d\n", t.Label, int(code));
  return tw;
}

bool WriteBmp(const Surface& s, const char* path) {
  const int stride = (s.W * 3 + 3) & ~3;
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{sizeof(BITMAPINFOHEADER), s.W, s.H, 1, 24, BI_RGB, DWORD(stride) * DWORD(s.H), 2835, 2835,
                        0, 0};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + info.biSizeImage;
  FILE* out = std::fopen(path, "wb");
  if (out == nullptr) return false;
  std::fwrite(&file, sizeof(file), 1, out);
  std::fwrite(&info, sizeof(info), 1, out);
  std::vector<uint8_t> row(size_t(stride), 0);
  for (int y = s.H - 1; y >= 0; --y) {  // bottom-up
    for (int x = 0; x < s.W; ++x) {
      const uint32_t c = s.Bits[size_t(y) * s.W + x];
      row[3 * x] = uint8_t(c);
      row[3 * x + 1] = uint8_t(c >> 8);
      row[3 * x + 2] = uint8_t(c >> 16);
    }
    std::fwrite(row.data(), 1, row.size(), out);
  }
  return std::fclose(out) == 0;
}
}  // namespace

int main(int argc, char** argv) {
  const char* input = argc > 2 ? argv[1] : nullptr;
  const char* output = argc > 2 ? argv[2] : (argc > 1 ? argv[1] : "contact_sheet.bmp");
  std::vector<uint32_t> picture;
  int w = 160, h = 120;
  if (input != nullptr) {
    if (!LoadPicture(input, picture, w, h)) {
      std::fprintf(stderr, "cannot read %s as a BMP picture\n", input);
      return 1;
    }
    FitPicture(picture, w, h);
  } else {
    GeneratePicture(picture, w, h);
  }

  const Tile rows[3][8] = {
      {{"same size", 0x0, 1, 1.0}, {"enlarged 1.5x", 0x0, 1, 1.5}, {"reduced 0.6x", 0x0, 1, 0.6},
       {"resampled, bilinear", 0x200, 1, 1.5}, {"resampled, bicubic", 0x400, 1, 1.5}},
      {{"dithered, diffusion", 0x88, 1, 1.0}, {"dithered, ordered", 0x89, 1, 1.0},
       {"dithered, 6x6x6 cube", 0x188, 1, 1.0}, {"dithered, enlarged", 0x89, 1, 1.5}},
      {{"orientation 1", 0x0, 1, 1.0}, {"orientation 2", 0x0, 2, 1.0}, {"orientation 3", 0x0, 3, 1.0},
       {"orientation 4", 0x0, 4, 1.0}, {"orientation 5", 0x0, 5, 1.0}, {"orientation 6", 0x0, 6, 1.0},
       {"orientation 7", 0x0, 7, 1.0}, {"orientation 8", 0x0, 8, 1.0}},
  };
  const int sheetW = kTileGap + 8 * (w + kTileGap);
  const int sheetH = kTileGap + 3 * (int(h * 1.5) + kLabel + kTileGap);
  Surface sheet(sheetW, sheetH);
  if (!sheet.Valid()) {
    std::fprintf(stderr, "cannot make a %d x %d sheet\n", sheetW, sheetH);
    return 1;
  }
  std::fill(sheet.Bits, sheet.Bits + size_t(sheetW) * sheetH, 0x00E8E8E8u);
  SetBkMode(sheet.Dc, TRANSPARENT);

  const uint32_t previousMode = Q_GetDisplayMode();
  int y = kTileGap;
  for (const auto& row : rows) {
    int x = kTileGap;
    for (const Tile& t : row) {
      if (t.Label == nullptr) break;
      x += PaintTile(sheet, picture, w, h, t, x, y) + kTileGap;
    }
    y += int(h * 1.5) + kLabel + kTileGap;
  }
  Q_SetDisplayMode(0xFFFFFFFF, previousMode);
  GdiFlush();

  HDC screen = GetDC(nullptr);
  const int depth = GetDeviceCaps(screen, BITSPIXEL);
  ReleaseDC(nullptr, screen);
  if (depth > 8) std::fprintf(stderr, "note: the screen has %d bits per pixel; the painter dithers only for palette screens\n", depth);
  if (!WriteBmp(sheet, output)) {
    std::fprintf(stderr, "cannot write %s\n", output);
    return 1;
  }
  std::printf("wrote %s (%d x %d)\n", output, sheetW, sheetH);
  return 0;
}
