#include "win32/newer_calls.h"

#include <atomic>

namespace bellwick::win32 {

namespace {

std::atomic<bool> windows7{false};

}  // namespace

FARPROC lookUp(const wchar_t* dll, const char* name)
{
    HMODULE module = ::GetModuleHandleW(dll);
    // The system folder only, never the program's own or the current one.
    // Windows 7 without its 2011 loader update refuses the flag: then the
    // DLL is not loaded, and the caller takes its fallback.
    if (!module) module = ::LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return module ? ::GetProcAddress(module, name) : nullptr;
}

void actAsWindows7(bool on) { windows7 = on; }

bool actsAsWindows7() { return windows7; }

}  // namespace bellwick::win32
