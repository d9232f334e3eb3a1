#include "win32/callback_guard.h"

#include "win32/win_api.h"

#include <cstdio>
#include <utility>

namespace bellwick::win32 {

namespace {

FatalSink& sink()
{
    static FatalSink s;
    return s;
}

}  // namespace

void setFatalSink(FatalSink s) { sink() = std::move(s); }

void callbackFailed() noexcept
{
    try {
        if (sink()) sink()(std::current_exception());
    } catch (...) {
        // Falls through to the last resort.
    }
    std::fputs("bellwick: fatal error: a failure in a system callback was not reported\n", stderr);
    std::fflush(nullptr);
    ::ExitProcess(1);
}

}  // namespace bellwick::win32
