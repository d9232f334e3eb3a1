#include "win32/win32_ticker.h"

#include "win32/callback_guard.h"

namespace bellwick {

namespace {

Win32Ticker* running = nullptr;

}  // namespace

Win32Ticker::Win32Ticker() { running = this; }

Win32Ticker::~Win32Ticker() { running = nullptr; }

void Win32Ticker::schedule(int ms)
{
    // The same id replaces the timer; USER_TIMER_MINIMUM is 10 ms.
    const UINT_PTR current = timer_ ? timer_.get().id : 0;
    const UINT_PTR id = ::SetTimer(nullptr, current, static_cast<UINT>(ms), &Win32Ticker::timerProc);
    if (id && id != current) timer_.reset(win32::TimerId(id));
}

void CALLBACK Win32Ticker::timerProc(HWND, UINT, UINT_PTR id, DWORD)
{
    win32::guarded([id] {
        if (!running || !running->timer_ || id != running->timer_.get().id) return;
        // One tick: the tick asks for the next.
        running->timer_.reset();
        running->fired();
    });
}

}  // namespace bellwick
