// Double buffering: a host paints into an off-screen memory context that this handle keeps (and
// remakes when the size or the device changes) and has it copied to the device in one transfer.
#include <windows.h>

#include "frame/result_codes.h"
#include "qsdisp.h"
#include "qskrn.h"

namespace {
constexpr uint32_t kUnknown = 0xFFFFFFFFu;  // device facts before the first Begin

int32_t DeviceFact(HDC hdc, int index) { return GetDeviceCaps(hdc, index); }
}  // namespace

int32_t QSAPI Q_DoubleBufferCreateHandle(DoubleBufferRecord** handle) {
  if (handle == nullptr) return kResultBadArgument;
  auto* record = static_cast<DoubleBufferRecord*>(KrnAlloc(sizeof(DoubleBufferRecord)));
  if (record == nullptr) return kResultNoMemory;
  *record = DoubleBufferRecord{};
  record->DeviceTechnology = record->DeviceBitsPixel = record->DevicePlanes = int32_t(kUnknown);
  *handle = record;
  return kResultOk;
}

int32_t QSAPI Q_DoubleBufferEnable(DoubleBufferRecord* handle, int32_t enable) {
  if (handle == nullptr) return kResultBadArgument;
  handle->Enabled = enable;
  return kResultOk;
}

HDC QSAPI Q_DoubleBufferBegin(DoubleBufferRecord* handle, HDC hdc, int32_t width, int32_t height) {
  if (handle == nullptr) return nullptr;
  if (handle->Enabled == 0) return hdc;
  if (handle->MemoryDC == nullptr) {
    HDC memory = CreateCompatibleDC(hdc);
    if (memory == nullptr) return nullptr;
    handle->MemoryDC = memory;
    handle->HasBitmap = 0;
    handle->Width = handle->Height = 1;
  }
  const int32_t technology = DeviceFact(hdc, TECHNOLOGY), bits = DeviceFact(hdc, BITSPIXEL),
                planes = DeviceFact(hdc, PLANES);
  const bool deviceChanged = technology != handle->DeviceTechnology || bits != handle->DeviceBitsPixel ||
                             planes != handle->DevicePlanes;
  handle->DeviceTechnology = technology, handle->DeviceBitsPixel = bits, handle->DevicePlanes = planes;
  const bool resized = width >= 1 && height >= 1 && (width != handle->Width || height != handle->Height);
  if (resized || deviceChanged) {
    // A changed device with no usable size asks for a bitmap the system cannot make.
    HBITMAP offscreen = width >= 1 && height >= 1 ? CreateCompatibleBitmap(hdc, width, height) : nullptr;
    if (offscreen == nullptr) return nullptr;
    handle->Width = width, handle->Height = height;
    HGDIOBJ displaced = SelectObject(static_cast<HDC>(handle->MemoryDC), offscreen);
    if (handle->HasBitmap == 0) {
      handle->SavedBitmap = displaced;
      handle->HasBitmap = 1;
    } else {
      DeleteObject(displaced);
    }
  }
  return handle->HasBitmap != 0 ? static_cast<HDC>(handle->MemoryDC) : hdc;
}

int32_t QSAPI Q_DoubleBufferEnd(DoubleBufferRecord* handle, HDC hdc) {
  if (handle == nullptr) return kResultBadArgument;
  if (handle->Enabled == 0 || handle->HasBitmap == 0) return kResultOk;
  BitBlt(hdc, 0, 0, handle->Width, handle->Height, static_cast<HDC>(handle->MemoryDC), 0, 0, SRCCOPY);
  return kResultOk;
}

int32_t QSAPI Q_DoubleBufferDestroyHandle(DoubleBufferRecord* handle) {
  if (handle == nullptr) return kResultOk;
  if (handle->MemoryDC != nullptr) {
    HDC memory = static_cast<HDC>(handle->MemoryDC);
    if (handle->HasBitmap != 0) DeleteObject(SelectObject(memory, handle->SavedBitmap));
    DeleteDC(memory);
    handle->MemoryDC = nullptr;
  }
  KrnFree(handle);
  return kResultOk;
}
