#pragma once

#include <windows.h>

#include <string>

// The module (DLL or program) that holds this code, found from an address inside it: inside
// the browser the process's own module is the browser, not us.
namespace wisp::win32 {

HMODULE ThisModule();
std::string ModuleFilePathOf(HMODULE module);

}  // namespace wisp::win32
