// Device-dependent bitmaps and packed DIBs on a real screen of 8, 16 or 24 bits: pictures survive
// the trip out to a GDI bitmap and back (within what the screen's depth keeps), sizes follow the
// orientation, monochrome stays monochrome, and every failure leaves the caller's objects alone.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "common/kernel_fixture.h"
#include "qsdisp.h"
#include "tests/convert/record_colors.h"

namespace {
const Rgb kQuadrants[4] = {{200, 30, 40}, {20, 180, 60}, {40, 70, 220}, {250, 250, 250}};

int32_t ScreenDepth() {
  HDC screen = GetDC(nullptr);
  const int32_t depth = GetDeviceCaps(screen, BITSPIXEL);
  ReleaseDC(nullptr, screen);
  return depth;
}

// The depth of bitmaps compatible with the screen.
int32_t ScreenBitmapDepth() {
  HDC screen = GetDC(nullptr);
  HBITMAP probe = CreateCompatibleBitmap(screen, 1, 1);
  BITMAP info{};
  GetObject(probe, sizeof info, &info);
  DeleteObject(probe);
  ReleaseDC(nullptr, screen);
  return info.bmPlanes * info.bmBitsPixel;
}

// A 24-bit picture of four flat quadrants (red, green, blue, white from the top left).
void MakeQuadrants(TestBitmap& b, int32_t width, int32_t height, int32_t orientation) {
  ASSERT_EQ(KrnAllocateBitmap(b.get(), QS_RECORD_SIZE, KRN_MEMORY_ONE_BLOCK, width, height, 24, 1, nullptr,
                              orientation, nullptr, 0),
            1);
  std::vector<uint8_t> row(size_t(b->BytesPerLine));
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      const Rgb& c = kQuadrants[(y >= height / 2) * 2 + (x >= width / 2)];
      row[size_t(3 * x)] = c[2], row[size_t(3 * x + 1)] = c[1], row[size_t(3 * x + 2)] = c[0];
    }
    ASSERT_GT(KrnPutBitmapRow(b.get(), row.data(), y, 0, uint32_t(row.size())), 0);
  }
}

// The mean colour of one quadrant of an upright record.
std::array<double, 3> QuadrantMean(BitmapRecord* b, int quadrant) {
  const int32_t x0 = quadrant % 2 ? b->Width / 2 : 0, y0 = quadrant / 2 ? b->Height / 2 : 0;
  std::array<double, 3> sum{};
  int32_t n = 0;
  for (int32_t y = y0; y < y0 + b->Height / 2; ++y)
    for (int32_t x = x0; x < x0 + b->Width / 2; ++x, ++n) {
      const Rgb c = RecordColorAt(b, x, y);
      for (int i = 0; i < 3; ++i) sum[size_t(i)] += c[size_t(i)];
    }
  for (double& s : sum) s /= n;
  return sum;
}

BITMAP Describe(HBITMAP h) {
  BITMAP info{};
  EXPECT_NE(GetObject(h, sizeof info, &info), 0);
  return info;
}

using DdbConversion = KernelLeakTest;

TEST_F(DdbConversion, PicturesSurviveTheTripWithinTheScreensPrecision) {
  const int32_t depth = ScreenDepth();
  // Exact at 24 bits; 5-bit channels at 16. At 8 bits the picture is dithered to the fixed
  // palette (steps of 32 and 64) and the device maps it to the entries it could realise, so
  // only the quadrants' mean colours are judged.
  const double tolerance = depth >= 24 ? 0 : (depth >= 15 ? 8 : 40);
  TestBitmap source;
  MakeQuadrants(source, 64, 48, 1);
  HBITMAP ddb = Q_ConvertToDDB(nullptr, source.get());
  ASSERT_NE(ddb, nullptr);
  const BITMAP info = Describe(ddb);
  EXPECT_EQ(info.bmWidth, 64);
  EXPECT_EQ(info.bmHeight, 48);
  // On a palette screen the GDI bitmap holds indices into the palette it was painted with.
  HDC screen = GetDC(nullptr);
  HPALETTE palette = Q_CreatePaintPalette(screen, source.get());
  TestBitmap back;
  ASSERT_EQ(Q_ConvertFromDDB(screen, back.get(), QS_RECORD_SIZE, ddb, palette), 1);
  if (palette != nullptr) DeleteObject(palette);
  ReleaseDC(nullptr, screen);
  ASSERT_EQ(back->Width, 64);
  ASSERT_EQ(back->Height, 48);
  for (int q = 0; q < 4; ++q) {
    const std::array<double, 3> mean = QuadrantMean(back.get(), q);
    for (int i = 0; i < 3; ++i)
      EXPECT_NEAR(mean[size_t(i)], kQuadrants[q][size_t(i)], tolerance) << "quadrant " << q << " channel " << i;
  }
  DeleteObject(ddb);

  // Stored sideways (orientation 6), 100 x 50: the GDI bitmap is upright, 50 x 100.
  TestBitmap turned;
  MakeQuadrants(turned, 100, 50, 6);
  ddb = Q_ConvertToDDB(nullptr, turned.get());
  ASSERT_NE(ddb, nullptr);
  EXPECT_EQ(Describe(ddb).bmWidth, 50);
  EXPECT_EQ(Describe(ddb).bmHeight, 100);
  DeleteObject(ddb);
}

