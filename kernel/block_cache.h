// Raw memory for the counted heap. The most recently freed large blocks are kept for reuse: on
// some systems (Wine among them) every fresh large block comes from new virtual memory whose first
// touch of each page is expensive, and region and band buffers of the same sizes come and go per
// call.
#pragma once
#include <cstddef>

// At least `bytes`; capacity receives the usable size. Null when memory runs out.
void* RawAlloc(size_t bytes, bool zeroed, size_t& capacity);
// Grows or shrinks a block holding `used` bytes; null (old block untouched) on failure.
void* RawRealloc(void* raw, size_t capacity, size_t used, size_t bytes, size_t& newCapacity);
void RawFree(void* raw, size_t capacity);
