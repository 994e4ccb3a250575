// Where a bitmap's stored rows live. Memory kind 1 keeps them in one block at Bits; kind 2
// keeps each row in a block of its own and Bits names the table of rows, so only the kernel
// can reach the pixels (Flags 0x4 instead of 0x2).
#pragma once
#include <cstdint>

#include "qsrecords.h"

uint8_t* StoredRow(const BitmapRecord& bitmap, int32_t row);
// Allocates zeroed storage of the record's kind for its Width, Height and BytesPerLine.
int32_t AllocateStorage(BitmapRecord& bitmap, int32_t memoryKind);
void FreeStorage(BitmapRecord& bitmap);
// Frees everything the record owns, leaving its fields as they were.
void FreeOwnedBlocks(BitmapRecord& bitmap);
