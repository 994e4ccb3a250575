// The DLL entry routine: the four reasons map onto the frame's attach and detach steps.
#include <windows.h>

#include "frame/library_state.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      return FrameProcessAttach(instance) ? TRUE : FALSE;
    case DLL_THREAD_ATTACH:
      return TRUE;  // blocks are made on first use
    case DLL_THREAD_DETACH:
      FrameThreadDetach();
      return TRUE;
    case DLL_PROCESS_DETACH:
      FrameProcessDetach();
      return TRUE;
  }
  return TRUE;
}
