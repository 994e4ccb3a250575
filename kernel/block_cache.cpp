#include "kernel/block_cache.h"

#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {
constexpr size_t kLargeBlock = size_t{64} << 10;
constexpr size_t kCacheEntries = 16;
constexpr size_t kCacheBytes = size_t{128} << 20;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kCacheEnabled = false;  // the sanitizer must see every large block freed
#else
constexpr bool kCacheEnabled = true;
#endif

struct CachedBlock {
  void* Raw;
  size_t Capacity;
};

std::mutex gLock;
CachedBlock gCache[kCacheEntries];  // oldest first
size_t gCached = 0;
size_t gCachedBytes = 0;

// The smallest cached block that holds bytes without wasting more than its own size again.
void* TakeCached(size_t bytes, size_t& capacity) {
  std::lock_guard<std::mutex> lock(gLock);
  size_t best = gCached;
  for (size_t i = 0; i < gCached; ++i) {
    const size_t c = gCache[i].Capacity;
    if (c >= bytes && c <= 2 * bytes && (best == gCached || c < gCache[best].Capacity)) best = i;
  }
  if (best == gCached) return nullptr;
  void* raw = gCache[best].Raw;
  capacity = gCache[best].Capacity;
  gCachedBytes -= capacity;
  std::memmove(&gCache[best], &gCache[best + 1], (gCached - best - 1) * sizeof(CachedBlock));
  --gCached;
  return raw;
}
}  // namespace

void* RawAlloc(size_t bytes, bool zeroed, size_t& capacity) {
  if (kCacheEnabled && bytes >= kLargeBlock) {
    if (void* raw = TakeCached(bytes, capacity)) {
      if (zeroed) std::memset(raw, 0, bytes);
      return raw;
    }
  }
  capacity = bytes;
  return zeroed ? std::calloc(1, bytes) : std::malloc(bytes);
}

void* RawRealloc(void* raw, size_t capacity, size_t used, size_t bytes, size_t& newCapacity) {
  if (!kCacheEnabled || (capacity < kLargeBlock && bytes < kLargeBlock)) {
    void* moved = std::realloc(raw, bytes);
    if (moved != nullptr) newCapacity = bytes;
    return moved;
  }
  if (bytes <= capacity && bytes >= capacity / 2) {
    newCapacity = capacity;  // fits and wastes at most half: stay in place
    return raw;
  }
  void* moved = RawAlloc(bytes, false, newCapacity);
  if (moved == nullptr) return nullptr;
  std::memcpy(moved, raw, used < bytes ? used : bytes);
  RawFree(raw, capacity);
  return moved;
}

void RawFree(void* raw, size_t capacity) {
  if (!kCacheEnabled || capacity < kLargeBlock || capacity > kCacheBytes) {
    std::free(raw);
    return;
  }
  // The newest blocks are the likeliest to be asked for again: the oldest make room for them.
  CachedBlock evicted[kCacheEntries];
  size_t evictedCount = 0;
  {
    std::lock_guard<std::mutex> lock(gLock);
    size_t oldest = 0;
    while (gCached - oldest == kCacheEntries || gCachedBytes + capacity > kCacheBytes) {
      gCachedBytes -= gCache[oldest].Capacity;
      evicted[evictedCount++] = gCache[oldest++];
    }
    std::memmove(&gCache[0], &gCache[oldest], (gCached - oldest) * sizeof(CachedBlock));
    gCached -= oldest;
    gCache[gCached++] = CachedBlock{raw, capacity};
    gCachedBytes += capacity;
  }
  for (size_t i = 0; i < evictedCount; ++i) std::free(evicted[i].Raw);
}
