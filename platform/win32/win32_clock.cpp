#include "win32/win32_clock.h"

#include "win32/newer_calls.h"

namespace bellwick {

WallTime Win32Clock::read() const
{
    // Windows 8 on: the clock to the microsecond. Windows 7's advances in
    // steps of the system's timer tick, 15.6 ms unless a program asks for
    // finer.
    using PreciseFn = void(WINAPI*)(FILETIME*);
    static const win32::NewerCall<PreciseFn> precise(L"kernel32.dll", "GetSystemTimePreciseAsFileTime");
    FILETIME utc{};
    if (const PreciseFn f = precise.get())
        f(&utc);
    else
        ::GetSystemTimeAsFileTime(&utc);
    SYSTEMTIME u{}, st{};
    if (!::FileTimeToSystemTime(&utc, &u) || !::SystemTimeToTzSpecificLocalTime(nullptr, &u, &st)) ::GetLocalTime(&st);
    return {{{st.wYear, st.wMonth, st.wDay}, {st.wHour, st.wMinute, st.wSecond}}, st.wMilliseconds};
}

}  // namespace bellwick