TEST_F(DdbConversion, OneBitGreyBecomesMonochromeAndColouredOneBitTakesTheScreen) {
  const RGBQUAD grey[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}}, coloured[2] = {{0, 0, 255, 0}, {255, 0, 0, 0}};
  for (const RGBQUAD* palette : {grey, coloured}) {
    TestBitmap b;
    ASSERT_EQ(KrnAllocateBitmap(b.get(), QS_RECORD_SIZE, KRN_MEMORY_ONE_BLOCK, 33, 9, 1, 0, palette, 1, nullptr, 0), 1);
    HBITMAP ddb = Q_ConvertToDDB(nullptr, b.get());
    ASSERT_NE(ddb, nullptr);
    const BITMAP info = Describe(ddb);
    EXPECT_EQ(info.bmPlanes * info.bmBitsPixel, palette == grey ? 1 : ScreenBitmapDepth());
    DeleteObject(ddb);
  }
}

TEST_F(DdbConversion, ChangeToDdbGivesUpTheStorageOnlyAfterSuccess) {
  TestBitmap b;
  MakeQuadrants(b, 10, 8, 1);
  TestBitmap bare;  // no storage: refused, and kept as it is
  bare->Width = 10;
  const BitmapRecord before = bare.Record;
  EXPECT_EQ(Q_ChangeToDDB(nullptr, bare.get()), nullptr);
  EXPECT_TRUE(SameBytes(bare.Record, before));
  BitmapRecord wrongSize = b.Record;
  wrongSize.StructSize = 160;
  EXPECT_EQ(Q_ConvertToDDB(nullptr, &wrongSize), nullptr);
  EXPECT_EQ(Q_ConvertToDDB(nullptr, nullptr), nullptr);

  HBITMAP ddb = Q_ChangeToDDB(nullptr, b.get());
  ASSERT_NE(ddb, nullptr);
  EXPECT_EQ(b->Flags & QS_FLAG_STORAGE, 0u);
  EXPECT_EQ(b->Bits, nullptr);
  DeleteObject(ddb);
}

