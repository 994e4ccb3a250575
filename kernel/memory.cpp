#include "kernel/memory.h"

#include "kernel/block_cache.h"
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "qskrn.h"

namespace {
struct alignas(16) BlockHeader {
  uint32_t Family;
  uint32_t Reserved;
  size_t Bytes;     // asked for by the caller
  size_t Capacity;  // usable bytes of the raw block behind the header
};

std::atomic<int32_t> gLiveBlocks{0};
std::atomic<int32_t> gAllocations{0};
std::atomic<int32_t> gFailCountdown{0};
// Bytes in live blocks, the most there have been since the last reset, and the count at it.
std::atomic<int64_t> gLiveBytes{0};
std::atomic<int64_t> gPeakBytes{0};
std::atomic<int64_t> gBytesAtReset{0};

void CountBytes(int64_t change) {
  const int64_t now = gLiveBytes.fetch_add(change, std::memory_order_relaxed) + change;
  int64_t peak = gPeakBytes.load(std::memory_order_relaxed);
  while (now > peak && !gPeakBytes.compare_exchange_weak(peak, now)) {
  }
}

// True when the allocation being made now is the one a test asked to fail.
bool InjectedFailure() {
  gAllocations.fetch_add(1, std::memory_order_relaxed);
  int32_t left = gFailCountdown.load(std::memory_order_relaxed);
  while (left > 0) {
    if (gFailCountdown.compare_exchange_weak(left, left - 1)) return left == 1;
  }
  return false;
}

[[noreturn]] void WrongPartner(const void* block) {
  std::fprintf(stderr, "QSKRN14E: block %p freed by the wrong allocator or twice\n", block);
  std::abort();
}

BlockHeader* HeaderOf(BlockFamily family, void* block) {
  auto* header = static_cast<BlockHeader*>(block) - 1;
  if (header->Family != static_cast<uint32_t>(family)) WrongPartner(block);
  return header;
}
}  // namespace

void* CountedAlloc(BlockFamily family, size_t bytes, bool zeroed) {
  if (InjectedFailure()) return nullptr;
  size_t capacity = 0;
  void* raw = RawAlloc(sizeof(BlockHeader) + bytes, zeroed, capacity);
  if (raw == nullptr) return nullptr;
  auto* header = static_cast<BlockHeader*>(raw);
  header->Family = static_cast<uint32_t>(family);
  header->Bytes = bytes;
  header->Capacity = capacity;
  gLiveBlocks.fetch_add(1, std::memory_order_relaxed);
  CountBytes(int64_t(bytes));
  return header + 1;
}

void* CountedRealloc(BlockFamily family, void* block, size_t bytes) {
  if (block == nullptr) return CountedAlloc(family, bytes, false);
  BlockHeader* header = HeaderOf(family, block);
  if (InjectedFailure()) return nullptr;
  const size_t before = header->Bytes;
  size_t capacity = 0;
  void* raw = RawRealloc(header, header->Capacity, sizeof(BlockHeader) + before, sizeof(BlockHeader) + bytes, capacity);
  if (raw == nullptr) return nullptr;
  header = static_cast<BlockHeader*>(raw);
  header->Bytes = bytes;
  header->Capacity = capacity;
  CountBytes(int64_t(bytes) - int64_t(before));
  return header + 1;
}

void CountedFree(BlockFamily family, void* block) {
  if (block == nullptr) return;
  BlockHeader* header = HeaderOf(family, block);
  header->Family = 0;
  CountBytes(-int64_t(header->Bytes));
  RawFree(header, header->Capacity);
  gLiveBlocks.fetch_sub(1, std::memory_order_relaxed);
}

void* QSAPI KrnMemAlloc(uint32_t bytes) { return CountedAlloc(BlockFamily::Mem, bytes, false); }

void* QSAPI KrnMemAllocEx(uint32_t count, uint32_t size) {
  const uint64_t total = uint64_t{count} * size;
  if (total > UINT32_MAX) return nullptr;
  return CountedAlloc(BlockFamily::Mem, static_cast<size_t>(total), true);
}

void* QSAPI KrnMemRealloc(void* block, uint32_t bytes) { return CountedRealloc(BlockFamily::Mem, block, bytes); }
void QSAPI KrnMemFree(void* block) { CountedFree(BlockFamily::Mem, block); }

void* QSAPI KrnAlloc(uint32_t bytes) { return CountedAlloc(BlockFamily::Alloc, bytes, false); }

void* QSAPI KrnAllocZeroed(uint32_t bytes, uint32_t flags) {
  return CountedAlloc(BlockFamily::Alloc, bytes, (flags & 1) != 0);
}

void* QSAPI KrnRealloc(void* block, uint32_t bytes) { return CountedRealloc(BlockFamily::Alloc, block, bytes); }
void QSAPI KrnFree(void* block) { CountedFree(BlockFamily::Alloc, block); }

int32_t QSAPI KrnTestLiveBlocks(void) { return gLiveBlocks.load(); }
int32_t QSAPI KrnTestAllocationCount(void) { return gAllocations.load(); }
uint64_t QSAPI KrnTestPeakBytes(int32_t reset) {
  if (reset) {
    gBytesAtReset.store(gLiveBytes.load());
    gPeakBytes.store(gLiveBytes.load());
  }
  const int64_t extra = gPeakBytes.load() - gBytesAtReset.load();
  return extra > 0 ? uint64_t(extra) : 0;
}
void QSAPI KrnTestFailAllocation(int32_t nth) { gFailCountdown.store(nth > 0 ? nth : 0); }
