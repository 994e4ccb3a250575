#include <dlfcn.h>
#include <link.h>

#include "common/module_loader.h"

void* LoadTestModule(const std::string& baseName) {
  // Test programs run from the folder that holds the libraries.
  return dlopen(("./lib" + baseName + ".so").c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* TestModuleSymbol(void* module, const char* name) { return dlsym(module, name); }

void UnloadTestModule(void* module) { dlclose(module); }

bool AddressInModule(void* module, const void* address) {
  Dl_info info{};
  link_map* map = nullptr;
  if (dlinfo(module, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr) return false;
  return dladdr(address, &info) != 0 && info.dli_fbase == reinterpret_cast<void*>(map->l_addr);
}

const char* DisplayLibraryName() { return "qsdisp"; }