TEST_F(DdbConversion, DibSectionsAndMonochromeBitmapsComeInWithTheirPixels) {
  HDC screen = GetDC(nullptr);
  const struct {
    WORD Bits;
    int32_t WantBits;
  } sections[] = {{16, 16}, {32, 32}, {24, 24}};
  for (const auto& s : sections) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 7, -5, 1, s.Bits, BI_RGB, 0, 0, 0, 0, 0};
    void* pixels = nullptr;
    HBITMAP section = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &pixels, nullptr, 0);
    ASSERT_NE(section, nullptr);
    const uint32_t rowBytes = ((7u * s.Bits + 31) / 32) * 4;
    for (uint32_t i = 0; i < rowBytes * 5; ++i) static_cast<uint8_t*>(pixels)[i] = uint8_t(i * 37 + 11);
    if (s.Bits == 16)
      for (uint32_t i = 1; i < rowBytes * 5; i += 2) static_cast<uint8_t*>(pixels)[i] &= 0x7F;
    GdiFlush();
    TestBitmap b;
    ASSERT_EQ(Q_ConvertFromDDB(screen, b.get(), QS_RECORD_SIZE, section, nullptr), 1) << s.Bits;
    EXPECT_EQ(b->BitsPerPixel, s.WantBits);
    for (int32_t y = 0; y < 5; ++y)
      for (int32_t x = 0; x < 7; ++x) {
        const uint8_t* p = static_cast<uint8_t*>(pixels) + rowBytes * uint32_t(y) + uint32_t(x) * s.Bits / 8;
        const uint32_t v = p[0] | (p[1] << 8);
        const Rgb want = s.Bits == 16 ? Rgb{MaskChannel(v, 0x7C00), MaskChannel(v, 0x3E0), MaskChannel(v, 0x1F)}
                                      : Rgb{p[2], p[1], p[0]};
        ASSERT_EQ(RecordColorAt(b.get(), x, y), want) << s.Bits << " bits at " << x << "," << y;
      }
    DeleteObject(section);
  }

  const uint8_t plane[] = {0xA0, 0, 0x50, 0};  // 4 x 2, one bit each, rows of two bytes
  HBITMAP mono = CreateBitmap(4, 2, 1, 1, plane);
  TestBitmap b;
  ASSERT_EQ(Q_ConvertFromDDB(screen, b.get(), QS_RECORD_SIZE, mono, nullptr), 1);
  EXPECT_EQ(b->BitsPerPixel, 1);
  for (int32_t x = 0; x < 4; ++x) {
    EXPECT_EQ(RecordColorAt(b.get(), x, 0)[0], x % 2 == 0 ? 255 : 0) << x;
    EXPECT_EQ(RecordColorAt(b.get(), x, 1)[0], x % 2 == 1 ? 255 : 0) << x;
  }
  DeleteObject(mono);
  ReleaseDC(nullptr, screen);
}

TEST_F(DdbConversion, FromDdbRefusalsKeepTheCallersRecordAndObjects) {
  HBITMAP ddb = CreateBitmap(3, 3, 1, 1, nullptr);
  HPALETTE palette = CreateHalftonePalette(nullptr);
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  TestBitmap b;
  b->Width = 55;
  b->StructSize = 0;
  const BitmapRecord before = b.Record;
  EXPECT_EQ(Q_ConvertFromDDB(nullptr, b.get(), 0, ddb, nullptr), -789);
  EXPECT_EQ(Q_ChangeFromDDB(nullptr, b.get(), 0, ddb, palette), -789);
  EXPECT_TRUE(SameBytes(b.Record, before));
  EXPECT_EQ(Q_ConvertFromDDB(nullptr, b.get(), QS_RECORD_SIZE, nullptr, nullptr), -13);
  EXPECT_EQ(Q_ChangeFromDDB(nullptr, b.get(), QS_RECORD_SIZE, reinterpret_cast<HBITMAP>(brush), palette), -13);
  EXPECT_EQ(Q_ChangeFromDDB(nullptr, nullptr, QS_RECORD_SIZE, ddb, palette), -2);
  EXPECT_EQ(b->Width, 55);
  EXPECT_EQ(GetObjectType(ddb), DWORD(OBJ_BITMAP)) << "a failed change keeps the caller's bitmap";
  EXPECT_EQ(GetObjectType(palette), DWORD(OBJ_PAL));

  ASSERT_EQ(Q_ChangeFromDDB(nullptr, b.get(), QS_RECORD_SIZE, ddb, palette), 1);
  EXPECT_EQ(GetObjectType(ddb), 0u);
  EXPECT_EQ(GetObjectType(palette), 0u);
  EXPECT_EQ(b->Width, 3);
  DeleteObject(brush);
}

