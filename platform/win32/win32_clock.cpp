#include "win32/win32_clock.h"

#include "win32/win_api.h"

namespace bellwick {

DateTime Win32Clock::now() const
{
    SYSTEMTIME st{};
    GetLocalTime(&st);
    return {{st.wYear, st.wMonth, st.wDay}, {st.wHour, st.wMinute, st.wSecond}};
}

}  // namespace bellwick
