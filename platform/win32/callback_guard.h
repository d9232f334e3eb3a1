#pragma once
// Callbacks that the system calls (window, subclass and timer procedures)
// must not let an exception unwind through the system's frames: each runs
// its body through guarded(), which hands anything thrown to the program's
// fatal sink (the core's fatal report), which ends the process.

#include <exception>
#include <functional>

namespace bellwick::win32 {

using FatalSink = std::function<void(std::exception_ptr)>;

// Where guarded() sends a failure; set once, before the message loop.
void setFatalSink(FatalSink sink);

// Reports the exception being handled through the sink; should the sink
// return or be missing, says so on standard error and ends with status 1.
[[noreturn]] void callbackFailed() noexcept;

template <class F>
auto guarded(F&& body) noexcept -> decltype(body())
{
    try {
        return body();
    } catch (...) {
        callbackFailed();
    }
}

}  // namespace bellwick::win32
