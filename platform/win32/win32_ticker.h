#pragma once
// The clock's ticks on a one-shot thread timer (SetTimer without a window,
// killed as it fires); modal loops dispatch it as well. One per program.
// The window tells the handlers when the clock was set (WM_TIMECHANGE).

#include "ports/ticker.h"
#include "win32/handles.h"
#include "win32/win_api.h"

namespace bellwick {

class Win32Ticker final : public Ticker {
public:
    Win32Ticker();
    ~Win32Ticker() override;
    Win32Ticker(const Win32Ticker&) = delete;
    Win32Ticker& operator=(const Win32Ticker&) = delete;

    void schedule(int ms) override;

private:
    static void CALLBACK timerProc(HWND, UINT, UINT_PTR id, DWORD);

    win32::ThreadTimer timer_;
};

}  // namespace bellwick
