#pragma once
// Calls newer than Windows 7 SP1, the oldest system the manifest names, are
// looked up at run time and never linked: the loader refuses a program that
// imports a call the system lacks before any of it runs.

#include "win32/win_api.h"

namespace bellwick::win32 {

// The named export of a system DLL (loaded from the system folder when not
// loaded yet), or null where the system has neither.
FARPROC lookUp(const wchar_t* dll, const char* name);

// Tests: act as Windows 7 had none of the newer calls, so that every
// fallback can be run on a newer system too.
void actAsWindows7(bool on);
bool actsAsWindows7();

template <class Fn>
class NewerCall {
public:
    NewerCall(const wchar_t* dll, const char* name)
        : fn_(reinterpret_cast<Fn>(reinterpret_cast<void*>(lookUp(dll, name))))
    {
    }
    // The call, or null on a system without it.
    Fn get() const { return actsAsWindows7() ? nullptr : fn_; }

private:
    Fn fn_;
};

}  // namespace bellwick::win32
