// Process-wide values of the display library and the entry routine's four steps. The Windows
// entry routine and the host build's load, thread-exit and unload hooks both call these.
#pragma once
#include <cstdint>

// Process attach: the loading thread's display state, then (first attach only) the region
// clipboard format and the region table for the kernel. Returns 1, or 0 to refuse the load.
int32_t FrameProcessAttach(void* moduleHandle);
void FrameThreadDetach();
void FrameProcessDetach();

void* LibraryModuleHandle();
int32_t LibraryAttachCount();
// The registered clipboard format of regions; 0 on hosts without a clipboard.
uint32_t RegionClipboardFormat();
