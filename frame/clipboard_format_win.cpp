#include <windows.h>

#include "frame/library_globals.h"

uint32_t RegisterRegionClipboardFormat() { return RegisterClipboardFormatA("QORBSUITE 8.0 Region"); }
