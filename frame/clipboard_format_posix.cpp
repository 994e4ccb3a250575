#include "frame/library_globals.h"

// The host build has no clipboard.
uint32_t RegisterRegionClipboardFormat() { return 0; }
