// The kernel's counted heap. Every block carries a small header naming its family, so a block
// freed by the wrong partner is caught, and the live-block count proves that nothing leaked.
#pragma once
#include <cstddef>
#include <cstdint>

enum class BlockFamily : uint32_t { Mem = 0x4D454D31, Alloc = 0x414C4331, Storage = 0x53544F31 };

void* CountedAlloc(BlockFamily family, size_t bytes, bool zeroed);
void* CountedRealloc(BlockFamily family, void* block, size_t bytes);
void CountedFree(BlockFamily family, void* block);
