#include <windows.h>

#include "qskrn.h"

int32_t QSAPI KrnTlsAlloc(void) {
  const DWORD slot = TlsAlloc();
  return slot == TLS_OUT_OF_INDEXES ? -1 : static_cast<int32_t>(slot);
}

int32_t QSAPI KrnTlsSetValue(int32_t slot, void* value) {
  return slot >= 0 && TlsSetValue(static_cast<DWORD>(slot), value) ? 1 : 0;
}

void* QSAPI KrnTlsGetValue(int32_t slot) { return slot >= 0 ? TlsGetValue(static_cast<DWORD>(slot)) : nullptr; }

int32_t QSAPI KrnTlsFree(int32_t slot) { return slot >= 0 && TlsFree(static_cast<DWORD>(slot)) ? 1 : 0; }
