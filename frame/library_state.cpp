#include "frame/library_state.h"

#include "frame/library_globals.h"
#include "frame/thread_state.h"
#include "qskrn.h"
#include "region/rgn_entry_table.h"

LibraryGlobals& Globals() {
  static LibraryGlobals globals;
  return globals;
}

void* LibraryModuleHandle() { return Globals().ModuleHandle; }
int32_t LibraryAttachCount() { return Globals().AttachCount; }
uint32_t RegionClipboardFormat() { return Globals().RegionClipboardFormat; }

int32_t FrameProcessAttach(void* moduleHandle) {
  LibraryGlobals& globals = Globals();
  globals.ModuleHandle = moduleHandle;
  if (!CreateThreadDisplayState(true)) return 0;
  if (globals.AttachCount == 0) {
    globals.RegionClipboardFormat = RegisterRegionClipboardFormat();
    KrnSetRgnCallbacks(RegionEntryTable());
  }
  ++globals.AttachCount;
  return 1;
}

void FrameThreadDetach() { ReleaseThreadDisplayState(false); }

void FrameProcessDetach() {
  LibraryGlobals& globals = Globals();
  --globals.AttachCount;
  ReleaseThreadDisplayState(true);
  if (globals.AttachCount == 0) {
    const KrnRgnEntry withdrawn[KRN_RGN_ENTRY_COUNT] = {};
    KrnSetRgnCallbacks(withdrawn);
  }
}
