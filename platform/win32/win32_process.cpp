#include "win32/win32_process.h"

#include "win32/win_api.h"

#include <cstdio>

namespace bellwick {

void Win32Process::end(int status)
{
    std::fflush(nullptr);
    ExitProcess(static_cast<UINT>(status));
}

}  // namespace bellwick
