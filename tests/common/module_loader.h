// Loads a built library by file name from the test program's folder, as a host would.
#pragma once
#include <string>

void* LoadTestModule(const std::string& baseName);  // "QSDSP14E" or "qsdisp"
void* TestModuleSymbol(void* module, const char* name);
void UnloadTestModule(void* module);
// True when address lies inside the loaded module's image.
bool AddressInModule(void* module, const void* address);
const char* DisplayLibraryName();  // the display library's base name on this platform
