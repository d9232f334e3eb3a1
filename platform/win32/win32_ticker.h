#pragma once
// The clock's ticks on a thread timer (SetTimer without a window): a single
// shot for the offset to the phase, then periodic. Modal loops dispatch it
// as well. One per program.

#include "ports/ticker.h"
#include "win32/win_api.h"

#include <functional>

namespace bellwick {

class Win32Ticker final : public Ticker {
public:
    Win32Ticker();
    ~Win32Ticker() override;
    Win32Ticker(const Win32Ticker&) = delete;
    Win32Ticker& operator=(const Win32Ticker&) = delete;

    // What each tick runs.
    void onTick(std::function<void()> tick) { tick_ = std::move(tick); }
    void start(int firstMs, int everyMs) override;

private:
    static void CALLBACK fired(HWND, UINT, UINT_PTR id, DWORD);
    void set(int ms);

    std::function<void()> tick_;
    UINT_PTR id_ = 0;
    int every_ = 0;
    bool offset_ = false;  // the running shot is the offset, not the interval
};

}  // namespace bellwick
