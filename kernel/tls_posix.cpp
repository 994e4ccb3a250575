#include <pthread.h>

#include <mutex>

#include "qskrn.h"

// Slots are small integers naming pthread keys, so that -1 can mean "none" as on Windows.
namespace {
constexpr int32_t kMaxSlots = 64;
std::mutex gSlotLock;
pthread_key_t gKeys[kMaxSlots];
bool gUsed[kMaxSlots];

bool Valid(int32_t slot) { return slot >= 0 && slot < kMaxSlots && gUsed[slot]; }
}  // namespace

int32_t QSAPI KrnTlsAlloc(void) {
  std::lock_guard<std::mutex> lock(gSlotLock);
  for (int32_t slot = 0; slot < kMaxSlots; ++slot) {
    if (gUsed[slot]) continue;
    if (pthread_key_create(&gKeys[slot], nullptr) != 0) return -1;
    gUsed[slot] = true;
    return slot;
  }
  return -1;
}

int32_t QSAPI KrnTlsSetValue(int32_t slot, void* value) {
  return Valid(slot) && pthread_setspecific(gKeys[slot], value) == 0 ? 1 : 0;
}

void* QSAPI KrnTlsGetValue(int32_t slot) { return Valid(slot) ? pthread_getspecific(gKeys[slot]) : nullptr; }

int32_t QSAPI KrnTlsFree(int32_t slot) {
  std::lock_guard<std::mutex> lock(gSlotLock);
  if (!Valid(slot)) return 0;
  pthread_key_delete(gKeys[slot]);
  gUsed[slot] = false;
  return 1;
}
