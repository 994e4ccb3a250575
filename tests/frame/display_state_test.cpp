// The display library as a host sees it: loaded by name, its region table handed to the kernel
// and withdrawn, its stdcall exports reached by name, and a display mode kept per thread.
#include <gtest/gtest.h>

#include <thread>

#include "common/kernel_fixture.h"
#include "common/module_loader.h"
#include "frame/thread_state.h"
#include "qsdisp.h"
#include "region/rgn_entry_table.h"

namespace {
using SetDisplayModeFn = uint32_t(QSAPI*)(uint32_t, uint32_t);
using GetDisplayModeFn = uint32_t(QSAPI*)(void);

struct LoadedLibrary {
  void* Module = LoadTestModule(DisplayLibraryName());
  SetDisplayModeFn SetMode = nullptr;
  GetDisplayModeFn GetMode = nullptr;
  LoadedLibrary() {
    if (!Module) return;
    SetMode = reinterpret_cast<SetDisplayModeFn>(TestModuleSymbol(Module, "Q_SetDisplayMode"));
    GetMode = reinterpret_cast<GetDisplayModeFn>(TestModuleSymbol(Module, "Q_GetDisplayMode"));
  }
  ~LoadedLibrary() {
    if (Module) UnloadTestModule(Module);
  }
};

// The test program's own static copy of the library hands its table back after a load test.
void RestoreStaticTable() { KrnSetRgnCallbacks(RegionEntryTable()); }
}  // namespace

TEST(DisplayLibrary, LoadingHandsTheKernelItsRegionTableAndUnloadingWithdrawsIt) {
  const int32_t setsBefore = KrnTestGetRgnCallbacks(nullptr);
  {
    LoadedLibrary library;
    ASSERT_NE(library.Module, nullptr);
    KrnRgnEntry table[KRN_RGN_ENTRY_COUNT];
    EXPECT_EQ(KrnTestGetRgnCallbacks(table), setsBefore + 1);
    for (KrnRgnEntry entry : table) {
      if (entry != nullptr) {
        EXPECT_TRUE(AddressInModule(library.Module, reinterpret_cast<const void*>(entry)));
      }
    }
  }
  KrnRgnEntry table[KRN_RGN_ENTRY_COUNT];
  EXPECT_EQ(KrnTestGetRgnCallbacks(table), setsBefore + 2);
  for (KrnRgnEntry entry : table) EXPECT_EQ(entry, nullptr);
  RestoreStaticTable();
}

TEST(DisplayLibrary, ExportsKeepTheModePerThreadAndFreeEachThreadsState) {
  const int32_t liveBefore = KrnTestLiveBlocks();
  {
    LoadedLibrary library;
    ASSERT_TRUE(library.SetMode && library.GetMode);
    EXPECT_EQ(library.GetMode(), 12u);
    EXPECT_EQ(library.SetMode(0x8, 0), 12u);
    EXPECT_EQ(library.GetMode(), 4u);

    uint32_t otherFirst = 0, otherAfter = 0;
    std::thread other([&] {
      otherFirst = library.GetMode();
      library.SetMode(0xFFFFFFFF, 0x101);
      otherAfter = library.GetMode();
    });
    other.join();
    EXPECT_EQ(otherFirst, 12u) << "a new thread starts with the default mode";
    EXPECT_EQ(otherAfter, 0x101u);
    EXPECT_EQ(library.GetMode(), 4u) << "another thread's mode does not leak into this one";
    EXPECT_EQ(KrnTestLiveBlocks(), liveBefore + 1) << "the other thread's state went with the thread";
  }
  EXPECT_EQ(KrnTestLiveBlocks(), liveBefore) << "unloading frees the loading thread's state";
  RestoreStaticTable();
}

TEST(DisplayMode, MaskSelectsTheBitsThatChange) {
  const uint32_t saved = Q_SetDisplayMode(0xFFFFFFFF, 12);
  EXPECT_EQ(Q_SetDisplayMode(0xFFFFFFFF, 0x12345), 12u);
  EXPECT_EQ(Q_GetDisplayMode(), 0x12345u);
  EXPECT_EQ(Q_SetDisplayMode(0xF0, 0xA5), 0x12345u);
  EXPECT_EQ(Q_GetDisplayMode(), 0x123A5u);
  EXPECT_EQ(Q_SetDisplayMode(0, 0xFFFFFFFF), 0x123A5u) << "an empty mask changes nothing";
  EXPECT_EQ(Q_GetDisplayMode(), 0x123A5u);
  Q_SetDisplayMode(0xFFFFFFFF, saved);
}

TEST(DisplayMode, TurningPaletteIndicesOnRefillsTheColourTable) {
  const uint32_t saved = Q_SetDisplayMode(0xFFFFFFFF, 0);
  ThreadDisplayState* state = GetThreadDisplayState();
  ASSERT_NE(state, FallbackDisplayState());
  EXPECT_EQ(state->Dib.Header.biSize, 40u);
  EXPECT_EQ(state->Dib.Header.biPlanes, 1);
  for (auto& quad : state->Dib.ColorTable.Quads) quad = RGBQUAD{1, 2, 3, 4};

  Q_SetDisplayMode(0, 0x4);  // bit 0x4 clear before and in the value: refill, no bit changes
  EXPECT_EQ(Q_GetDisplayMode(), 0u);
  for (uint16_t i = 0; i < 256; ++i) ASSERT_EQ(state->Dib.ColorTable.Indices[i], i);

  for (auto& quad : state->Dib.ColorTable.Quads) quad = RGBQUAD{1, 2, 3, 4};
  Q_SetDisplayMode(0x4, 0x4);
  Q_SetDisplayMode(0x4, 0x4);  // already set: the table is left alone
  EXPECT_EQ(state->Dib.ColorTable.Indices[0], 0) << "refilled by the first call only";
  state->Dib.ColorTable.Quads[0] = RGBQUAD{9, 9, 9, 9};
  Q_SetDisplayMode(0x4, 0x4);
  EXPECT_EQ(state->Dib.ColorTable.Quads[0].rgbBlue, 9);
  Q_SetDisplayMode(0xFFFFFFFF, saved);
}
