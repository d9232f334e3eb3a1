#include "win32/win32_clock.h"

#include "win32/win_api.h"

namespace bellwick {

WallTime Win32Clock::read() const
{
    FILETIME utc{};
    ::GetSystemTimePreciseAsFileTime(&utc);
    SYSTEMTIME u{}, st{};
    if (!::FileTimeToSystemTime(&utc, &u) || !::SystemTimeToTzSpecificLocalTime(nullptr, &u, &st)) ::GetLocalTime(&st);
    return {{{st.wYear, st.wMonth, st.wDay}, {st.wHour, st.wMinute, st.wSecond}}, st.wMilliseconds};
}

}  // namespace bellwick
