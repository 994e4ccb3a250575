#include <windows.h>
#include <psapi.h>

#include "common/module_loader.h"

void* LoadTestModule(const std::string& baseName) { return LoadLibraryA((baseName + ".dll").c_str()); }

void* TestModuleSymbol(void* module, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

void UnloadTestModule(void* module) { FreeLibrary(static_cast<HMODULE>(module)); }

bool AddressInModule(void* module, const void* address) {
  MODULEINFO info{};
  if (!GetModuleInformation(GetCurrentProcess(), static_cast<HMODULE>(module), &info, sizeof info)) return false;
  const auto* base = static_cast<const char*>(info.lpBaseOfDll);
  const auto* p = static_cast<const char*>(address);
  return p >= base && p < base + info.SizeOfImage;
}

const char* DisplayLibraryName() { return "QSDSP14E"; }
