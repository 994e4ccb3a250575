// Double buffering between memory contexts: the off-screen context and its bitmap are made once
// per size and device, painting lands on the target only at End, disabled handles pass the
// target through, and the handle's checks and lifetime.
#include <windows.h>

#include <gtest/gtest.h>

#include "common/kernel_fixture.h"
#include "qsdisp.h"

namespace {
using DoubleBuffer = KernelLeakTest;

// A 32-bit DIB section of 160 x 80 in a memory context, filled with one colour.
struct Target {
  HDC Dc = CreateCompatibleDC(nullptr);
  uint32_t* Bits = nullptr;
  HBITMAP Section = nullptr;
  HGDIOBJ Previous = nullptr;
  Target() {
    BITMAPINFO info{};
    info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 160, -80, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    Section = CreateDIBSection(Dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    Bits = static_cast<uint32_t*>(bits);
    Previous = SelectObject(Dc, Section);
    std::fill(Bits, Bits + 160 * 80, 0x00123456u);
  }
  ~Target() {
    SelectObject(Dc, Previous);
    DeleteObject(Section);
    DeleteDC(Dc);
  }
  uint32_t At(int x, int y) {
    GdiFlush();
    return Bits[y * 160 + x] & 0xFFFFFF;
  }
};

struct Handle {
  DoubleBufferRecord* Record = nullptr;
  Handle() { EXPECT_EQ(Q_DoubleBufferCreateHandle(&Record), 1); }
  ~Handle() { EXPECT_EQ(Q_DoubleBufferDestroyHandle(Record), 1); }
};

TEST_F(DoubleBuffer, PaintsOffScreenAndCopiesAtTheEnd) {
  Target target;
  Handle h;
  ASSERT_EQ(Q_DoubleBufferEnable(h.Record, 1), 1);
  HDC memory = Q_DoubleBufferBegin(h.Record, target.Dc, 100, 50);
  ASSERT_NE(memory, nullptr);
  ASSERT_NE(memory, target.Dc);
  HGDIOBJ offscreen = GetCurrentObject(memory, OBJ_BITMAP);
  PatBlt(memory, 0, 0, 100, 50, WHITENESS);
  EXPECT_EQ(target.At(0, 0), 0x123456u) << "nothing reaches the target before End";
  ASSERT_EQ(Q_DoubleBufferEnd(h.Record, target.Dc), 1);
  EXPECT_EQ(target.At(0, 0), 0xFFFFFFu);
  EXPECT_EQ(target.At(99, 49), 0xFFFFFFu);
  EXPECT_EQ(target.At(100, 0), 0x123456u);
  EXPECT_EQ(target.At(0, 50), 0x123456u);
  // The same size on the same device keeps context and bitmap, and so the last picture.
  EXPECT_EQ(Q_DoubleBufferBegin(h.Record, target.Dc, 100, 50), memory);
  EXPECT_EQ(GetCurrentObject(memory, OBJ_BITMAP), offscreen);
  EXPECT_EQ(Q_DoubleBufferBegin(h.Record, target.Dc, 0, 0), memory);  // no size: kept as well
  EXPECT_EQ(h.Record->Width, 100);
  // A new size makes a new bitmap; a changed device with no size cannot have one.
  EXPECT_EQ(Q_DoubleBufferBegin(h.Record, target.Dc, 120, 70), memory);
  EXPECT_NE(GetCurrentObject(memory, OBJ_BITMAP), offscreen);
  EXPECT_EQ(h.Record->Height, 70);
  h.Record->DevicePlanes = 99;
  EXPECT_EQ(Q_DoubleBufferBegin(h.Record, target.Dc, 0, 0), nullptr);
  EXPECT_EQ(h.Record->Width, 120);
}

TEST_F(DoubleBuffer, DisabledHandlesPassTheTargetThrough) {
  Target target;
  Handle h;
  EXPECT_EQ(Q_DoubleBufferBegin(h.Record, target.Dc, 100, 50), target.Dc);
  EXPECT_EQ(h.Record->MemoryDC, nullptr);
  EXPECT_EQ(Q_DoubleBufferEnd(h.Record, target.Dc), 1);
  EXPECT_EQ(target.At(0, 0), 0x123456u);
  Q_DoubleBufferEnable(h.Record, 7);
  HDC memory = Q_DoubleBufferBegin(h.Record, target.Dc, 10, 10);
  Q_DoubleBufferEnable(h.Record, 0);
  PatBlt(memory, 0, 0, 10, 10, WHITENESS);
  EXPECT_EQ(Q_DoubleBufferEnd(h.Record, target.Dc), 1);
  EXPECT_EQ(target.At(0, 0), 0x123456u) << "a disabled handle copies nothing";
}

TEST_F(DoubleBuffer, ChecksAndLifetime) {
  EXPECT_EQ(Q_DoubleBufferCreateHandle(nullptr), -13);
  EXPECT_EQ(Q_DoubleBufferEnable(nullptr, 1), -13);
  EXPECT_EQ(Q_DoubleBufferBegin(nullptr, nullptr, 1, 1), nullptr);
  EXPECT_EQ(Q_DoubleBufferEnd(nullptr, nullptr), -13);
  EXPECT_EQ(Q_DoubleBufferDestroyHandle(nullptr), 1);
  DoubleBufferRecord* record = nullptr;
  ASSERT_EQ(Q_DoubleBufferCreateHandle(&record), 1);
  EXPECT_EQ(record->Enabled, 0);
  EXPECT_EQ(record->DeviceBitsPixel, -1);
  EXPECT_EQ(Q_DoubleBufferDestroyHandle(record), 1);  // never begun
  KrnTestFailAllocation(1);
  record = nullptr;
  EXPECT_EQ(Q_DoubleBufferCreateHandle(&record), -1);
  KrnTestFailAllocation(0);
  EXPECT_EQ(record, nullptr);
}
}  // namespace