TEST_F(DdbConversion, PackedDibsFromGlobalMemory) {
  EXPECT_EQ(Q_DIBToQorb(nullptr, QS_RECORD_SIZE, nullptr), -2);
  // 2 x 2 at 24 bits, bottom-up, with and without a resolution.
  for (LONG pelsPerMeter : {0L, 5906L}) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 40 + 16);
    auto* h = static_cast<BITMAPINFOHEADER*>(GlobalLock(block));
    *h = {sizeof(BITMAPINFOHEADER), 2, 2, 1, 24, BI_RGB, 16, pelsPerMeter, pelsPerMeter, 0, 0};
    const uint8_t rows[16] = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
    std::memcpy(h + 1, rows, 16);
    GlobalUnlock(block);
    TestBitmap b;
    ASSERT_EQ(Q_DIBToQorb(b.get(), QS_RECORD_SIZE, block), 1);
    EXPECT_EQ(RecordColorAt(b.get(), 1, 0), (Rgb{12, 11, 10}));  // the top row is the last stored
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(b->XResolution, pelsPerMeter ? 150 : GetDeviceCaps(screen, LOGPIXELSX));
    EXPECT_EQ(b->YResolution, pelsPerMeter ? 150 : GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(GlobalSize(block), SIZE_T(56)) << "the caller keeps the block";

    // The kernel takes a block it could read, and leaves one too short for its rows.
    HGLOBAL shortBlock = GlobalAlloc(GMEM_MOVEABLE, 40 + 15);
    std::memcpy(GlobalLock(shortBlock), GlobalLock(block), 40 + 15);
    GlobalUnlock(shortBlock);
    GlobalUnlock(block);
    TestBitmap k;
    EXPECT_EQ(KrnBitmapFromDIB(k.get(), QS_RECORD_SIZE, shortBlock), -13);
    EXPECT_EQ(GlobalFree(shortBlock), nullptr) << "a refused block stays the caller's";
    EXPECT_EQ(KrnBitmapFromDIB(k.get(), QS_RECORD_SIZE, block), 1);
    EXPECT_EQ(k->Width, 2);
  }
}
// Capture from a memory context on a 24-bit DIB section: the rectangle's pixels, also for a
// rectangle given bottom up (its height counted from its top); refusals leave the record alone.
TEST_F(DdbConversion, CaptureCopiesTheRectangleOfWhatTheContextShows) {
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAPINFO info{};
  info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 64, -48, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(dc, section);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) {
      uint8_t* p = static_cast<uint8_t*>(bits) + y * 192 + x * 3;
      const Rgb& c = kQuadrants[(y >= 24) * 2 + (x >= 32)];
      p[0] = c[2], p[1] = c[1], p[2] = c[0];
    }
  GdiFlush();
  const int32_t depth = ScreenBitmapDepth();
  const int tolerance = depth >= 24 ? 0 : (depth >= 15 ? 8 : 60);
  for (const RECT r : {RECT{20, 10, 50, 40}, RECT{20, 10, 50, -20}}) {
    TestBitmap captured;
    ASSERT_EQ(Q_ScreenCaptureBitmap(dc, captured.get(), QS_RECORD_SIZE, &r), 1);
    ASSERT_EQ(captured->Width, 30);
    ASSERT_EQ(captured->Height, 30);
    for (int32_t y = 0; y < 30; y += 3)
      for (int32_t x = 0; x < 30; x += 3) {
        const Rgb got = RecordColorAt(captured.get(), x, y);
        const Rgb& want = kQuadrants[(y + 10 >= 24) * 2 + (x + 20 >= 32)];
        for (int c = 0; c < 3; ++c) ASSERT_NEAR(got[c], want[c], tolerance) << x << "," << y << " depth " << depth;
      }
  }
  TestBitmap untouched;
  const RECT empty{5, 5, 5, 20}, fine{0, 0, 4, 4};
  EXPECT_EQ(Q_ScreenCaptureBitmap(dc, untouched.get(), QS_RECORD_SIZE, &empty), -13);
  EXPECT_EQ(Q_ScreenCaptureBitmap(dc, nullptr, QS_RECORD_SIZE, &fine), -13);
  EXPECT_EQ(Q_ScreenCaptureBitmap(dc, untouched.get(), QS_RECORD_SIZE, nullptr), -13);
  for (uint32_t size : {163u, 165u}) {
    untouched->StructSize = 77;
    EXPECT_EQ(Q_ScreenCaptureBitmap(dc, untouched.get(), size, &fine), -789);
    EXPECT_EQ(untouched->StructSize, 77u);
  }
  untouched->StructSize = QS_RECORD_SIZE;
  SelectObject(dc, previous);
  DeleteObject(section);
  DeleteDC(dc);
}
}  // namespace
