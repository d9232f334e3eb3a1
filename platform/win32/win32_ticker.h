#pragma once
// The clock's ticks on a thread timer (SetTimer without a window); modal
// loops dispatch it as well. One per program.

#include "ports/ticker.h"
#include "win32/win_api.h"

namespace bellwick {

class Win32Ticker final : public OffsetTicker {
public:
    Win32Ticker();
    ~Win32Ticker() override;
    Win32Ticker(const Win32Ticker&) = delete;
    Win32Ticker& operator=(const Win32Ticker&) = delete;

private:
    static void CALLBACK timerProc(HWND, UINT, UINT_PTR id, DWORD);
    void arm(int ms) override;

    UINT_PTR id_ = 0;
};

}  // namespace bellwick
